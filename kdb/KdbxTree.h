#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "DatabaseModel.h"
#include "XmlTree.h"

namespace vaultora::kdb {

class KdbxGroup;

// The tree of a version-2 database: the document element with its groups, entries and
// meta data, as the parser completed them.
class KdbxTree final : public XmlTree, public DatabaseTree {
public:
    // The first child of the document element named "Root", or none.
    [[nodiscard]] DatabaseGroup* getRoot() const override;
    // True when the group's UUID text is the meta value "RecycleBinUUID".
    [[nodiscard]] bool isRecycleBin(const DatabaseGroup& group) const override;
    // The text of the named child of "Meta", which must be the first child of the document
    // element; none otherwise.
    [[nodiscard]] std::optional<std::string_view> getMetaInfo(std::string_view name) const;
};

} // namespace vaultora::kdb
