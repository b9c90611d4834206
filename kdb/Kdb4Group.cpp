#include "Kdb4Group.h"

#include <algorithm>
#include <limits>

#include "Kdb4Entry.h"

namespace kdb {

Kdb4Group::Kdb4Group(ElementName name) : Node(name) {}

Kdb4Group::~Kdb4Group() {
    std::vector<Node*> owned;
    releaseOwned(owned);
    destroyAll(owned);
}

KdbGroup* Kdb4Group::getParent() const {
    return _parent() != nullptr ? _parent()->asGroup() : nullptr;
}

void Kdb4Group::setParent(KdbGroup* parent) {
    set_parent(dynamic_cast<Kdb4Group*>(parent));
}

std::vector<KdbEntry*> Kdb4Group::getEntries() const {
    return {m_entries.begin(), m_entries.end()};
}

std::vector<KdbGroup*> Kdb4Group::getSubGroups() const {
    return {m_subGroups.begin(), m_subGroups.end()};
}

void Kdb4Group::addSubGroup(std::unique_ptr<Kdb4Group> group) {
    if (!group) {
        return;
    }
    if (m_subGroups.capacity() == 0) {
        m_subGroups.reserve(8);
    }
    group->set_parent(this);
    m_subGroups.push_back(group.release());
}

void Kdb4Group::addEntry(std::unique_ptr<Kdb4Entry> entry) {
    if (!entry) {
        return;
    }
    if (m_entries.capacity() == 0) {
        m_entries.reserve(16);
    }
    entry->set_parent(this);
    m_entries.push_back(entry.release());
}

std::unique_ptr<Kdb4Group> Kdb4Group::deleteSubGroup(Kdb4Group& group) {
    const auto found = std::find(m_subGroups.begin(), m_subGroups.end(), &group);
    if (found == m_subGroups.end()) {
        return nullptr;
    }
    m_subGroups.erase(found);
    group.set_parent(nullptr);
    return std::unique_ptr<Kdb4Group>(&group);
}

std::unique_ptr<Kdb4Entry> Kdb4Group::deleteEntry(Kdb4Entry& entry) {
    const auto found = std::find(m_entries.begin(), m_entries.end(), &entry);
    if (found == m_entries.end()) {
        return nullptr;
    }
    m_entries.erase(found);
    entry.set_parent(nullptr);
    return std::unique_ptr<Kdb4Entry>(&entry);
}

void Kdb4Group::postProcess(RandomStream* stream) {
    Node::postProcess(stream);
    sortOutChildren([this](std::unique_ptr<Node>& child) {
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
            if (Kdb4Group* group = child->asGroup()) {
                child.release();
                addSubGroup(std::unique_ptr<Kdb4Group>(group));
            }
            break;
        case KnownName::Entry:
            if (Kdb4Entry* entry = child->asEntry()) {
                child.release();
                addEntry(std::unique_ptr<Kdb4Entry>(entry));
            }
            break;
        default:
            break;
        }
    });
}

void Kdb4Group::releaseOwned(std::vector<Node*>& owned) {
    Node::releaseOwned(owned);
    owned.insert(owned.end(), m_subGroups.begin(), m_subGroups.end());
    owned.insert(owned.end(), m_entries.begin(), m_entries.end());
    m_subGroups.clear();
    m_entries.clear();
}

void Kdb4Group::listOwned(std::vector<Node*>& owned) const {
    Node::listOwned(owned);
    owned.insert(owned.end(), m_subGroups.begin(), m_subGroups.end());
    owned.insert(owned.end(), m_entries.begin(), m_entries.end());
}

std::string Kdb4Group::description() const {
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

} // namespace kdb
