#include <gtest/gtest.h>

#include "kdb/Kdb3Date.h"
#include "kdb/Kdb3Entry.h"
#include "kdb/Kdb3Group.h"
#include "kdb/Kdb3Tree.h"
#include "kdb/MemoryBinaryContainer.h"
#include "kdb/WrapperNSData.h"

namespace kdb {
namespace {

std::unique_ptr<Kdb3Entry> metaEntry() {
    auto entry = std::make_unique<Kdb3Entry>();
    entry->setEntryName("Meta-Info");
    entry->setUserName("SYSTEM");
    entry->setURL("$");
    entry->setComments("KPX_GROUP_TREE_STATE");
    entry->set_binaryDesc("bin-stream");
    entry->set_binarySize(4);
    entry->set_image(0);
    return entry;
}

TEST(Kdb3Group, FilesMetaEntriesApartFromListedOnes) {
    Kdb3Group group;
    EXPECT_TRUE(group.getEntries().empty());
    EXPECT_TRUE(group.getSubGroups().empty());

    group.addEntry(metaEntry());
    EXPECT_TRUE(group.getEntries().empty());
    ASSERT_EQ(group._metaEntries().size(), 1u);
    EXPECT_EQ(group._metaEntries()[0]->getParent(), &group);

    auto withIcon = metaEntry();
    withIcon->set_image(1);
    group.addEntry(std::move(withIcon));
    auto otherCase = metaEntry();
    otherCase->setEntryName("meta-info");
    group.addEntry(std::move(otherCase));
    auto noNotes = metaEntry();
    noNotes->setComments("");
    group.addEntry(std::move(noNotes));
    EXPECT_EQ(group.getEntries().size(), 3u);
    EXPECT_EQ(group._metaEntries().size(), 1u);
}

TEST(Kdb3Group, RemovingChildrenClearsTheirParentAndIgnoresStrangers) {
    Kdb3Group group;
    auto owned = std::make_unique<Kdb3Entry>();
    Kdb3Entry* entry = owned.get();
    group.addEntry(std::move(owned));
    Kdb3Entry stranger;
    EXPECT_EQ(group.deleteEntry(&stranger), nullptr);
    EXPECT_EQ(group.getEntries().size(), 1u);
    const auto removed = group.deleteEntry(entry);
    ASSERT_EQ(removed.get(), entry);
    EXPECT_EQ(removed->getParent(), nullptr);
    EXPECT_TRUE(group.getEntries().empty());

    auto child = std::make_unique<Kdb3Group>();
    Kdb3Group* childPointer = child.get();
    group.addSubGroup(std::move(child));
    EXPECT_EQ(childPointer->getParent(), &group);
    EXPECT_EQ(group.deleteSubGroup(childPointer)->getParent(), nullptr);
}

TEST(Kdb3Group, DeepTreesAreTakenApartWithoutRecursion) {
    auto root = std::make_unique<Kdb3Group>();
    Kdb3Group* deepest = root.get();
    for (int level = 0; level < 200000; ++level) {
        auto child = std::make_unique<Kdb3Group>();
        Kdb3Group* next = child.get();
        deepest->addSubGroup(std::move(child));
        deepest = next;
    }
    deepest->addEntry(std::make_unique<Kdb3Entry>());
    Kdb3Tree tree(std::move(root));
    tree.getRoot()->setGroupName("top");
    EXPECT_EQ(tree.getRoot()->getSubGroups().size(), 1u);
}

TEST(Kdb3Tree, RecycleBinIsTheGroupNamedBackupExactly) {
    const auto tree = Kdb3Tree::newTree();
    Kdb3Group backup;
    backup.setGroupName("Backup");
    Kdb3Group lower;
    lower.setGroupName("backup");
    EXPECT_TRUE(tree->isRecycleBin(backup));
    EXPECT_FALSE(tree->isRecycleBin(lower));
}

TEST(Kdb3Tree, NewTreeHasARootAndAnInternetGroup) {
    const auto tree = Kdb3Tree::newTree();
    EXPECT_EQ(tree->getRoot()->getGroupName(), "%ROOT%");
    ASSERT_EQ(tree->getRoot()->getSubGroups().size(), 1u);
    const KdbGroup* internet = tree->getRoot()->getSubGroups()[0];
    EXPECT_EQ(internet->getGroupName(), "Internet");
    EXPECT_EQ(internet->getParent(), tree->getRoot());
}

TEST(Kdb3Date, NeverExpiresPacksToThePublishedBytesAndBack) {
    PackedDate packed{};
    Kdb3Date::dateToPacked(Kdb3Date::kNeverExpires, packed);
    EXPECT_EQ(packed, (PackedDate{0x2E, 0xDF, 0x39, 0x7E, 0xFB}));
    UnpackedDate unpacked{};
    Kdb3Date::dateFromPacked(unpacked, packed);
    EXPECT_EQ(unpacked, Kdb3Date::kNeverExpires);
}

TEST(Kdb3Date, YearsBeyondFourteenBitsLoseTheirTopBits) {
    PackedDate packed{};
    Kdb3Date::dateToPacked(UnpackedDate{40, 96, 1, 2, 3, 4, 5}, packed);
    UnpackedDate unpacked{};
    Kdb3Date::dateFromPacked(unpacked, packed);
    EXPECT_EQ(unpacked, (UnpackedDate{0, 0, 1, 2, 3, 4, 5}));
}

TEST(Kdb3Date, SetExpiryWithoutDateMeansNever) {
    Kdb3Entry entry;
    entry.setExpiry(std::nullopt);
    EXPECT_EQ(entry.getExpiry(), Kdb3Date::kNeverExpires);
    Kdb3Group group;
    group.setExpiry(std::nullopt);
    EXPECT_EQ(group.getExpiry(), Kdb3Date::kNeverExpires);

    // 2001-09-09 01:46:40 UTC; the local calendar decides the fields, so only its year
    // and ranges are certain.
    entry.setCreation(KdbDate(std::chrono::seconds(1000000000)));
    const UnpackedDate& created = entry.getCreation();
    EXPECT_EQ(created[0], 20);
    EXPECT_EQ(created[1], 1);
    EXPECT_EQ(created[2], 9);
    EXPECT_TRUE(created[3] == 8 || created[3] == 9);
}

TEST(Kdb3Entry, DiagnosticTexts) {
    auto entry = Kdb3Entry::initWithNewUUID();
    ASSERT_NE(entry->_uuid(), nullptr);
    EXPECT_EQ(entry->_uuid()->_size(), 16u);
    entry->setEntryName("t");
    entry->setUserName("u");
    entry->setPassword("p");
    entry->setURL("w");
    entry->setComments("c");
    entry->set_binaryDesc("b");
    EXPECT_EQ(entry->description(), "[UUID:" + entry->_uuid()->description() +
                                        " title:t \nusername:u \npassword:p \nurl:w \ncomment:c "
                                        "\nbinaryDesc:b]");
    Kdb3Group group;
    group.set_id(7);
    group.setGroupName("G");
    EXPECT_EQ(group.description(), "[id:7 title:G]");
    EXPECT_EQ(entry->getNumberOfCustomAttributes(), 0u);
    EXPECT_EQ(entry->getCustomAttributeName(0), "");
}

} // namespace
} // namespace kdb
