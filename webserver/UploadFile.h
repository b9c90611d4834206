#pragma once

#include <QByteArray>
#include <QString>

namespace vaultora::webserver {

// The file an upload is written to. It is created in the documents directory without a name
// (O_TMPFILE), so that a process killed during the upload leaves nothing behind, and only the
// final step gives it its name, replacing a file of that name at once. Where the file system
// cannot make unnamed files, it gets a temporary name that the listing hides, that is removed
// when the upload fails and, after a kill, when the server starts next.
class UploadFile final {
public:
    enum class Creation { UnnamedWherePossible, Named };

    explicit UploadFile(const QString& directory,
                        Creation creation = Creation::UnnamedWherePossible);
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

    [[nodiscard]] bool openNamed();

    QString m_directory;
    int m_descriptor = -1;
    // Set when the file has a temporary name rather than none.
    QByteArray m_temporaryPath;
    QString m_errorString;
};

} // namespace vaultora::webserver
