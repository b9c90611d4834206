#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vaultora::kdb {

// Element names the model acts on. Every other name is Other.
enum class KnownName : uint8_t {
    Other,
    Root,
    Group,
    Entry,
    Meta,
    UUID,
    Name,
    IconID,
    Notes,
    String,
    Key,
    Value,
};

// The name of an element. A document uses few distinct names many times, so each distinct
// name is stored once and nodes hold a pointer to it. Known names live in static storage and
// are shared by every document; other names live in the NameTable of their document.
class ElementName {
public:
    [[nodiscard]] const std::string& text() const noexcept { return m_record->text; }
    [[nodiscard]] KnownName id() const noexcept { return m_record->id; }
    [[nodiscard]] static ElementName known(KnownName id) noexcept;

    // Where a distinct name is stored; only NameTable and the table of known names make them.
    struct Record {
        std::string text;
        KnownName id;
        // The name's number in its table (see NameTable::at); known names are numbered by id.
        uint32_t index;
    };

    [[nodiscard]] const Record& record() const noexcept { return *m_record; }

private:
    friend class NameTable;
    explicit ElementName(const Record* record) noexcept : m_record(record) {}

    const Record* m_record;
};

// Interns element names for the nodes of one document, and numbers them so that a name can be
// written down in a few bytes and found again. The table must outlive those nodes; the arena
// of a tree holds its table for as long as its nodes live.
class NameTable {
public:
    NameTable() = default;
    NameTable(const NameTable&) = delete;
    NameTable& operator=(const NameTable&) = delete;

    [[nodiscard]] ElementName intern(std::string_view text);
    // The name numbered index, known names included; false when there is none.
    [[nodiscard]] bool at(uint32_t index, ElementName& name) const noexcept;
    // Whether the name is one of the known names or one of this table's.
    [[nodiscard]] bool holds(ElementName name) const noexcept;

private:
    std::deque<ElementName::Record> m_records;
    std::unordered_map<std::string_view, const ElementName::Record*> m_index;
};

} // namespace vaultora::kdb
