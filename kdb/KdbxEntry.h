#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "DatabaseModel.h"
#include "XmlNode.h"

namespace vaultora::kdb {

// An entry of a version-2 database, the node of an "Entry" element. When its element closes
// it takes its fields from its "String", "UUID", "IconID" and "Notes" children and drops
// them; every other child element (times, auto-type, history) stays a plain child, packed
// where it holds no group or entry (see XmlNode::packChildren).
class KdbxEntry final : public XmlNode, public DatabaseEntry {
public:
    explicit KdbxEntry(ElementName name = ElementName::known(KnownName::Entry),
                       NodeArena* arena = nullptr);
    explicit KdbxEntry(NodeArena* arena) : KdbxEntry(ElementName::known(KnownName::Entry), arena) {}
    ~KdbxEntry() override;

    [[nodiscard]] DatabaseGroup* getParent() const override;
    void setParent(DatabaseGroup* parent) override;
    [[nodiscard]] std::string_view getEntryName() const override { return m_title; }
    void setEntryName(std::string_view text) override;
    [[nodiscard]] std::string_view getUserName() const override { return m_username; }
    void setUserName(std::string_view text) override;
    [[nodiscard]] std::string_view getPassword() const override { return m_password; }
    void setPassword(std::string_view text) override;
    [[nodiscard]] std::string_view getURL() const override { return m_url; }
    void setURL(std::string_view text) override;
    [[nodiscard]] std::string_view getComments() const override { return m_comment; }
    void setComments(std::string_view text) override;
    [[nodiscard]] uint32_t _image() const override { return m_image; }
    void set_image(uint32_t image) { m_image = image; }
    [[nodiscard]] std::string_view _uuid() const { return m_uuid; }
    void set_uuid(std::string_view uuid);

    // Custom fields are every string field but the five standard ones, listed in the order
    // of their values compared without regard to letter case.
    [[nodiscard]] uint32_t getNumberOfCustomAttributes() const override;
    // Out-of-range indexes give the empty text.
    [[nodiscard]] std::string_view getCustomAttributeName(uint32_t index) const override;
    [[nodiscard]] std::string_view getCustomAttributeValue(uint32_t index) const override;

    // Version-2 entries keep no times.
    void setCreation(KdbDate) override {}
    void setLastMod(KdbDate) override {}
    void setLastAccess(KdbDate) override {}
    void setExpiry(std::optional<KdbDate>) override {}

    [[nodiscard]] KdbxEntry* asEntry() noexcept override { return this; }
    void postProcess(RandomStream* stream) override;
    [[nodiscard]] std::string description() const override;

protected:
    [[nodiscard]] std::size_t storageSize() const noexcept override { return sizeof(KdbxEntry); }

private:
    struct CustomAttribute {
        std::string_view name;
        std::string_view value;
    };

    void replaceText(std::string_view& field, std::string_view text, Secret secret);
    void processString(XmlNode& field, std::vector<CustomAttribute>& customAttributes);
    void setCustomAttributes(std::vector<CustomAttribute>& attributes);
    void releaseCustomAttributes() noexcept;

    std::string_view m_uuid;
    std::string_view m_title;
    std::string_view m_username;
    std::string_view m_password;
    std::string_view m_url;
    std::string_view m_comment;
    // In the node's storage, like the texts.
    CustomAttribute* m_customAttributes = nullptr;
    uint32_t m_customAttributeCount = 0;
    uint32_t m_image = 0;
};

} // namespace vaultora::kdb
