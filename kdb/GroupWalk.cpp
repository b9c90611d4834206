#include "GroupWalk.h"

#include <vector>

namespace vaultora::kdb {

void GroupWalk::walk(const DatabaseGroup& root, const Visit& enter, const Visit& leave) {
    struct Frame {
        const DatabaseGroup* group;
        std::vector<DatabaseGroup*> subGroups;
        std::size_t next = 0;
    };
    std::vector<Frame> frames;
    enter(root);
    frames.push_back({&root, root.getSubGroups()});
    while (!frames.empty()) {
        Frame& top = frames.back();
        if (top.next < top.subGroups.size()) {
            const DatabaseGroup* child = top.subGroups[top.next++];
            if (child == nullptr) {
                continue;
            }
            enter(*child);
            // The reference to top is not used after this push, which may move the frames.
            frames.push_back({child, child->getSubGroups()});
            continue;
        }
        if (leave) {
            leave(*top.group);
        }
        frames.pop_back();
    }
}

} // namespace vaultora::kdb
