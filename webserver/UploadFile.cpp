#include "webserver/UploadFile.h"

#include "webserver/DocumentNames.h"
#include "webserver/ServerLog.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vaultora::webserver {

UploadFile::UploadFile(const QString& directory) : m_directory(directory) {
    m_descriptor =
        ::open(QFile::encodeName(directory).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_descriptor < 0) {
        static_cast<void>(fail(QStringLiteral("create a file in")));
    }
}

UploadFile::~UploadFile() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
}

bool UploadFile::fail(const QString& step) {
    m_errorString = QStringLiteral("cannot %1 %2: %3")
                        .arg(step, m_directory, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

bool UploadFile::write(const QByteArray& data) {
    qsizetype written = 0;
    while (written < data.size()) {
        const ssize_t count = ::write(m_descriptor, data.constData() + written,
                                      static_cast<size_t>(data.size() - written));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return fail(QStringLiteral("write to a file in"));
        }
        written += count;
    }
    return true;
}

bool UploadFile::commit(const QString& fileName) {
    if (::fsync(m_descriptor) != 0) {
        return fail(QStringLiteral("save a file in"));
    }
    // An unnamed file can only be linked under a new name, never over an existing one: it is
    // linked under a temporary name and renamed over the target, which replaces it at once.
    const QByteArray temporaryPath =
        QFile::encodeName(m_directory + QLatin1Char('/') + uploadTemporaryPrefix() +
                          QUuid::createUuid().toString(QUuid::Id128));
    const QByteArray descriptorPath = "/proc/self/fd/" + QByteArray::number(m_descriptor);
    if (::linkat(AT_FDCWD, descriptorPath.constData(), AT_FDCWD, temporaryPath.constData(),
                 AT_SYMLINK_FOLLOW) != 0) {
        return fail(QStringLiteral("name a file in"));
    }
    const QByteArray target = QFile::encodeName(m_directory + QLatin1Char('/') + fileName);
    if (std::rename(temporaryPath.constData(), target.constData()) != 0) {
        const bool failed = fail(QStringLiteral("rename a file in"));
        ::unlink(temporaryPath.constData());
        return failed;
    }
    return true;
}

void UploadFile::removeLeftovers(const QString& directory) {
    const QDir documents(directory);
    const QStringList leftovers = documents.entryList({uploadTemporaryPrefix() + QLatin1Char('*')},
                                                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : leftovers) {
        if (QFile::remove(documents.filePath(name))) {
            serverLog(QStringLiteral("Removed the unfinished upload %1").arg(name));
        }
    }
}

} // namespace vaultora::webserver
