#include "KdbxGroup.h"

#include <algorithm>
#include <limits>

#include "KdbxEntry.h"

namespace vaultora::kdb {

KdbxGroup::KdbxGroup(ElementName name) : XmlNode(name) {}

KdbxGroup::~KdbxGroup() {
    std::vector<XmlNode*> owned;
    releaseOwned(owned);
    destroyAll(owned);
}

DatabaseGroup* KdbxGroup::getParent() const {
    return _parent() != nullptr ? _parent()->asGroup() : nullptr;
}

void KdbxGroup::setParent(DatabaseGroup* parent) {
    set_parent(dynamic_cast<KdbxGroup*>(parent));
}

std::vector<DatabaseEntry*> KdbxGroup::getEntries() const {
    return {m_entries.begin(), m_entries.end()};
}

std::vector<DatabaseGroup*> KdbxGroup::getSubGroups() const {
    return {m_subGroups.begin(), m_subGroups.end()};
}

void KdbxGroup::addSubGroup(std::unique_ptr<KdbxGroup> group) {
    if (!group) {
        return;
    }
    if (m_subGroups.capacity() == 0) {
        m_subGroups.reserve(8);
    }
    group->set_parent(this);
    m_subGroups.push_back(group.release());
}

void KdbxGroup::addEntry(std::unique_ptr<KdbxEntry> entry) {
    if (!entry) {
        return;
    }
    if (m_entries.capacity() == 0) {
        m_entries.reserve(16);
    }
    entry->set_parent(this);
    m_entries.push_back(entry.release());
}

std::unique_ptr<KdbxGroup> KdbxGroup::deleteSubGroup(KdbxGroup& group) {
    const auto found = std::find(m_subGroups.begin(), m_subGroups.end(), &group);
    if (found == m_subGroups.end()) {
        return nullptr;
    }
    m_subGroups.erase(found);
    group.set_parent(nullptr);
    return std::unique_ptr<KdbxGroup>(&group);
}

std::unique_ptr<KdbxEntry> KdbxGroup::deleteEntry(KdbxEntry& entry) {
    const auto found = std::find(m_entries.begin(), m_entries.end(), &entry);
    if (found == m_entries.end()) {
        return nullptr;
    }
    m_entries.erase(found);
    entry.set_parent(nullptr);
    return std::unique_ptr<KdbxEntry>(&entry);
}

void KdbxGroup::postProcess(RandomStream* stream) {
    XmlNode::postProcess(stream);
    sortOutChildren([this](std::unique_ptr<XmlNode>& child) {
        switch (child->_name().id()) {
        case KnownName::UUID:
            m_uuid = child->takeText();
            child.reset();
            break;
        case KnownName::Name:
            m_title = child->takeText();
            child.reset();
            break;
        case KnownName::IconID:
            m_image = iconNumber(child->_text());
            child.reset();
            break;
        case KnownName::Notes:
            m_comment = child->takeText();
            child.reset();
            break;
        case KnownName::Group:
            if (KdbxGroup* group = child->asGroup()) {
                child.release();
                addSubGroup(std::unique_ptr<KdbxGroup>(group));
            }
            break;
        case KnownName::Entry:
            if (KdbxEntry* entry = child->asEntry()) {
                child.release();
                addEntry(std::unique_ptr<KdbxEntry>(entry));
            }
            break;
        default:
            break;
        }
    });
}

void KdbxGroup::releaseOwned(std::vector<XmlNode*>& owned) {
    XmlNode::releaseOwned(owned);
    owned.insert(owned.end(), m_subGroups.begin(), m_subGroups.end());
    owned.insert(owned.end(), m_entries.begin(), m_entries.end());
    m_subGroups.clear();
    m_entries.clear();
}

void KdbxGroup::listOwned(std::vector<XmlNode*>& owned) const {
    XmlNode::listOwned(owned);
    owned.insert(owned.end(), m_subGroups.begin(), m_subGroups.end());
    owned.insert(owned.end(), m_entries.begin(), m_entries.end());
}

std::string KdbxGroup::description() const {
    return "[UUID:" + m_uuid + " title:" + m_title + " \ncomment:" + m_comment + "]";
}

uint32_t iconNumber(std::string_view text) noexcept {
    if (text.empty()) {
        return 0xFFFFFFFFu;
    }
    std::size_t position = 0;
    while (position < text.size() &&
           (text[position] == ' ' || (text[position] >= '\t' && text[position] <= '\r'))) {
        ++position;
    }
    bool negative = false;
    if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
        negative = text[position] == '-';
        ++position;
    }
    // The magnitude stops growing once it is beyond the 32-bit range, so long digit runs
    // cannot overflow.
    int64_t magnitude = 0;
    while (position < text.size() && text[position] >= '0' && text[position] <= '9') {
        magnitude = std::min<int64_t>(magnitude * 10 + (text[position] - '0'), int64_t{1} << 32);
        ++position;
    }
    const int64_t value =
        std::clamp<int64_t>(negative ? -magnitude : magnitude, std::numeric_limits<int32_t>::min(),
                            std::numeric_limits<int32_t>::max());
    return static_cast<uint32_t>(static_cast<int32_t>(value));
}

} // namespace vaultora::kdb
