#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DatabaseModel.h"
#include "XmlNode.h"

namespace vaultora::kdb {

class KdbxEntry;

// A group of a version-2 database, the node of a "Group" or "Root" element. When its element
// closes it takes its fields from its children and takes over its sub-groups and entries;
// every other child element stays a plain child, packed
// where it holds no group or entry (see XmlNode::packChildren).
class KdbxGroup final : public XmlNode, public DatabaseGroup {
public:
    explicit KdbxGroup(ElementName name = ElementName::known(KnownName::Group),
                       NodeArena* arena = nullptr);
    explicit KdbxGroup(NodeArena* arena) : KdbxGroup(ElementName::known(KnownName::Group), arena) {}
    ~KdbxGroup() override;

    [[nodiscard]] DatabaseGroup* getParent() const override;
    void setParent(DatabaseGroup* parent) override;
    [[nodiscard]] std::string_view getGroupName() const override { return m_title; }
    void setGroupName(std::string_view name) override;
    [[nodiscard]] std::vector<DatabaseEntry*> getEntries() const override;
    [[nodiscard]] std::vector<DatabaseGroup*> getSubGroups() const override;
    [[nodiscard]] uint32_t _image() const override { return m_image; }
    void set_image(uint32_t image) { m_image = image; }
    [[nodiscard]] std::string_view _uuid() const { return m_uuid; }
    void set_uuid(std::string_view uuid);
    [[nodiscard]] std::string_view _comment() const { return m_comment; }
    void set_comment(std::string_view comment);

    // Version-2 groups keep no times.
    void setCreation(KdbDate) override {}
    void setLastMod(KdbDate) override {}
    void setLastAccess(KdbDate) override {}
    void setExpiry(std::optional<KdbDate>) override {}

    // Both throw std::invalid_argument for a node of another storage (see XmlNode).
    void addSubGroup(std::unique_ptr<KdbxGroup> group);
    void addEntry(std::unique_ptr<KdbxEntry> entry);
    // Clears the parent and gives the object back; none when it is not held here.
    std::unique_ptr<KdbxGroup> deleteSubGroup(KdbxGroup& group);
    std::unique_ptr<KdbxEntry> deleteEntry(KdbxEntry& entry);

    [[nodiscard]] KdbxGroup* asGroup() noexcept override { return this; }
    void postProcess(RandomStream* stream) override;
    [[nodiscard]] std::string description() const override;

protected:
    void releaseOwned(std::vector<XmlNode*>& owned) override;
    void listOwned(std::vector<XmlNode*>& owned) const override;
    [[nodiscard]] std::size_t storageSize() const noexcept override { return sizeof(KdbxGroup); }

private:
    void replaceText(std::string_view& field, std::string_view text);

    std::string_view m_uuid;
    std::string_view m_title;
    std::string_view m_comment;
    uint32_t m_image = 0;
    uint32_t m_subGroupCount = 0;
    uint32_t m_entryCount = 0;
    // Sub-groups and entries in rings through their sibling links (see XmlNode::ChildRange).
    XmlNode* m_lastSubGroup = nullptr;
    XmlNode* m_lastEntry = nullptr;
};

// The icon number of an "IconID" text: 0xFFFFFFFF for the empty text, otherwise the leading
// decimal number (after white space and an optional sign; 0 when there is none), clamped to
// the signed 32-bit range and stored as unsigned.
[[nodiscard]] uint32_t iconNumber(std::string_view text) noexcept;

} // namespace vaultora::kdb
