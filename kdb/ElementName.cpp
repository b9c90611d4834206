#include "ElementName.h"

#include <array>

namespace vaultora::kdb {

namespace {

constexpr std::size_t kKnownNameCount = 12;

const std::array<ElementName::Record, kKnownNameCount>& knownRecords() {
    static const std::array<ElementName::Record, kKnownNameCount> records{{
        {"", KnownName::Other, 0},
        {"Root", KnownName::Root, 1},
        {"Group", KnownName::Group, 2},
        {"Entry", KnownName::Entry, 3},
        {"Meta", KnownName::Meta, 4},
        {"UUID", KnownName::UUID, 5},
        {"Name", KnownName::Name, 6},
        {"IconID", KnownName::IconID, 7},
        {"Notes", KnownName::Notes, 8},
        {"String", KnownName::String, 9},
        {"Key", KnownName::Key, 10},
        {"Value", KnownName::Value, 11},
    }};
    return records;
}

} // namespace

ElementName ElementName::known(KnownName id) noexcept {
    return ElementName(&knownRecords()[static_cast<std::size_t>(id)]);
}

ElementName NameTable::intern(std::string_view text) {
    for (const ElementName::Record& record : knownRecords()) {
        if (record.id != KnownName::Other && record.text == text) {
            return ElementName(&record);
        }
    }
    if (auto found = m_index.find(text); found != m_index.end()) {
        return ElementName(found->second);
    }
    const auto index = static_cast<uint32_t>(kKnownNameCount + m_records.size());
    m_records.push_back({std::string(text), KnownName::Other, index});
    const ElementName::Record& record = m_records.back();
    m_index.emplace(record.text, &record);
    return ElementName(&record);
}

bool NameTable::at(uint32_t index, ElementName& name) const noexcept {
    if (index < kKnownNameCount) {
        name = ElementName(&knownRecords()[index]);
        return true;
    }
    if (index - kKnownNameCount >= m_records.size()) {
        return false;
    }
    name = ElementName(&m_records[index - kKnownNameCount]);
    return true;
}

bool NameTable::holds(ElementName name) const noexcept {
    ElementName found = ElementName::known(KnownName::Other);
    return at(name.record().index, found) && &found.record() == &name.record();
}

} // namespace vaultora::kdb
