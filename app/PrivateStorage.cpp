#include "app/PrivateStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

#include <sys/stat.h>

namespace vaultora::app {

namespace {

constexpr QFileDevice::Permissions userReadWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions userOnlyFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

bool setPermissions(const QString& path, QFileDevice::Permissions permissions) {
    if (QFile::setPermissions(path, permissions)) {
        return true;
    }
    qWarning().noquote() << "Private storage: cannot restrict the mode of" << path;
    return false;
}

} // namespace

void PrivateStorage::restrictNewFiles() {
    umask(S_IRWXG | S_IRWXO);
}

bool PrivateStorage::restrictDirectory(const QString& directory) {
    const QFileInfo info(directory);
    if (!info.isDir() || info.isSymLink()) {
        return true;
    }
    bool restricted = setPermissions(directory, userOnlyFolder);
    const QFileInfoList files =
        QDir(directory).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo& file : files) {
        if (file.isFile() && !file.isSymLink()) {
            restricted = setPermissions(file.filePath(), userReadWrite) && restricted;
        }
    }
    return restricted;
}

bool PrivateStorage::restrictFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink()) {
        return true;
    }
    return setPermissions(path, userReadWrite);
}

bool PrivateStorage::adoptSettingsFile(const QString& earlierPath, const QString& currentPath) {
    if (QFileInfo::exists(currentPath) || !QFileInfo(earlierPath).isFile()) {
        return true;
    }
    const QString folder = QFileInfo(currentPath).absolutePath();
    if (!QDir().mkpath(folder) || !QFile::rename(earlierPath, currentPath)) {
        qWarning().noquote() << "Private storage: cannot move the settings from" << earlierPath;
        return false;
    }
    return restrictFile(currentPath);
}

} // namespace vaultora::app
