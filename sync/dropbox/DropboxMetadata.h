// What the service says about a file or folder: its size, dates, path, kind and, for a
// folder, the metadata of its entries. Built from the service's JSON object; archived as a map
// under the field names.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariantMap>

namespace vaultora::sync {

class DropboxMetadata final {
public:
    DropboxMetadata() = default;
    explicit DropboxMetadata(const QJsonObject& object);

    // "modified" and similar dates: RFC 2822 with English day and month names, whatever the
    // user's locale. Invalid when the text is not such a date.
    [[nodiscard]] static QDateTime parseDate(const QString& text);

    [[nodiscard]] QVariantMap archive() const;
    [[nodiscard]] static DropboxMetadata fromArchive(const QVariantMap& archive);

    [[nodiscard]] bool thumbnailExists() const { return m_thumbnailExists; }
    [[nodiscard]] qint64 totalBytes() const { return m_totalBytes; }
    [[nodiscard]] const QDateTime& lastModifiedDate() const { return m_lastModifiedDate; }
    [[nodiscard]] const QString& path() const { return m_path; }
    [[nodiscard]] bool isDirectory() const { return m_isDirectory; }
    [[nodiscard]] const QList<DropboxMetadata>& contents() const { return m_contents; }
    [[nodiscard]] const QString& hash() const { return m_hash; }
    [[nodiscard]] const QString& humanReadableSize() const { return m_humanReadableSize; }
    [[nodiscard]] const QString& root() const { return m_root; }
    [[nodiscard]] const QString& icon() const { return m_icon; }
    [[nodiscard]] qint64 revision() const { return m_revision; }
    [[nodiscard]] bool isDeleted() const { return m_isDeleted; }
    // The last component of the path.
    [[nodiscard]] QString filename() const;

    friend bool operator==(const DropboxMetadata&, const DropboxMetadata&) = default;

private:
    bool m_thumbnailExists = false;
    qint64 m_totalBytes = 0;
    QDateTime m_lastModifiedDate;
    QString m_path;
    bool m_isDirectory = false;
    QList<DropboxMetadata> m_contents;
    QString m_hash;
    QString m_humanReadableSize;
    QString m_root;
    QString m_icon;
    qint64 m_revision = 0;
    bool m_isDeleted = false;
};

} // namespace vaultora::sync
