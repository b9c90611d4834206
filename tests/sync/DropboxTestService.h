// Runs DropboxTestService.py on 127.0.0.1 for one test: a folder of files served with their
// modification times, OAuth signatures checked, a throwaway certificate authority. Stops when
// destroyed.
#pragma once

#include "sync/dropbox/DropboxServiceConfiguration.h"

#include <QDateTime>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace vaultora::test::http {

class DropboxTestService {
public:
    // failures: "raw request path=status" answered before any other check.
    explicit DropboxTestService(const QStringList& failures = {});
    ~DropboxTestService();
    DropboxTestService(const DropboxTestService&) = delete;
    DropboxTestService& operator=(const DropboxTestService&) = delete;

    [[nodiscard]] bool isReady() const { return m_port != 0; }
    // Hosts and the authority to trust, for the client.
    [[nodiscard]] vaultora::sync::DropboxServiceConfiguration configuration() const;

    // Puts a file into the served folder ("/Databases/home.kdb") with its modification time.
    void addFile(const QString& path, const QByteArray& body, const QDateTime& modified);
    void addFolder(const QString& path);
    [[nodiscard]] QString servedPath(const QString& path) const;

    // One line per request received: "METHOD scheme raw-path {parameters}".
    [[nodiscard]] QStringList requests() const;

    static inline const QString Email = QStringLiteral("user@example.org");
    static inline const QString Password = QStringLiteral("correct horse");

private:
    QTemporaryDir m_directory;
    QProcess m_process;
    quint16 m_port = 0;
    QString m_certificateAuthorityFile;
};

} // namespace vaultora::test::http
