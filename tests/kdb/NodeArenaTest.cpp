#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "kdb/KdbxEntry.h"
#include "kdb/KdbxGroup.h"
#include "kdb/KdbxTree.h"
#include "kdb/NodeArena.h"

namespace vaultora::kdb {
namespace {

TEST(NodeArena, HandsOutAlignedDisjointStorageAcrossBlocks) {
    NodeArena arena;
    std::set<std::uintptr_t> starts;
    std::uintptr_t previousEnd = 0;
    // Enough small pieces to fill several blocks, and pieces too large for any block.
    for (std::size_t index = 0; index < 20000; ++index) {
        const std::size_t size = index % 1000 == 0 ? 5u * 1024 * 1024 : 1 + index % 61;
        auto* piece = static_cast<char*>(arena.allocate(size, index % 2 == 0 ? 8 : 1));
        const auto start = reinterpret_cast<std::uintptr_t>(piece);
        if (index % 2 == 0) {
            ASSERT_EQ(start % 8, 0u) << index;
        }
        ASSERT_TRUE(starts.insert(start).second) << index;
        // Every byte is writable, and writing one piece leaves the last one alone.
        std::memset(piece, 0x5a, size);
        previousEnd = start + size;
    }
    static_cast<void>(previousEnd);
    EXPECT_GT(arena.bytesInUse(), 20u * 5 * 1024 * 1024);
}

TEST(NodeArena, ReusesTheStorageOfADeletedNodeForTheNextOfItsSize) {
    NodeArena arena;
    NameTable names;
    std::unique_ptr<XmlNode> first = arena.create<XmlNode>(names.intern("a"));
    XmlNode* const firstAddress = first.get();
    first->set_text("some text");
    first.reset();
    // Of another size: does not take the node's place.
    std::unique_ptr<KdbxEntry> entry = arena.create<KdbxEntry>();
    EXPECT_NE(static_cast<XmlNode*>(entry.get()), firstAddress);
    std::unique_ptr<XmlNode> second = arena.create<XmlNode>(names.intern("b"));
    EXPECT_EQ(second.get(), firstAddress);
    EXPECT_TRUE(second->_text().empty());
}

TEST(NodeArena, ATreeTakesNodesOfItsOwnArenaOnly) {
    KdbxTree tree;
    NodeArena other;
    EXPECT_THROW(tree.set_root(std::make_unique<KdbxGroup>()), std::invalid_argument);
    EXPECT_THROW(tree.set_root(other.create<KdbxGroup>()), std::invalid_argument);
    tree.set_root(tree.arena().create<XmlNode>(tree.names().intern("KeePassFile")));
    std::unique_ptr<KdbxGroup> group = tree.arena().create<KdbxGroup>();
    EXPECT_THROW(group->addEntry(std::make_unique<KdbxEntry>()), std::invalid_argument);
    EXPECT_THROW(group->addSubGroup(other.create<KdbxGroup>()), std::invalid_argument);
    EXPECT_THROW(tree._root()->addChild(std::make_unique<XmlNode>(tree.names().intern("x"))),
                 std::invalid_argument);
    group->addEntry(tree.arena().create<KdbxEntry>());
    group->getEntries()[0]->setPassword("secret");
    tree._root()->addChild(std::move(group));
    EXPECT_EQ(tree._root()->childCount(), 1u);
}

TEST(NodeArena, NodesOfAnArenaTakeTheirFieldsAndChangeThem) {
    NodeArena arena;
    std::unique_ptr<KdbxEntry> entry = arena.create<KdbxEntry>();
    entry->setEntryName("first");
    entry->setPassword(std::string(300, 'p'));
    entry->setPassword("short");
    entry->setEntryName("second");
    EXPECT_EQ(entry->getEntryName(), "second");
    EXPECT_EQ(entry->getPassword(), "short");
    std::unique_ptr<KdbxGroup> group = arena.create<KdbxGroup>();
    group->setGroupName("g");
    group->addEntry(std::move(entry));
    ASSERT_EQ(group->getEntries().size(), 1u);
    EXPECT_EQ(group->getEntries()[0]->getPassword(), "short");
    KdbxEntry& kept = *static_cast<KdbxEntry*>(group->getEntries()[0]);
    std::unique_ptr<KdbxEntry> removed = group->deleteEntry(kept);
    EXPECT_EQ(removed.get(), &kept);
    EXPECT_TRUE(group->getEntries().empty());
}

} // namespace
} // namespace vaultora::kdb
