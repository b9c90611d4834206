// One walk over a group and every group below it, for everything that visits a whole tree.
#pragma once

#include "DatabaseModel.h"

#include <functional>

namespace vaultora::kdb {

class GroupWalk final {
public:
    using Visit = std::function<void(const DatabaseGroup& group)>;

    GroupWalk() = delete;

    // Visits the groups depth first in model order: a group is entered before its subgroups
    // and left after the last of them. The walk keeps its own stack, because a crafted file
    // can nest groups far deeper than the call stack allows.
    static void walk(const DatabaseGroup& root, const Visit& enter, const Visit& leave = {});
};

} // namespace vaultora::kdb
