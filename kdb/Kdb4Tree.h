#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "KdbModel.h"
#include "Tree.h"

namespace kdb {

class Kdb4Group;

// The tree of a version-2 database: the document element with its groups, entries and
// meta data, as the parser completed them.
class Kdb4Tree final : public Tree, public KdbTree {
public:
    // The first child of the document element named "Root", or none.
    [[nodiscard]] KdbGroup* getRoot() const override;
    // True when the group's UUID text is the meta value "RecycleBinUUID".
    [[nodiscard]] bool isRecycleBin(const KdbGroup& group) const override;
    // The text of the named child of "Meta", which must be the first child of the document
    // element; none otherwise.
    [[nodiscard]] std::optional<std::string_view> getMetaInfo(std::string_view name) const;
};

} // namespace kdb
