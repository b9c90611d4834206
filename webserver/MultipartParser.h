#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <optional>

namespace vaultora::webserver {

// The header fields of one body part.
struct MultipartPartHeader {
    QList<QPair<QByteArray, QByteArray>> fields;

    // The value of the first field of that name, compared without letter case.
    [[nodiscard]] std::optional<QByteArray> field(const QByteArray& name) const;
};

// What a multipart body is handed to, part by part, as it is read.
class MultipartReceiver {
public:
    virtual ~MultipartReceiver() = default;

    virtual void partBegins(const MultipartPartHeader& header) = 0;
    // The next bytes of the current part's content, in order.
    virtual void partData(const QByteArray& data) = 0;
    virtual void partEnds() = 0;
};

// Reads a multipart body (RFC 2046 section 5.1, as used by forms in RFC 7578) from chunks of
// any size: skips the preamble, hands each part's header and content to the receiver and
// skips the epilogue. It holds no more than a part header or a delimiter's length of content
// at a time, so a file part of any size streams through.
class MultipartParser final {
public:
    MultipartParser(const QByteArray& boundary, MultipartReceiver& receiver);

    // The boundary parameter of a "multipart/..." Content-Type value (RFC 2046 section
    // 5.1.1: 1 to 70 characters); nothing when there is none.
    [[nodiscard]] static std::optional<QByteArray> boundaryOf(const QByteArray& contentType);

    void feed(const QByteArray& chunk);
    // The closing delimiter has been read: every part arrived whole.
    [[nodiscard]] bool isComplete() const { return m_state == State::Epilogue; }
    // The body broke the multipart syntax; the rest of it is ignored.
    [[nodiscard]] bool hasFailed() const { return m_state == State::Failed; }

private:
    enum class State { Preamble, AfterDelimiter, PartHeader, PartContent, Epilogue, Failed };

    // Each returns false when it needs more bytes than the buffer holds.
    [[nodiscard]] bool skipPreamble();
    [[nodiscard]] bool readDelimiterEnd();
    [[nodiscard]] bool readHeaderLine();
    [[nodiscard]] bool readContent();

    QByteArray m_delimiter;
    MultipartReceiver& m_receiver;
    State m_state = State::Preamble;
    QByteArray m_buffer;
    MultipartPartHeader m_header;
    qsizetype m_headerBytes = 0;
};

} // namespace vaultora::webserver
