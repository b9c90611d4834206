#pragma once

#include <QByteArray>
#include <QString>

namespace vaultora::webserver {

// The file an upload is written to. It is created in the documents directory without a name
// (O_TMPFILE), so that a process killed during the upload leaves nothing behind, and only the
// final step gives it its name, replacing a file of that name at once.
class UploadFile final {
public:
    explicit UploadFile(const QString& directory);
    ~UploadFile();
    UploadFile(const UploadFile&) = delete;
    UploadFile& operator=(const UploadFile&) = delete;

    [[nodiscard]] bool isOpen() const { return m_descriptor >= 0; }
    // Why the last step failed.
    [[nodiscard]] QString errorString() const { return m_errorString; }
    [[nodiscard]] bool write(const QByteArray& data);
    // Makes the written bytes durable, then gives them the name within the directory.
    [[nodiscard]] bool commit(const QString& fileName);

    // Removes what a process killed during a final rename left in the directory.
    static void removeLeftovers(const QString& directory);

private:
    [[nodiscard]] bool fail(const QString& step);

    QString m_directory;
    int m_descriptor = -1;
    QString m_errorString;
};

} // namespace vaultora::webserver
