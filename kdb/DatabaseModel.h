#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Credentials.h"
#include "InputSource.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

using KdbDate = std::chrono::system_clock::time_point;

class DatabaseEntry;

// The screens see an opened database of either format only through these interfaces.
// Absent texts read as the empty string; getters return views into the model, valid
// while the tree lives and the text is not set again. Groups own their subgroups and entries;
// parent links never own. The structural operations (adding and removing children) take the
// concrete type of the format and live on the format's classes.
class DatabaseGroup {
public:
    virtual ~DatabaseGroup() = default;

    [[nodiscard]] virtual DatabaseGroup* getParent() const = 0;
    virtual void setParent(DatabaseGroup* parent) = 0;
    [[nodiscard]] virtual std::string_view getGroupName() const = 0;
    virtual void setGroupName(std::string_view name) = 0;
    [[nodiscard]] virtual std::vector<DatabaseEntry*> getEntries() const = 0;
    [[nodiscard]] virtual std::vector<DatabaseGroup*> getSubGroups() const = 0;
    [[nodiscard]] virtual uint32_t _image() const = 0;

    virtual void setCreation(KdbDate date) = 0;
    virtual void setLastMod(KdbDate date) = 0;
    virtual void setLastAccess(KdbDate date) = 0;
    virtual void setExpiry(std::optional<KdbDate> date) = 0;
};

class DatabaseEntry {
public:
    virtual ~DatabaseEntry() = default;

    [[nodiscard]] virtual DatabaseGroup* getParent() const = 0;
    virtual void setParent(DatabaseGroup* parent) = 0;
    [[nodiscard]] virtual std::string_view getEntryName() const = 0;
    virtual void setEntryName(std::string_view text) = 0;
    [[nodiscard]] virtual std::string_view getUserName() const = 0;
    virtual void setUserName(std::string_view text) = 0;
    [[nodiscard]] virtual std::string_view getPassword() const = 0;
    virtual void setPassword(std::string_view text) = 0;
    [[nodiscard]] virtual std::string_view getURL() const = 0;
    virtual void setURL(std::string_view text) = 0;
    [[nodiscard]] virtual std::string_view getComments() const = 0;
    virtual void setComments(std::string_view text) = 0;
    [[nodiscard]] virtual uint32_t _image() const = 0;

    [[nodiscard]] virtual uint32_t getNumberOfCustomAttributes() const = 0;
    [[nodiscard]] virtual std::string_view getCustomAttributeName(uint32_t index) const = 0;
    [[nodiscard]] virtual std::string_view getCustomAttributeValue(uint32_t index) const = 0;

    virtual void setCreation(KdbDate date) = 0;
    virtual void setLastMod(KdbDate date) = 0;
    virtual void setLastAccess(KdbDate date) = 0;
    virtual void setExpiry(std::optional<KdbDate> date) = 0;
};

// An opened database. Shared by every panel that shows it; lives until the last one closes.
class DatabaseTree {
public:
    virtual ~DatabaseTree() = default;

    [[nodiscard]] virtual DatabaseGroup* getRoot() const = 0;
    [[nodiscard]] virtual bool isRecycleBin(const DatabaseGroup& group) const = 0;
};

class DatabaseReader {
public:
    virtual ~DatabaseReader() = default;

    // Reads the file from the source, positioned right after the two signature words. The
    // reader takes the source over and releases it when the load ends, whether it returns
    // or throws. The credentials give the password (UTF-8 text), the key file, or both.
    virtual std::shared_ptr<DatabaseTree> load(std::unique_ptr<InputSource> source,
                                               const Credentials& credentials) = 0;
    // The master password alone.
    std::shared_ptr<DatabaseTree> load(std::unique_ptr<InputSource> source,
                                       const SecureBytes& passwordUtf8) {
        return load(std::move(source), Credentials::withPassword(passwordUtf8));
    }
    [[nodiscard]] virtual std::shared_ptr<DatabaseTree> getKdbTree() const = 0;
};

} // namespace vaultora::kdb
