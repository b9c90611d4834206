#include <gtest/gtest.h>

#include "kdb/KeePass1Date.h"
#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Tree.h"
#include "kdb/MappedFileSource.h"
#include "kdb/MemoryAttachmentContainer.h"

namespace vaultora::kdb {
namespace {

std::unique_ptr<KeePass1Entry> metaEntry() {
    auto entry = std::make_unique<KeePass1Entry>();
    entry->setEntryName("Meta-Info");
    entry->setUserName("SYSTEM");
    entry->setURL("$");
    entry->setComments("KPX_GROUP_TREE_STATE");
    entry->set_binaryDesc("bin-stream");
    entry->set_binarySize(4);
    entry->set_image(0);
    return entry;
}

TEST(KeePass1Group, FilesMetaEntriesApartFromListedOnes) {
    KeePass1Group group;
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

TEST(KeePass1Group, RemovingChildrenClearsTheirParentAndIgnoresStrangers) {
    KeePass1Group group;
    auto owned = std::make_unique<KeePass1Entry>();
    KeePass1Entry* entry = owned.get();
    group.addEntry(std::move(owned));
    KeePass1Entry stranger;
    EXPECT_EQ(group.deleteEntry(&stranger), nullptr);
    EXPECT_EQ(group.getEntries().size(), 1u);
    const auto removed = group.deleteEntry(entry);
    ASSERT_EQ(removed.get(), entry);
    EXPECT_EQ(removed->getParent(), nullptr);
    EXPECT_TRUE(group.getEntries().empty());

    auto child = std::make_unique<KeePass1Group>();
    KeePass1Group* childPointer = child.get();
    group.addSubGroup(std::move(child));
    EXPECT_EQ(childPointer->getParent(), &group);
    EXPECT_EQ(group.deleteSubGroup(childPointer)->getParent(), nullptr);
}

TEST(KeePass1Group, DeepTreesAreTakenApartWithoutRecursion) {
    auto root = std::make_unique<KeePass1Group>();
    KeePass1Group* deepest = root.get();
    for (int level = 0; level < 200000; ++level) {
        auto child = std::make_unique<KeePass1Group>();
        KeePass1Group* next = child.get();
        deepest->addSubGroup(std::move(child));
        deepest = next;
    }
    deepest->addEntry(std::make_unique<KeePass1Entry>());
    KeePass1Tree tree(std::move(root));
    tree.getRoot()->setGroupName("top");
    EXPECT_EQ(tree.getRoot()->getSubGroups().size(), 1u);
}

TEST(KeePass1Tree, RecycleBinIsTheGroupNamedBackupExactly) {
    const auto tree = KeePass1Tree::newTree();
    KeePass1Group backup;
    backup.setGroupName("Backup");
    KeePass1Group lower;
    lower.setGroupName("backup");
    EXPECT_TRUE(tree->isRecycleBin(backup));
    EXPECT_FALSE(tree->isRecycleBin(lower));
}

TEST(KeePass1Tree, NewTreeHasARootAndAnInternetGroup) {
    const auto tree = KeePass1Tree::newTree();
    EXPECT_EQ(tree->getRoot()->getGroupName(), "%ROOT%");
    ASSERT_EQ(tree->getRoot()->getSubGroups().size(), 1u);
    const DatabaseGroup* internet = tree->getRoot()->getSubGroups()[0];
    EXPECT_EQ(internet->getGroupName(), "Internet");
    EXPECT_EQ(internet->getParent(), tree->getRoot());
}

TEST(KeePass1Date, NeverExpiresPacksToThePublishedBytesAndBack) {
    PackedDate packed{};
    KeePass1Date::dateToPacked(KeePass1Date::kNeverExpires, packed);
    EXPECT_EQ(packed, (PackedDate{0x2E, 0xDF, 0x39, 0x7E, 0xFB}));
    UnpackedDate unpacked{};
    KeePass1Date::dateFromPacked(unpacked, packed);
    EXPECT_EQ(unpacked, KeePass1Date::kNeverExpires);
}

TEST(KeePass1Date, YearsBeyondFourteenBitsLoseTheirTopBits) {
    PackedDate packed{};
    KeePass1Date::dateToPacked(UnpackedDate{40, 96, 1, 2, 3, 4, 5}, packed);
    UnpackedDate unpacked{};
    KeePass1Date::dateFromPacked(unpacked, packed);
    EXPECT_EQ(unpacked, (UnpackedDate{0, 0, 1, 2, 3, 4, 5}));
}

TEST(KeePass1Date, SetExpiryWithoutDateMeansNever) {
    KeePass1Entry entry;
    entry.setExpiry(std::nullopt);
    EXPECT_EQ(entry.getExpiry(), KeePass1Date::kNeverExpires);
    KeePass1Group group;
    group.setExpiry(std::nullopt);
    EXPECT_EQ(group.getExpiry(), KeePass1Date::kNeverExpires);

    // 2001-09-09 01:46:40 UTC; the local calendar decides the fields, so only its year
    // and ranges are certain.
    entry.setCreation(KdbDate(std::chrono::seconds(1000000000)));
    const UnpackedDate& created = entry.getCreation();
    EXPECT_EQ(created[0], 20);
    EXPECT_EQ(created[1], 1);
    EXPECT_EQ(created[2], 9);
    EXPECT_TRUE(created[3] == 8 || created[3] == 9);
}

TEST(KeePass1Entry, DiagnosticTexts) {
    auto entry = KeePass1Entry::initWithNewUUID();
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
    KeePass1Group group;
    group.set_id(7);
    group.setGroupName("G");
    EXPECT_EQ(group.description(), "[id:7 title:G]");
    EXPECT_EQ(entry->getNumberOfCustomAttributes(), 0u);
    EXPECT_EQ(entry->getCustomAttributeName(0), "");
}

} // namespace
} // namespace vaultora::kdb
