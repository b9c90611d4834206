#include "kdb/GroupWalk.h"

#include "tests/kdb/support/DeepGroupChain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vaultora::kdb {
namespace {

std::unique_ptr<KeePass1Group> group(const std::string& name) {
    auto created = std::make_unique<KeePass1Group>();
    created->setGroupName(name);
    return created;
}

TEST(GroupWalk, EntersEachGroupBeforeItsSubgroupsAndLeavesItAfterThem) {
    auto root = group("root");
    auto first = group("first");
    first->addSubGroup(group("inner"));
    root->addSubGroup(std::move(first));
    root->addSubGroup(group("second"));

    std::vector<std::string> visits;
    GroupWalk::walk(
        *root,
        [&](const DatabaseGroup& visited) {
            visits.push_back("+" + std::string(visited.getGroupName()));
        },
        [&](const DatabaseGroup& visited) {
            visits.push_back("-" + std::string(visited.getGroupName()));
        });

    EXPECT_EQ(visits, (std::vector<std::string>{"+root", "+first", "+inner", "-inner", "-first",
                                                "+second", "-second", "-root"}));
}

TEST(GroupWalk, WalksTwoHundredThousandLevelsOnASmallStack) {
    const auto root = testing::deepGroupChain(200000, "bottom");
    int entered = 0;
    int left = 0;
    std::string deepestEntry;
    testing::runOnSmallStack([&] {
        GroupWalk::walk(
            *root,
            [&](const DatabaseGroup& visited) {
                ++entered;
                for (const DatabaseEntry* entry : visited.getEntries()) {
                    deepestEntry = entry->getEntryName();
                }
            },
            [&](const DatabaseGroup&) { ++left; });
    });
    EXPECT_EQ(entered, 200001);
    EXPECT_EQ(left, 200001);
    EXPECT_EQ(deepestEntry, "bottom");
}

} // namespace
} // namespace vaultora::kdb
