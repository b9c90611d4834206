#include "Kdb3Entry.h"

#include "SecureBytes.h"

namespace kdb {

Kdb3Entry::~Kdb3Entry() {
    secureWipe(m_password.data(), m_password.size());
}

std::unique_ptr<Kdb3Entry> Kdb3Entry::initWithNewUUID() {
    auto entry = std::make_unique<Kdb3Entry>();
    entry->m_uuid = std::make_unique<UUID>();
    return entry;
}

void Kdb3Entry::setPassword(const std::string& text) {
    secureWipe(m_password.data(), m_password.size());
    m_password = text;
}

void Kdb3Entry::setExpiry(std::optional<KdbDate> date) {
    if (date) {
        Kdb3Date::dateFromNSDate(m_expiry, *date);
    } else {
        m_expiry = Kdb3Date::kNeverExpires;
    }
}

bool Kdb3Entry::isMeta() const noexcept {
    return m_binarySize != 0 && !m_comment.empty() && m_binaryDesc == "bin-stream" &&
           m_title == "Meta-Info" && m_username == "SYSTEM" && m_url == "$" && m_image == 0;
}

std::string Kdb3Entry::description() const {
    return "[UUID:" + (m_uuid ? m_uuid->description() : std::string("(null)")) +
           " title:" + m_title + " \nusername:" + m_username + " \npassword:" + m_password +
           " \nurl:" + m_url + " \ncomment:" + m_comment + " \nbinaryDesc:" + m_binaryDesc + "]";
}

} // namespace kdb
