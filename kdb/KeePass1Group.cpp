#include "KeePass1Group.h"

#include <algorithm>

namespace vaultora::kdb {

namespace {

template <typename Item>
std::unique_ptr<Item> takeOut(std::vector<std::unique_ptr<Item>>& list, const Item* item) {
    const auto found = std::find_if(list.begin(), list.end(), [item](const auto& candidate) {
        return candidate.get() == item;
    });
    if (found == list.end()) {
        return nullptr;
    }
    std::unique_ptr<Item> taken = std::move(*found);
    list.erase(found);
    taken->setParent(nullptr);
    return taken;
}

} // namespace

KeePass1Group::~KeePass1Group() {
    std::vector<std::unique_ptr<KeePass1Group>> pending = std::move(m_subGroups);
    while (!pending.empty()) {
        std::unique_ptr<KeePass1Group> group = std::move(pending.back());
        pending.pop_back();
        for (auto& child : group->m_subGroups) {
            pending.push_back(std::move(child));
        }
        group->m_subGroups.clear();
    }
}

std::vector<DatabaseEntry*> KeePass1Group::getEntries() const {
    std::vector<DatabaseEntry*> result;
    result.reserve(m_entries.size());
    for (const auto& entry : m_entries) {
        result.push_back(entry.get());
    }
    return result;
}

std::vector<DatabaseGroup*> KeePass1Group::getSubGroups() const {
    std::vector<DatabaseGroup*> result;
    result.reserve(m_subGroups.size());
    for (const auto& group : m_subGroups) {
        result.push_back(group.get());
    }
    return result;
}

std::vector<KeePass1Entry*> KeePass1Group::_metaEntries() const {
    std::vector<KeePass1Entry*> result;
    result.reserve(m_metaEntries.size());
    for (const auto& entry : m_metaEntries) {
        result.push_back(entry.get());
    }
    return result;
}

void KeePass1Group::setExpiry(std::optional<KdbDate> date) {
    if (date) {
        KeePass1Date::dateFromNSDate(m_expiry, *date);
    } else {
        m_expiry = KeePass1Date::kNeverExpires;
    }
}

void KeePass1Group::addEntry(std::unique_ptr<KeePass1Entry> entry) {
    entry->setParent(this);
    auto& list = entry->isMeta() ? m_metaEntries : m_entries;
    if (list.empty()) {
        list.reserve(entry->isMeta() ? 4 : 16);
    }
    list.push_back(std::move(entry));
}

std::unique_ptr<KeePass1Entry> KeePass1Group::deleteEntry(KeePass1Entry* entry) {
    if (entry == nullptr) {
        return nullptr;
    }
    return takeOut(entry->isMeta() ? m_metaEntries : m_entries, entry);
}

void KeePass1Group::addSubGroup(std::unique_ptr<KeePass1Group> group) {
    group->setParent(this);
    if (m_subGroups.empty()) {
        m_subGroups.reserve(8);
    }
    m_subGroups.push_back(std::move(group));
}

std::unique_ptr<KeePass1Group> KeePass1Group::deleteSubGroup(KeePass1Group* group) {
    return takeOut(m_subGroups, group);
}

void KeePass1Group::breakCyclcReference() noexcept {
    std::vector<KeePass1Group*> pending{this};
    while (!pending.empty()) {
        KeePass1Group* group = pending.back();
        pending.pop_back();
        group->m_parent = nullptr;
        for (const auto& child : group->m_subGroups) {
            pending.push_back(child.get());
        }
        for (const auto& entry : group->m_entries) {
            entry->breakCyclcReference();
        }
        for (const auto& entry : group->m_metaEntries) {
            entry->breakCyclcReference();
        }
    }
}

std::string KeePass1Group::description() const {
    return "[id:" + std::to_string(static_cast<int32_t>(m_id)) + " title:" + m_title + "]";
}

} // namespace vaultora::kdb
