#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "AttachmentContainer.h"
#include "DatabaseModel.h"
#include "KeePass1Date.h"
#include "UUID.h"

namespace vaultora::kdb {

// An entry of a version-1 database.
class KeePass1Entry final : public DatabaseEntry {
public:
    // Without an identifier; the parser sets the one from the file.
    KeePass1Entry() = default;
    ~KeePass1Entry() override;
    KeePass1Entry(const KeePass1Entry&) = delete;
    KeePass1Entry& operator=(const KeePass1Entry&) = delete;

    // An entry with a fresh random identifier.
    [[nodiscard]] static std::unique_ptr<KeePass1Entry> initWithNewUUID();

    [[nodiscard]] DatabaseGroup* getParent() const override { return m_parent; }
    void setParent(DatabaseGroup* parent) override { m_parent = parent; }
    [[nodiscard]] std::string_view getEntryName() const override { return m_title; }
    void setEntryName(std::string_view text) override { m_title = text; }
    [[nodiscard]] std::string_view getUserName() const override { return m_username; }
    void setUserName(std::string_view text) override { m_username = text; }
    [[nodiscard]] std::string_view getPassword() const override { return m_password; }
    void setPassword(std::string_view text) override;
    [[nodiscard]] std::string_view getURL() const override { return m_url; }
    void setURL(std::string_view text) override { m_url = text; }
    [[nodiscard]] std::string_view getComments() const override { return m_comment; }
    void setComments(std::string_view text) override { m_comment = text; }
    [[nodiscard]] uint32_t _image() const override { return m_image; }
    void set_image(uint32_t image) noexcept { m_image = image; }

    // Version-1 entries have no custom attributes.
    [[nodiscard]] uint32_t getNumberOfCustomAttributes() const override { return 0; }
    [[nodiscard]] std::string_view getCustomAttributeName(uint32_t) const override { return {}; }
    [[nodiscard]] std::string_view getCustomAttributeValue(uint32_t) const override { return {}; }

    void setCreation(KdbDate date) override { KeePass1Date::dateFromNSDate(m_creation, date); }
    void setLastMod(KdbDate date) override { KeePass1Date::dateFromNSDate(m_lastMod, date); }
    void setLastAccess(KdbDate date) override { KeePass1Date::dateFromNSDate(m_lastAccess, date); }
    // No date stores "never expires".
    void setExpiry(std::optional<KdbDate> date) override;

    [[nodiscard]] const UUID* _uuid() const noexcept { return m_uuid.get(); }
    void set_uuid(std::unique_ptr<UUID> identifier) { m_uuid = std::move(identifier); }
    [[nodiscard]] const std::string& _binaryDesc() const noexcept { return m_binaryDesc; }
    void set_binaryDesc(const std::string& text) { m_binaryDesc = text; }
    [[nodiscard]] uint32_t _binarySize() const noexcept { return m_binarySize; }
    void set_binarySize(uint32_t size) noexcept { m_binarySize = size; }
    [[nodiscard]] const AttachmentContainer* _binary() const noexcept { return m_binary.get(); }
    void set_binary(std::unique_ptr<AttachmentContainer> binary) { m_binary = std::move(binary); }

    [[nodiscard]] UnpackedDate& getCreation() noexcept { return m_creation; }
    [[nodiscard]] UnpackedDate& getLastMod() noexcept { return m_lastMod; }
    [[nodiscard]] UnpackedDate& getLastAccess() noexcept { return m_lastAccess; }
    [[nodiscard]] UnpackedDate& getExpiry() noexcept { return m_expiry; }

    // The entries in which the format keeps its own settings; they are never listed.
    [[nodiscard]] bool isMeta() const noexcept;
    void breakCyclcReference() noexcept { m_parent = nullptr; }
    // A diagnostic text; it includes the password.
    [[nodiscard]] std::string description() const;

private:
    std::unique_ptr<UUID> m_uuid;
    uint32_t m_image = 0;
    std::string m_title;
    std::string m_url;
    std::string m_username;
    std::string m_password;
    std::string m_comment;
    DatabaseGroup* m_parent = nullptr;
    UnpackedDate m_creation{};
    UnpackedDate m_lastMod{};
    UnpackedDate m_lastAccess{};
    UnpackedDate m_expiry{};
    std::string m_binaryDesc;
    uint32_t m_binarySize = 0;
    std::unique_ptr<AttachmentContainer> m_binary;
};

} // namespace vaultora::kdb
