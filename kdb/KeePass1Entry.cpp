#include "KeePass1Entry.h"

#include "SecureBytes.h"

namespace vaultora::kdb {

KeePass1Entry::~KeePass1Entry() {
    secureWipe(m_password.data(), m_password.size());
}

std::unique_ptr<KeePass1Entry> KeePass1Entry::initWithNewUUID() {
    auto entry = std::make_unique<KeePass1Entry>();
    entry->m_uuid = std::make_unique<UUID>();
    return entry;
}

void KeePass1Entry::setPassword(std::string_view text) {
    secureWipe(m_password.data(), m_password.size());
    m_password = text;
}

void KeePass1Entry::setExpiry(std::optional<KdbDate> date) {
    if (date) {
        KeePass1Date::dateFromNSDate(m_expiry, *date);
    } else {
        m_expiry = KeePass1Date::kNeverExpires;
    }
}

bool KeePass1Entry::isMeta() const noexcept {
    return m_binarySize != 0 && !m_comment.empty() && m_binaryDesc == "bin-stream" &&
           m_title == "Meta-Info" && m_username == "SYSTEM" && m_url == "$" && m_image == 0;
}

std::string KeePass1Entry::description() const {
    return "[UUID:" + (m_uuid ? m_uuid->description() : std::string("(null)")) +
           " title:" + m_title + " \nusername:" + m_username + " \npassword:" + m_password +
           " \nurl:" + m_url + " \ncomment:" + m_comment + " \nbinaryDesc:" + m_binaryDesc + "]";
}

} // namespace vaultora::kdb
