#include "app/PropertyList.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vaultora::app {

namespace {

// Property-list dates count seconds from the start of 2001 (UTC).
QDateTime referenceDate() {
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
}

} // namespace

namespace PropertyListFile {

PropertyList parse(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return {};
    }
    plist_t root = nullptr;
    const auto length = static_cast<std::uint32_t>(bytes.size());
    if (plist_is_binary(bytes.constData(), length) != 0) {
        plist_from_bin(bytes.constData(), length, &root);
    } else {
        plist_from_xml(bytes.constData(), length, &root);
    }
    return PropertyList(root);
}

ReadResult read(const QString& path) {
    ReadResult result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.status = ReadStatus::Missing;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ReadStatus::Unreadable;
        result.problem = file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = ReadStatus::Unreadable;
        result.problem = file.errorString();
        return result;
    }
    if (bytes.isEmpty()) {
        result.status = ReadStatus::Empty;
        return result;
    }
    result.root = parse(bytes);
    if (!result.root) {
        result.status = ReadStatus::Unreadable;
        result.problem = QStringLiteral("not a property list");
        return result;
    }
    result.status = ReadStatus::Read;
    return result;
}

QByteArray toXml(plist_t root) {
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    if (xml == nullptr) {
        return {};
    }
    QByteArray bytes(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);
    return bytes;
}

bool writeXml(const QString& path, plist_t root, QString* problem) {
    const QByteArray xml = toXml(root);
    QSaveFile file(path);
    const bool written = !xml.isEmpty() && file.open(QIODevice::WriteOnly) &&
                         file.write(xml) == xml.size() && file.commit();
    if (!written && problem != nullptr) {
        *problem = xml.isEmpty() ? QStringLiteral("could not encode the property list")
                                 : file.errorString();
    }
    return written;
}

} // namespace PropertyListFile

namespace PropertyListValue {

std::optional<QString> text(plist_t node) {
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) {
        return std::nullopt;
    }
    std::uint64_t length = 0;
    const char* characters = plist_get_string_ptr(node, &length);
    if (characters == nullptr) {
        return QStringLiteral("");
    }
    const auto* end = std::find(characters, characters + length, '\0');
    return QString::fromUtf8(characters, end - characters);
}

std::optional<QString> keyText(plist_t key) {
    if (key == nullptr || plist_get_node_type(key) != PLIST_KEY) {
        return std::nullopt;
    }
    // libplist has no getter for a key's length; the XML form of the lone key shows all of it.
    if (PropertyListFile::toXml(key).contains('\0')) {
        return std::nullopt;
    }
    char* characters = nullptr;
    plist_get_key_val(key, &characters);
    if (characters == nullptr) {
        return QStringLiteral("");
    }
    QString value = QString::fromUtf8(characters);
    std::free(characters); // NOLINT: libplist hands out malloc'ed strings
    return value;
}

std::optional<QString> string(plist_t dictionary, const char* key) {
    return text(plist_dict_get_item(dictionary, key));
}

std::optional<std::int64_t> integer(plist_t dictionary, const char* key) {
    plist_t node = plist_dict_get_item(dictionary, key);
    if (node == nullptr) {
        return std::nullopt;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_UINT: {
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // Negative numbers come back in two's complement.
        return static_cast<std::int64_t>(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(value);
    }
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value != 0 ? 1 : 0;
    }
    default:
        return std::nullopt;
    }
}

std::optional<bool> boolean(plist_t dictionary, const char* key) {
    plist_t node = plist_dict_get_item(dictionary, key);
    if (node != nullptr && plist_get_node_type(node) == PLIST_BOOLEAN) {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return value != 0;
    }
    const std::optional<std::int64_t> number = integer(dictionary, key);
    if (!number) {
        return std::nullopt;
    }
    return *number != 0;
}

std::optional<QDateTime> date(plist_t dictionary, const char* key) {
    plist_t node = plist_dict_get_item(dictionary, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_DATE) {
        return std::nullopt;
    }
    std::int32_t seconds = 0;
    std::int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    return referenceDate().addSecs(seconds).addMSecs(microseconds / 1000);
}

plist_t newString(const QString& value) {
    return plist_new_string(value.toUtf8().constData());
}

plist_t newInteger(std::int64_t value) {
    // libplist keeps the bits and writes a negative number when the top bit is set.
    return plist_new_uint(static_cast<std::uint64_t>(value));
}

} // namespace PropertyListValue

} // namespace vaultora::app
