#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "DatabaseModel.h"
#include "KeePass1Date.h"
#include "KeePass1Entry.h"

namespace vaultora::kdb {

// A group of a version-1 database. It owns its subgroups and entries; meta entries are kept
// apart and never listed.
class KeePass1Group final : public DatabaseGroup {
public:
    KeePass1Group() = default;
    // Takes the subtree apart without recursion, so a deeply nested file cannot exhaust
    // the stack.
    ~KeePass1Group() override;
    KeePass1Group(const KeePass1Group&) = delete;
    KeePass1Group& operator=(const KeePass1Group&) = delete;

    [[nodiscard]] DatabaseGroup* getParent() const override { return m_parent; }
    void setParent(DatabaseGroup* parent) override { m_parent = parent; }
    [[nodiscard]] std::string_view getGroupName() const override { return m_title; }
    void setGroupName(std::string_view name) override { m_title = name; }
    [[nodiscard]] std::vector<DatabaseEntry*> getEntries() const override;
    [[nodiscard]] std::vector<DatabaseGroup*> getSubGroups() const override;
    [[nodiscard]] uint32_t _image() const override { return m_image; }
    void set_image(uint32_t image) noexcept { m_image = image; }

    void setCreation(KdbDate date) override { KeePass1Date::dateFromNSDate(m_creation, date); }
    void setLastMod(KdbDate date) override { KeePass1Date::dateFromNSDate(m_lastMod, date); }
    void setLastAccess(KdbDate date) override { KeePass1Date::dateFromNSDate(m_lastAccess, date); }
    // No date stores "never expires".
    void setExpiry(std::optional<KdbDate> date) override;

    // Makes this group the entry's parent and files it with the meta entries or the others.
    void addEntry(std::unique_ptr<KeePass1Entry> entry);
    // Clears the entry's parent and hands it back; nullptr when it is not in this group.
    std::unique_ptr<KeePass1Entry> deleteEntry(KeePass1Entry* entry);
    void addSubGroup(std::unique_ptr<KeePass1Group> group);
    std::unique_ptr<KeePass1Group> deleteSubGroup(KeePass1Group* group);

    [[nodiscard]] uint32_t _id() const noexcept { return m_id; }
    void set_id(uint32_t identifier) noexcept { m_id = identifier; }
    [[nodiscard]] uint32_t _flags() const noexcept { return m_flags; }
    void set_flags(uint32_t flags) noexcept { m_flags = flags; }
    [[nodiscard]] std::vector<KeePass1Entry*> _metaEntries() const;

    [[nodiscard]] UnpackedDate& getCreation() noexcept { return m_creation; }
    [[nodiscard]] UnpackedDate& getLastMod() noexcept { return m_lastMod; }
    [[nodiscard]] UnpackedDate& getLastAccess() noexcept { return m_lastAccess; }
    [[nodiscard]] UnpackedDate& getExpiry() noexcept { return m_expiry; }

    // Clears every parent link of the subtree (walked without recursion).
    void breakCyclcReference() noexcept;
    // "[id:%d title:%s]"
    [[nodiscard]] std::string description() const;

private:
    uint32_t m_id = 0;
    uint32_t m_image = 0;
    std::string m_title;
    DatabaseGroup* m_parent = nullptr;
    std::vector<std::unique_ptr<KeePass1Group>> m_subGroups;
    std::vector<std::unique_ptr<KeePass1Entry>> m_metaEntries;
    std::vector<std::unique_ptr<KeePass1Entry>> m_entries;
    uint32_t m_flags = 0;
    UnpackedDate m_creation{};
    UnpackedDate m_lastMod{};
    UnpackedDate m_lastAccess{};
    UnpackedDate m_expiry{};
};

} // namespace vaultora::kdb
