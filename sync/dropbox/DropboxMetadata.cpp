#include "sync/dropbox/DropboxMetadata.h"

#include <QJsonArray>

namespace vaultora::sync {
namespace {

const QString ThumbnailExistsKey = QStringLiteral("thumbnailExists");
const QString TotalBytesKey = QStringLiteral("totalBytes");
const QString LastModifiedDateKey = QStringLiteral("lastModifiedDate");
const QString PathKey = QStringLiteral("path");
const QString IsDirectoryKey = QStringLiteral("isDirectory");
const QString ContentsKey = QStringLiteral("contents");
const QString HashKey = QStringLiteral("hash");
const QString HumanReadableSizeKey = QStringLiteral("humanReadableSize");
const QString RootKey = QStringLiteral("root");
const QString IconKey = QStringLiteral("icon");
const QString RevisionKey = QStringLiteral("revision");
const QString IsDeletedKey = QStringLiteral("isDeleted");

} // namespace

DropboxMetadata::DropboxMetadata(const QJsonObject& object)
    : m_thumbnailExists(object.value(QStringLiteral("thumb_exists")).toBool()),
      m_totalBytes(object.value(QStringLiteral("bytes")).toInteger()),
      m_lastModifiedDate(parseDate(object.value(QStringLiteral("modified")).toString())),
      m_path(object.value(QStringLiteral("path")).toString()),
      m_isDirectory(object.value(QStringLiteral("is_dir")).toBool()),
      m_hash(object.value(QStringLiteral("hash")).toString()),
      m_humanReadableSize(object.value(QStringLiteral("size")).toString()),
      m_root(object.value(QStringLiteral("root")).toString()),
      m_icon(object.value(QStringLiteral("icon")).toString()),
      m_revision(object.value(QStringLiteral("revision")).toInteger()),
      m_isDeleted(object.value(QStringLiteral("is_deleted")).toBool()) {
    const QJsonArray contents = object.value(QStringLiteral("contents")).toArray();
    for (const QJsonValue& entry : contents) {
        if (entry.isObject())
            m_contents.append(DropboxMetadata(entry.toObject()));
    }
}

QDateTime DropboxMetadata::parseDate(const QString& text) {
    // Qt's RFC 2822 reader uses the English names on its own, independent of the locale.
    return QDateTime::fromString(text.trimmed(), Qt::RFC2822Date);
}

QString DropboxMetadata::filename() const {
    return m_path.section(QLatin1Char('/'), -1);
}

QVariantMap DropboxMetadata::archive() const {
    QVariantList contents;
    for (const DropboxMetadata& entry : m_contents)
        contents.append(entry.archive());
    return {{ThumbnailExistsKey, m_thumbnailExists},
            {TotalBytesKey, m_totalBytes},
            {LastModifiedDateKey, m_lastModifiedDate},
            {PathKey, m_path},
            {IsDirectoryKey, m_isDirectory},
            {ContentsKey, contents},
            {HashKey, m_hash},
            {HumanReadableSizeKey, m_humanReadableSize},
            {RootKey, m_root},
            {IconKey, m_icon},
            {RevisionKey, m_revision},
            {IsDeletedKey, m_isDeleted}};
}

DropboxMetadata DropboxMetadata::fromArchive(const QVariantMap& archive) {
    DropboxMetadata metadata;
    metadata.m_thumbnailExists = archive.value(ThumbnailExistsKey).toBool();
    metadata.m_totalBytes = archive.value(TotalBytesKey).toLongLong();
    metadata.m_lastModifiedDate = archive.value(LastModifiedDateKey).toDateTime();
    metadata.m_path = archive.value(PathKey).toString();
    metadata.m_isDirectory = archive.value(IsDirectoryKey).toBool();
    for (const QVariant& entry : archive.value(ContentsKey).toList())
        metadata.m_contents.append(fromArchive(entry.toMap()));
    metadata.m_hash = archive.value(HashKey).toString();
    metadata.m_humanReadableSize = archive.value(HumanReadableSizeKey).toString();
    metadata.m_root = archive.value(RootKey).toString();
    metadata.m_icon = archive.value(IconKey).toString();
    metadata.m_revision = archive.value(RevisionKey).toLongLong();
    metadata.m_isDeleted = archive.value(IsDeletedKey).toBool();
    return metadata;
}

} // namespace vaultora::sync
