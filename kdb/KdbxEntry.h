#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "DatabaseModel.h"
#include "XmlNode.h"

namespace vaultora::kdb {

// An entry of a version-2 database, the node of an "Entry" element. When its element closes
// it takes its fields from its "String", "UUID", "IconID" and "Notes" children and drops
// them; every other child element (times, auto-type, history) stays a plain child node.
class KdbxEntry final : public XmlNode, public DatabaseEntry {
public:
    explicit KdbxEntry(ElementName name = ElementName::known(KnownName::Entry));
    ~KdbxEntry() override;

    [[nodiscard]] DatabaseGroup* getParent() const override;
    void setParent(DatabaseGroup* parent) override;
    [[nodiscard]] const std::string& getEntryName() const override { return m_title; }
    void setEntryName(const std::string& text) override { m_title = text; }
    [[nodiscard]] const std::string& getUserName() const override { return m_username; }
    void setUserName(const std::string& text) override { m_username = text; }
    [[nodiscard]] const std::string& getPassword() const override { return m_password; }
    void setPassword(const std::string& text) override;
    [[nodiscard]] const std::string& getURL() const override { return m_url; }
    void setURL(const std::string& text) override { m_url = text; }
    [[nodiscard]] const std::string& getComments() const override { return m_comment; }
    void setComments(const std::string& text) override { m_comment = text; }
    [[nodiscard]] uint32_t _image() const override { return m_image; }
    void set_image(uint32_t image) { m_image = image; }
    [[nodiscard]] const std::string& _uuid() const { return m_uuid; }
    void set_uuid(std::string uuid) { m_uuid = std::move(uuid); }

    // Custom fields are every string field but the five standard ones, listed in the order
    // of their values compared without regard to letter case.
    [[nodiscard]] uint32_t getNumberOfCustomAttributes() const override;
    // Out-of-range indexes give the empty text.
    [[nodiscard]] std::string getCustomAttributeName(uint32_t index) const override;
    [[nodiscard]] std::string getCustomAttributeValue(uint32_t index) const override;

    // Version-2 entries keep no times.
    void setCreation(KdbDate) override {}
    void setLastMod(KdbDate) override {}
    void setLastAccess(KdbDate) override {}
    void setExpiry(std::optional<KdbDate>) override {}

    [[nodiscard]] KdbxEntry* asEntry() noexcept override { return this; }
    void postProcess(RandomStream* stream) override;
    [[nodiscard]] std::string description() const override;

private:
    struct CustomAttribute {
        std::string name;
        std::string value;
    };

    void processString(XmlNode& field, std::vector<CustomAttribute>& customAttributes);
    void setCustomAttributes(std::vector<CustomAttribute> attributes);

    std::string m_uuid;
    std::string m_title;
    std::string m_username;
    std::string m_password;
    std::string m_url;
    std::string m_comment;
    uint32_t m_image = 0;
    std::vector<CustomAttribute> m_customAttributes;
};

} // namespace vaultora::kdb
