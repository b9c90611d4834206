#include "webserver/UploadFile.h"

#include "webserver/DocumentNames.h"
#include "webserver/ServerLog.h"

#include <QDir>
#include <QFile>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vaultora::webserver {

UploadFile::UploadFile(const QString& directory, Creation creation) : m_directory(directory) {
    if (creation == Creation::UnnamedWherePossible) {
        m_descriptor =
            ::open(QFile::encodeName(directory).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        // These say that the file system (or the kernel) cannot make unnamed files.
        if (m_descriptor >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
            if (m_descriptor < 0) {
                static_cast<void>(fail(QStringLiteral("create a file in")));
            }
            return;
        }
    }
    static_cast<void>(openNamed());
}

bool UploadFile::openNamed() {
    QByteArray pattern = QFile::encodeName(m_directory + QLatin1Char('/') +
                                           uploadTemporaryPrefix() + QStringLiteral("XXXXXX"));
    m_descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_descriptor < 0) {
        return fail(QStringLiteral("create a file in"));
    }
    m_temporaryPath = pattern;
    return true;
}

UploadFile::~UploadFile() {
    if (m_descriptor >= 0) {
        ::close(m_descriptor);
    }
    // A named file that was not committed is an unfinished upload.
    if (!m_temporaryPath.isEmpty()) {
        ::unlink(m_temporaryPath.constData());
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
    const QByteArray target = QFile::encodeName(m_directory + QLatin1Char('/') + fileName);
    if (!m_temporaryPath.isEmpty()) {
        if (std::rename(m_temporaryPath.constData(), target.constData()) != 0) {
            return fail(QStringLiteral("rename a file in"));
        }
        m_temporaryPath.clear();
        return true;
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
