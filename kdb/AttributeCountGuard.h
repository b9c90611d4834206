#pragma once

#include <cstddef>
#include <cstdint>

namespace vaultora::kdb {

// Watches the markup on its way to the XML parser and refuses an element with more attributes
// than any document of this format has: the XML parser compares each attribute of an element
// with all earlier ones, so a start tag with a million attributes would take hours. The
// document may come in pieces of any size; the guard's state carries over between them.
class AttributeCountGuard {
public:
    static constexpr uint32_t kMaximumAttributes = 128;

    // False once an element has too many attributes.
    [[nodiscard]] bool accept(const char* bytes, std::size_t length) noexcept;

private:
    enum class State : uint8_t { Outside, MarkupStart, StartTag, Quoted };

    State m_state = State::Outside;
    char m_quote = 0;
    uint32_t m_equalSigns = 0;
};

} // namespace vaultora::kdb
