#pragma once

#include "webserver/MultipartParser.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace vaultora::webserver {

class UploadFile;

// One submission of the upload form being received. The first part that carries a file is
// streamed into an unnamed file in the documents directory; every other part is read and
// dropped. Once the body is whole, the file is stored under its name.
class FormUpload final : private MultipartReceiver {
public:
    // What became of the submission.
    struct Outcome {
        // The name of the stored file, when one was stored.
        std::optional<QString> storedFileName;
        // A sentence for the answer page.
        QString message;
    };

    // contentType is the request's Content-Type; when it names no multipart boundary, the
    // boundary is taken from the body's first line.
    FormUpload(const QString& documentRoot, const QByteArray& contentType);
    ~FormUpload() override;
    FormUpload(const FormUpload&) = delete;
    FormUpload& operator=(const FormUpload&) = delete;

    void receive(const QByteArray& chunk);
    // Whether any part of the body was a form part (one with a Content-Disposition).
    [[nodiscard]] bool receivedFormPart() const { return m_receivedFormPart; }
    // Stores the file if it and the whole body arrived, and says what happened.
    [[nodiscard]] Outcome finish();

private:
    enum class FileState { NotChosen, Receiving, Received, Refused, WriteFailed };

    void takeBoundaryFromFirstLine(const QByteArray& chunk);
    void partBegins(const MultipartPartHeader& header) override;
    void partData(const QByteArray& data) override;
    void partEnds() override;
    [[nodiscard]] QString notStored(const QString& reason) const;

    QString m_documentRoot;
    std::unique_ptr<MultipartParser> m_parser;
    // The start of a body whose boundary is still to be read from its first line.
    QByteArray m_firstLine;
    bool m_boundaryMissing = false;
    std::unique_ptr<UploadFile> m_file;
    FileState m_fileState = FileState::NotChosen;
    QString m_fileName;
    bool m_inFilePart = false;
    bool m_receivedFormPart = false;
};

} // namespace vaultora::webserver
