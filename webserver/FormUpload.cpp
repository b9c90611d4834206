#include "webserver/FormUpload.h"

#include "webserver/ServerLog.h"
#include "webserver/UploadFile.h"
#include "webserver/UploadFileName.h"

namespace vaultora::webserver {

namespace {

constexpr qsizetype kMaxBoundaryLength = 70;
// A first line longer than a delimiter with generous padding is not a delimiter.
constexpr qsizetype kMaxFirstLineLength = 1024;

} // namespace

FormUpload::FormUpload(const QString& documentRoot, const QByteArray& contentType)
    : m_documentRoot(documentRoot) {
    if (const std::optional<QByteArray> boundary = MultipartParser::boundaryOf(contentType)) {
        MultipartReceiver& receiver = *this;
        m_parser = std::make_unique<MultipartParser>(*boundary, receiver);
    }
}

FormUpload::~FormUpload() = default;

void FormUpload::receive(const QByteArray& chunk) {
    if (!m_parser && !m_boundaryMissing) {
        takeBoundaryFromFirstLine(chunk);
        return;
    }
    if (m_parser) {
        m_parser->feed(chunk);
    }
}

void FormUpload::takeBoundaryFromFirstLine(const QByteArray& chunk) {
    // Clients that send no Content-Type still open the body with the first delimiter line
    // (RFC 2046 section 5.1.1): "--", the boundary, optional white space, CR LF.
    m_firstLine += chunk;
    const qsizetype lineEnd = m_firstLine.indexOf("\r\n");
    if (lineEnd < 0) {
        m_boundaryMissing = m_firstLine.size() > kMaxFirstLineLength;
        return;
    }
    const QByteArray boundary = m_firstLine.left(lineEnd).trimmed().mid(2);
    if (!m_firstLine.startsWith("--") || boundary.isEmpty() ||
        boundary.size() > kMaxBoundaryLength) {
        m_boundaryMissing = true;
        return;
    }
    MultipartReceiver& receiver = *this;
    m_parser = std::make_unique<MultipartParser>(boundary, receiver);
    m_parser->feed(m_firstLine);
    m_firstLine.clear();
}

void FormUpload::partBegins(const MultipartPartHeader& header) {
    const std::optional<QByteArray> disposition = header.field("Content-Disposition");
    if (!disposition) {
        return;
    }
    m_receivedFormPart = true;
    // Only the first file the form carries is stored; a form has one file field.
    if (m_fileState != FileState::NotChosen) {
        return;
    }
    const QString fileName = uploadFileNameFromLine(*disposition);
    if (fileName.isEmpty()) {
        return;
    }
    m_fileName = fileName;
    if (!isAcceptableUploadFileName(fileName)) {
        serverLog(QStringLiteral("Upload: refused file name \"%1\"").arg(fileName));
        m_fileState = FileState::Refused;
        return;
    }
    m_file = std::make_unique<UploadFile>(m_documentRoot);
    if (!m_file->isOpen()) {
        serverLog(QStringLiteral("Upload: %1").arg(m_file->errorString()));
        m_file.reset();
        m_fileState = FileState::WriteFailed;
        return;
    }
    m_fileState = FileState::Receiving;
    m_inFilePart = true;
}

void FormUpload::partData(const QByteArray& data) {
    if (!m_inFilePart) {
        return;
    }
    if (!m_file->write(data)) {
        serverLog(QStringLiteral("Upload: %1").arg(m_file->errorString()));
        m_file.reset();
        m_fileState = FileState::WriteFailed;
        m_inFilePart = false;
    }
}

void FormUpload::partEnds() {
    if (m_inFilePart) {
        m_inFilePart = false;
        m_fileState = FileState::Received;
    }
}

QString FormUpload::notStored(const QString& reason) const {
    return QStringLiteral("%1 was not stored: %2.").arg(m_fileName, reason);
}

FormUpload::Outcome FormUpload::finish() {
    const bool whole = m_parser && m_parser->isComplete();
    switch (m_fileState) {
    case FileState::NotChosen:
        return {std::nullopt, QStringLiteral("No file was chosen.")};
    case FileState::Refused:
        return {std::nullopt, notStored(QStringLiteral("that file name is not allowed"))};
    case FileState::WriteFailed:
        return {std::nullopt, notStored(QStringLiteral("the device could not save it"))};
    case FileState::Receiving:
    case FileState::Received:
        break;
    }
    if (m_fileState != FileState::Received || !whole) {
        serverLog(QStringLiteral("Upload: %1 has no closing boundary, not stored").arg(m_fileName));
        m_file.reset();
        return {std::nullopt, notStored(QStringLiteral("the upload did not arrive whole"))};
    }
    const bool stored = m_file->commit(m_fileName);
    const QString error = m_file->errorString();
    m_file.reset();
    if (!stored) {
        serverLog(QStringLiteral("Upload: %1").arg(error));
        return {std::nullopt, notStored(QStringLiteral("the device could not save it"))};
    }
    return {m_fileName, QStringLiteral("%1 was uploaded.").arg(m_fileName)};
}

} // namespace vaultora::webserver
