#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "InputDataSource.h"
#include "Kdb3Entry.h"
#include "Kdb3Group.h"
#include "Kdb3Tree.h"

namespace kdb {

// Turns the decrypted field records of a version-1 payload into groups, entries and the
// tree, in one forward pass.
class Kdb3Parser {
public:
    // Reads exactly numGroups group records, then numEntries entry records. A payload that
    // ends early or holds an unknown field type fails with ("ParseError", "ParseGroup" /
    // "ParseEntry"); a group structure the levels cannot describe with ("InvalidData",
    // "InvalidTree").
    [[nodiscard]] std::unique_ptr<Kdb3Tree> parse(InputDataSource& source, uint32_t numGroups,
                                                  uint32_t numEntries);

private:
    struct GroupRecord {
        std::unique_ptr<Kdb3Group> group;
        // The last level field of the record; none when the record had no level.
        std::optional<uint16_t> level;
    };

    void read(InputDataSource& source, std::vector<GroupRecord>& groups, uint32_t numOfGroups);
    // Entries go to the first group, in file order, whose id they name; an entry without a
    // group-id field, or naming no group, belongs to no group and is dropped.
    void read(InputDataSource& source, uint32_t numOfEntries,
              const std::vector<GroupRecord>& groups);
    [[nodiscard]] static std::unique_ptr<Kdb3Tree> buildTree(std::vector<GroupRecord>& groups);
};

} // namespace kdb
