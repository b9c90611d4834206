#include "webserver/HttpMessage.h"

#include <algorithm>

namespace vaultora::webserver {

namespace {

// The token characters of RFC 7230 section 3.2.6.
bool isTokenCharacter(char character) {
    if ((character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
        (character >= '0' && character <= '9')) {
        return true;
    }
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(character);
}

bool isToken(const QByteArray& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const char character : text) {
        if (!isTokenCharacter(character)) {
            return false;
        }
    }
    return true;
}

bool containsControlOrSpace(const QByteArray& text) {
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (byte <= 0x20 || byte == 0x7f) {
            return true;
        }
    }
    return false;
}

// "HTTP/" and one digit on each side of a dot (RFC 9112 section 2.3), and nothing after.
bool isHttpVersion(const QByteArray& text) {
    const auto isDigit = [](char character) { return character >= '0' && character <= '9'; };
    return text.size() == 8 && text.startsWith("HTTP/") && isDigit(text[5]) && text[6] == '.' &&
           isDigit(text[7]);
}

std::optional<uint64_t> parseContentLength(const QByteArray& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 10);
    // toULongLong accepts a sign and surrounding space; a length is digits only.
    if (!ok ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(value);
}

} // namespace

bool HttpMessage::appendLine(const QByteArray& line) {
    if (m_headerComplete) {
        return false;
    }
    if (!m_haveRequestLine) {
        // Empty lines before the request line are ignored (RFC 7230 section 3.5).
        if (line.isEmpty()) {
            return true;
        }
        return parseRequestLine(line);
    }
    if (line.isEmpty()) {
        m_headerComplete = true;
        return true;
    }
    return parseField(line);
}

bool HttpMessage::parseRequestLine(const QByteArray& line) {
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() ||
        containsControlOrSpace(parts[1])) {
        return false;
    }
    if (!isHttpVersion(parts[2])) {
        return false;
    }
    m_method = parts[0];
    m_target = parts[1];
    m_version = parts[2];
    m_haveRequestLine = true;
    return true;
}

bool HttpMessage::parseField(const QByteArray& line) {
    // Folded continuation lines are obsolete and refused (RFC 7230 section 3.2.4), and so
    // is white space between the field name and the colon.
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) {
        return false;
    }
    const QByteArray name = line.left(colon);
    if (!isToken(name)) {
        return false;
    }
    // A CR, LF or NUL inside a value would let one line pass for several to whatever reads
    // the value next (RFC 9112 section 5.5 allows refusing the message).
    const QByteArray value = line.mid(colon + 1);
    if (value.contains('\r') || value.contains('\n') || value.contains('\0')) {
        return false;
    }
    m_fields.append({name, value.trimmed()});
    return true;
}

QString HttpMessage::path() const {
    const qsizetype schemeEnd = m_target.indexOf("://");
    const QByteArray scheme = schemeEnd > 0 ? m_target.left(schemeEnd) : QByteArray();
    if (scheme.compare("http", Qt::CaseInsensitive) != 0 &&
        scheme.compare("https", Qt::CaseInsensitive) != 0) {
        return QString::fromUtf8(m_target);
    }
    const qsizetype authorityEnd = m_target.indexOf('/', schemeEnd + 3);
    const qsizetype queryStart = m_target.indexOf('?', schemeEnd + 3);
    if (authorityEnd < 0 || (queryStart >= 0 && queryStart < authorityEnd)) {
        // An empty path is the root (RFC 9112 section 3.2.2).
        return QLatin1Char('/') +
               (queryStart < 0 ? QString() : QString::fromUtf8(m_target.mid(queryStart)));
    }
    return QString::fromUtf8(m_target.mid(authorityEnd));
}

QList<QByteArray> HttpMessage::headerFields(const QByteArray& name) const {
    QList<QByteArray> values;
    for (const auto& [fieldName, value] : m_fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0) {
            values.append(value);
        }
    }
    return values;
}

std::optional<QByteArray> HttpMessage::uniqueHeaderField(const QByteArray& name) const {
    const QList<QByteArray> values = headerFields(name);
    if (values.size() != 1) {
        return std::nullopt;
    }
    return values.front();
}

QList<QByteArray> HttpMessage::headerLines() const {
    QList<QByteArray> lines{m_method + ' ' + m_target + ' ' + m_version};
    for (const auto& [name, value] : m_fields) {
        lines.append(name + ": " + value);
    }
    return lines;
}

std::optional<uint64_t> HttpMessage::bodyLength() const {
    // Bodies are only framed by Content-Length; a chunked body would be read as requests.
    if (!headerFields("Transfer-Encoding").isEmpty()) {
        return std::nullopt;
    }
    const QList<QByteArray> lengths = headerFields("Content-Length");
    if (m_method == "POST" || m_method == "PUT") {
        return lengths.size() == 1 ? parseContentLength(lengths.front()) : std::nullopt;
    }
    if (!lengths.isEmpty()) {
        return std::nullopt;
    }
    return 0;
}

bool HttpMessage::asksToClose() const {
    for (const QByteArray& option : headerFields("Connection")) {
        for (const QByteArray& token : option.split(',')) {
            if (token.trimmed().compare("close", Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace vaultora::webserver
