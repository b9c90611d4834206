#include "KdbxGroup.h"

#include <algorithm>
#include <limits>

#include "KdbxEntry.h"

namespace vaultora::kdb {

KdbxGroup::KdbxGroup(ElementName name, NodeArena* arena) : XmlNode(name, arena) {}

KdbxGroup::~KdbxGroup() {
    releaseText(m_uuid, Secret::No);
    releaseText(m_title, Secret::No);
    releaseText(m_comment, Secret::No);
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

void KdbxGroup::replaceText(std::string_view& field, std::string_view text) {
    const std::string_view stored = storeText(text);
    releaseText(field, Secret::No);
    field = stored;
}

void KdbxGroup::setGroupName(std::string_view name) {
    replaceText(m_title, name);
}

void KdbxGroup::set_uuid(std::string_view uuid) {
    replaceText(m_uuid, uuid);
}

void KdbxGroup::set_comment(std::string_view comment) {
    replaceText(m_comment, comment);
}

std::vector<DatabaseEntry*> KdbxGroup::getEntries() const {
    std::vector<DatabaseEntry*> entries;
    entries.reserve(m_entryCount);
    for (XmlNode* entry : ChildRange(m_lastEntry)) {
        entries.push_back(static_cast<KdbxEntry*>(entry));
    }
    return entries;
}

std::vector<DatabaseGroup*> KdbxGroup::getSubGroups() const {
    std::vector<DatabaseGroup*> groups;
    groups.reserve(m_subGroupCount);
    for (XmlNode* group : ChildRange(m_lastSubGroup)) {
        groups.push_back(static_cast<KdbxGroup*>(group));
    }
    return groups;
}

void KdbxGroup::addSubGroup(std::unique_ptr<KdbxGroup> group) {
    if (!group) {
        return;
    }
    requireSameStorage(*group);
    group->set_parent(this);
    appendToRing(m_lastSubGroup, group.release());
    ++m_subGroupCount;
}

void KdbxGroup::addEntry(std::unique_ptr<KdbxEntry> entry) {
    if (!entry) {
        return;
    }
    requireSameStorage(*entry);
    entry->set_parent(this);
    appendToRing(m_lastEntry, entry.release());
    ++m_entryCount;
}

std::unique_ptr<KdbxGroup> KdbxGroup::deleteSubGroup(KdbxGroup& group) {
    if (!removeFromRing(m_lastSubGroup, group)) {
        return nullptr;
    }
    --m_subGroupCount;
    group.set_parent(nullptr);
    return std::unique_ptr<KdbxGroup>(&group);
}

std::unique_ptr<KdbxEntry> KdbxGroup::deleteEntry(KdbxEntry& entry) {
    if (!removeFromRing(m_lastEntry, entry)) {
        return nullptr;
    }
    --m_entryCount;
    entry.set_parent(nullptr);
    return std::unique_ptr<KdbxEntry>(&entry);
}

void KdbxGroup::postProcess(RandomStream* stream) {
    XmlNode::postProcess(stream);
    sortOutChildren([this](std::unique_ptr<XmlNode>& child) {
        switch (child->_name().id()) {
        case KnownName::UUID:
            releaseText(m_uuid, Secret::No);
            m_uuid = child->takeText();
            child.reset();
            break;
        case KnownName::Name:
            releaseText(m_title, Secret::No);
            m_title = child->takeText();
            child.reset();
            break;
        case KnownName::IconID:
            m_image = iconNumber(child->_text());
            child.reset();
            break;
        case KnownName::Notes:
            releaseText(m_comment, Secret::No);
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
    packChildren();
}

void KdbxGroup::releaseOwned(std::vector<XmlNode*>& owned) {
    XmlNode::releaseOwned(owned);
    for (XmlNode* group : ChildRange(m_lastSubGroup)) {
        group->set_parent(nullptr);
        owned.push_back(group);
    }
    for (XmlNode* entry : ChildRange(m_lastEntry)) {
        entry->set_parent(nullptr);
        owned.push_back(entry);
    }
    m_lastSubGroup = nullptr;
    m_lastEntry = nullptr;
    m_subGroupCount = 0;
    m_entryCount = 0;
}

void KdbxGroup::listOwned(std::vector<XmlNode*>& owned) const {
    XmlNode::listOwned(owned);
    for (XmlNode* group : ChildRange(m_lastSubGroup)) {
        owned.push_back(group);
    }
    for (XmlNode* entry : ChildRange(m_lastEntry)) {
        owned.push_back(entry);
    }
}

std::string KdbxGroup::description() const {
    std::string text = "[UUID:";
    text.append(m_uuid).append(" title:").append(m_title).append(" \ncomment:");
    return text.append(m_comment).append("]");
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
