#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "InputSource.h"
#include "KeePass1Entry.h"
#include "KeePass1Group.h"
#include "KeePass1Tree.h"

namespace vaultora::kdb {

// Turns the decrypted field records of a version-1 payload into groups, entries and the
// tree, in one forward pass.
class KeePass1Parser {
public:
    // Reads exactly numGroups group records, then numEntries entry records. A payload that
    // ends early or holds an unknown field type fails with ("ParseError", "ParseGroup" /
    // "ParseEntry"); a group structure the levels cannot describe with ("InvalidData",
    // "InvalidTree").
    [[nodiscard]] std::unique_ptr<KeePass1Tree> parse(InputSource& source, uint32_t numGroups,
                                                      uint32_t numEntries);

private:
    struct GroupRecord {
        std::unique_ptr<KeePass1Group> group;
        // The last level field of the record; none when the record had no level.
        std::optional<uint16_t> level;
    };

    void read(InputSource& source, std::vector<GroupRecord>& groups, uint32_t numOfGroups);
    // Entries go to the first group, in file order, whose id they name; an entry without a
    // group-id field, or naming no group, belongs to no group and is dropped.
    void read(InputSource& source, uint32_t numOfEntries, const std::vector<GroupRecord>& groups);
    [[nodiscard]] static std::unique_ptr<KeePass1Tree> buildTree(std::vector<GroupRecord>& groups);
};

} // namespace vaultora::kdb
