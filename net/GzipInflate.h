#pragma once

#include <QByteArray>

#include <functional>
#include <memory>
#include <optional>

namespace vaultora::net {

// Inflates a gzip (or zlib) encoded body as its bytes arrive, handing on what it produces,
// and refuses to produce more than a maximum: a small body can inflate to gigabytes.
class GzipInflater final {
public:
    enum class Status { Inflating, Finished, Damaged, TooLarge };
    // Takes produced bytes; false stops the inflation (as Damaged).
    using Output = std::function<bool(const char* data, qsizetype length)>;

    // maximumLength 0: no limit.
    GzipInflater(Output output, qint64 maximumLength);
    ~GzipInflater();
    GzipInflater(const GzipInflater&) = delete;
    GzipInflater& operator=(const GzipInflater&) = delete;

    // Inflates the next compressed bytes; bytes after the end of the stream are ignored.
    Status feed(const char* data, qsizetype length);
    // Finished when the stream ended, Damaged when it was cut short.
    [[nodiscard]] Status finish();

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    Output m_output;
    qint64 m_maximumLength;
    qint64 m_produced = 0;
    Status m_status = Status::Inflating;
};

// The inflated form of a whole encoded body; nothing when it is damaged, cut short or would
// inflate beyond maximumLength (0: no limit).
[[nodiscard]] std::optional<QByteArray> inflateGzip(const QByteArray& compressed,
                                                    qint64 maximumLength = 0);

} // namespace vaultora::net
