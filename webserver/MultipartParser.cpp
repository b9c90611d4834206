#include "webserver/MultipartParser.h"

#include <algorithm>

namespace vaultora::webserver {

namespace {

// A part header longer than this is not one a browser sends.
constexpr qsizetype kMaxPartHeaderBytes = 65536;
constexpr qsizetype kMaxPartHeaderFields = 100;
// The longest run of white space allowed between a delimiter and its line end.
constexpr qsizetype kMaxTransportPadding = 1024;
constexpr qsizetype kMaxBoundaryLength = 70;

bool isWhiteSpace(char character) {
    return character == ' ' || character == '\t';
}

} // namespace

std::optional<QByteArray> MultipartPartHeader::field(const QByteArray& name) const {
    for (const auto& [fieldName, value] : fields) {
        if (fieldName.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

MultipartParser::MultipartParser(const QByteArray& boundary, MultipartReceiver& receiver)
    : m_delimiter("\r\n--" + boundary), m_receiver(receiver),
      // The first delimiter may open the body without a line break before it.
      m_buffer("\r\n") {}

std::optional<QByteArray> MultipartParser::boundaryOf(const QByteArray& contentType) {
    const QList<QByteArray> parameters = contentType.split(';');
    if (!parameters.front().trimmed().toLower().startsWith("multipart/")) {
        return std::nullopt;
    }
    for (qsizetype index = 1; index < parameters.size(); ++index) {
        const QByteArray parameter = parameters.at(index).trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 || parameter.left(equals).trimmed().toLower() != "boundary") {
            continue;
        }
        QByteArray boundary = parameter.mid(equals + 1).trimmed();
        if (boundary.size() >= 2 && boundary.startsWith('"') && boundary.endsWith('"')) {
            boundary = boundary.mid(1, boundary.size() - 2);
        }
        if (boundary.isEmpty() || boundary.size() > kMaxBoundaryLength) {
            return std::nullopt;
        }
        return boundary;
    }
    return std::nullopt;
}

void MultipartParser::feed(const QByteArray& chunk) {
    if (m_state == State::Epilogue || m_state == State::Failed) {
        return;
    }
    m_buffer += chunk;
    bool progressed = true;
    while (progressed) {
        switch (m_state) {
        case State::Preamble:
            progressed = skipPreamble();
            break;
        case State::AfterDelimiter:
            progressed = readDelimiterEnd();
            break;
        case State::PartHeader:
            progressed = readHeaderLine();
            break;
        case State::PartContent:
            progressed = readContent();
            break;
        case State::Epilogue:
        case State::Failed:
            m_buffer.clear();
            progressed = false;
            break;
        }
    }
}

bool MultipartParser::skipPreamble() {
    const qsizetype found = m_buffer.indexOf(m_delimiter);
    if (found < 0) {
        // Keep what could be the start of a delimiter cut by the chunk's end.
        m_buffer.remove(0, std::max<qsizetype>(0, m_buffer.size() - m_delimiter.size() + 1));
        return false;
    }
    m_buffer.remove(0, found + m_delimiter.size());
    m_state = State::AfterDelimiter;
    return true;
}

bool MultipartParser::readDelimiterEnd() {
    // A delimiter is followed by "--" when it closes the body, else by optional white space
    // and a line break (RFC 2046 section 5.1.1).
    if (m_buffer.size() < 2) {
        return false;
    }
    if (m_buffer.startsWith("--")) {
        m_state = State::Epilogue;
        return true;
    }
    const qsizetype lineEnd = m_buffer.indexOf("\r\n");
    // Without a line end yet, a final CR may be the first half of one.
    const qsizetype padding =
        lineEnd >= 0 ? lineEnd : m_buffer.size() - (m_buffer.endsWith('\r') ? 1 : 0);
    if (!std::all_of(m_buffer.begin(), m_buffer.begin() + padding, isWhiteSpace) ||
        padding > kMaxTransportPadding) {
        m_state = State::Failed;
        return true;
    }
    if (lineEnd < 0) {
        return false;
    }
    m_buffer.remove(0, lineEnd + 2);
    m_header = MultipartPartHeader();
    m_headerBytes = 0;
    m_state = State::PartHeader;
    return true;
}

bool MultipartParser::readHeaderLine() {
    const qsizetype lineEnd = m_buffer.indexOf("\r\n");
    if (lineEnd < 0) {
        if (m_headerBytes + m_buffer.size() > kMaxPartHeaderBytes) {
            m_state = State::Failed;
            return true;
        }
        return false;
    }
    const QByteArray line = m_buffer.left(lineEnd);
    m_buffer.remove(0, lineEnd + 2);
    m_headerBytes += lineEnd + 2;
    if (line.isEmpty()) {
        m_receiver.partBegins(m_header);
        m_state = State::PartContent;
        return true;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || m_header.fields.size() >= kMaxPartHeaderFields ||
        m_headerBytes > kMaxPartHeaderBytes) {
        m_state = State::Failed;
        return true;
    }
    m_header.fields.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    return true;
}

bool MultipartParser::readContent() {
    const qsizetype found = m_buffer.indexOf(m_delimiter);
    if (found < 0) {
        // Everything but a possible beginning of the delimiter belongs to the part.
        const qsizetype safe = m_buffer.size() - m_delimiter.size() + 1;
        if (safe > 0) {
            m_receiver.partData(m_buffer.left(safe));
            m_buffer.remove(0, safe);
        }
        return false;
    }
    if (found > 0) {
        m_receiver.partData(m_buffer.left(found));
    }
    m_buffer.remove(0, found + m_delimiter.size());
    m_receiver.partEnds();
    m_state = State::AfterDelimiter;
    return true;
}

} // namespace vaultora::webserver
