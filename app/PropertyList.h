#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <plist/plist.h>

#include <memory>
#include <optional>

namespace vaultora::app {

// Owns a property-list node tree of libplist.
struct PropertyListDeleter {
    void operator()(plist_t node) const noexcept { plist_free(node); }
};
using PropertyList = std::unique_ptr<void, PropertyListDeleter>;

// Reading and writing of property-list files and typed access to dictionary values.
namespace PropertyListFile {

enum class ReadStatus {
    Read,       // the file holds a property list; see the node
    Missing,    // there is no such file
    Empty,      // the file has no bytes
    Unreadable, // the file exists but could not be read or is not a property list
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    PropertyList root;
    QString problem; // what went wrong, for Unreadable
};

// Reads an XML or binary property list.
[[nodiscard]] ReadResult read(const QString& path);
[[nodiscard]] PropertyList parse(const QByteArray& bytes);

// Writes root as an XML property list, atomically: the file is either replaced whole or left
// as it was.
[[nodiscard]] bool writeXml(const QString& path, plist_t root, QString* problem = nullptr);
[[nodiscard]] QByteArray toXml(plist_t root);

} // namespace PropertyListFile

// Typed reading of dictionary values; a value of another type counts as absent.
namespace PropertyListValue {

// libplist hands keys and strings out as C strings and aborts (an assertion) when one holds a
// NUL, which binary lists and raw bytes in XML can carry; these two read them safely.
// The text of a string node; nothing for a node of another type. A NUL ends the text.
[[nodiscard]] std::optional<QString> text(plist_t node);
// The text of a dictionary key; nothing for a key that holds a NUL.
[[nodiscard]] std::optional<QString> keyText(plist_t key);
[[nodiscard]] std::optional<QString> string(plist_t dictionary, const char* key);
// Integers, reals (truncated) and booleans.
[[nodiscard]] std::optional<std::int64_t> integer(plist_t dictionary, const char* key);
// Booleans, and numbers (non-zero is true).
[[nodiscard]] std::optional<bool> boolean(plist_t dictionary, const char* key);
[[nodiscard]] std::optional<QDateTime> date(plist_t dictionary, const char* key);

[[nodiscard]] plist_t newString(const QString& value);
[[nodiscard]] plist_t newInteger(std::int64_t value);

} // namespace PropertyListValue

} // namespace vaultora::app
