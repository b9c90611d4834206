#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <cstdint>
#include <optional>

namespace vaultora::webserver {

// A request message assembled line by line from the socket: the request line, then header
// fields, then the empty line that completes the header (RFC 7230 section 3).
class HttpMessage final {
public:
    // Takes one line without its CR LF. False when the line cannot belong to a request
    // message (bad request line, a field without a name, a folded field).
    [[nodiscard]] bool appendLine(const QByteArray& line);

    [[nodiscard]] bool isHeaderComplete() const { return m_headerComplete; }
    [[nodiscard]] const QByteArray& method() const { return m_method; }
    [[nodiscard]] const QByteArray& target() const { return m_target; }
    [[nodiscard]] const QByteArray& version() const { return m_version; }
    // The target as a path with its query: an absolute-form target ("http://host/file", RFC
    // 9112 section 3.2.2) loses its scheme and authority.
    [[nodiscard]] QString path() const;

    // Every value of the field, compared by name without regard to case.
    [[nodiscard]] QList<QByteArray> headerFields(const QByteArray& name) const;
    // The value of the field when it is present exactly once.
    [[nodiscard]] std::optional<QByteArray> uniqueHeaderField(const QByteArray& name) const;
    // The request line and the fields as received, one line each, for the log.
    [[nodiscard]] QList<QByteArray> headerLines() const;

    // The length of the body that follows the header: 0 when the request carries none.
    // Nothing when the header frames a body in a way that cannot be read in step with the
    // client: any Transfer-Encoding, a POST or PUT without exactly one Content-Length of
    // digits only, a Content-Length on any other method.
    [[nodiscard]] std::optional<uint64_t> bodyLength() const;
    // The client asked for the connection to close after the response ("Connection: close").
    [[nodiscard]] bool asksToClose() const;

private:
    [[nodiscard]] bool parseRequestLine(const QByteArray& line);
    [[nodiscard]] bool parseField(const QByteArray& line);

    QByteArray m_method;
    QByteArray m_target;
    QByteArray m_version;
    QList<QPair<QByteArray, QByteArray>> m_fields;
    bool m_haveRequestLine = false;
    bool m_headerComplete = false;
};

} // namespace vaultora::webserver
