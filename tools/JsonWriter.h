#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vaultora::cli {

// The JSON string literal of UTF-8 text: quotes, backslashes and control characters escaped,
// other characters kept as UTF-8. Byte sequences that are not UTF-8 become U+FFFD, so the
// output is always valid JSON.
[[nodiscard]] std::string quoteJson(std::string_view utf8);
// The same literal, appended to out.
void appendQuotedJson(std::string& out, std::string_view utf8);

// Writes indented JSON to a stream, one value at a time. Inside an object every value is
// preceded by key(); empty objects and arrays are written as {} and [].
class JsonWriter final {
public:
    explicit JsonWriter(std::ostream& out) : m_out(out) { m_buffer.reserve(kFlushSize + kSlack); }
    ~JsonWriter();
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    void key(std::string_view name);
    void value(std::string_view text);
    void nullValue();
    // Ends the document with a line break.
    void finish();

private:
    struct Level {
        std::size_t count = 0;
    };

    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newLine();
    void writeQuoted(std::string_view text);
    void flush();
    void flushWhenFull();

    static constexpr std::size_t kFlushSize = 64 * 1024;
    // Room beyond kFlushSize for the punctuation between two checks, so that the buffer never
    // grows (and leaves a copy behind) but in writeQuoted.
    static constexpr std::size_t kSlack = 1024;

    std::ostream& m_out;
    // What is written goes out in pieces of kFlushSize, each wiped once written: a stream
    // call per key and value would cost more than the export.
    std::string m_buffer;
    std::vector<Level> m_levels;
    bool m_afterKey = false;
};

} // namespace vaultora::cli
