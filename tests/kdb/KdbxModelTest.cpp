#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "kdb/KdbxEntry.h"
#include "kdb/KdbxGroup.h"
#include "kdb/KdbxTree.h"
#include "tests/kdb/support/ParseXml.h"
#include "tests/kdb/support/XmlFakeRandomStream.h"

namespace vaultora::kdb {
namespace {

using testing::XmlFakeRandomStream;
using testing::parseXml;

std::string field(const std::string& key, const std::string& value) {
    return "<String><Key>" + key + "</Key><Value>" + value + "</Value></String>";
}

std::string entry(const std::string& body) {
    return "<KeePassFile><Root><Group><Name>G</Name><Entry>" + body +
           "</Entry></Group></Root></KeePassFile>";
}

// The first entry of the first group below the root.
DatabaseEntry& firstEntry(const KdbxTree& tree) {
    DatabaseGroup* root = tree.getRoot();
    if (root == nullptr || root->getSubGroups().empty() ||
        root->getSubGroups()[0]->getEntries().empty()) {
        throw std::runtime_error("no entry");
    }
    return *root->getSubGroups()[0]->getEntries()[0];
}

std::vector<std::string> names(const std::vector<DatabaseGroup*>& groups) {
    std::vector<std::string> result;
    for (const DatabaseGroup* group : groups) {
        result.emplace_back(group->getGroupName());
    }
    return result;
}

std::vector<std::string> titles(const std::vector<DatabaseEntry*>& entries) {
    std::vector<std::string> result;
    for (const DatabaseEntry* item : entries) {
        result.emplace_back(item->getEntryName());
    }
    return result;
}

std::vector<std::string> childNames(const XmlNode& node) {
    std::vector<std::string> result;
    for (XmlNode* child : node._children()) {
        result.push_back(child->_name().text());
    }
    return result;
}

TEST(KdbxModel, BuildsGroupsAndEntriesInDocumentOrderWithParents) {
    const auto tree = parseXml("<KeePassFile><Meta/><Root>"
                            "<Group><UUID>dTE=</UUID><Name>First</Name><Notes>n</Notes>"
                            "<Entry>" +
                            field("Title", "e1") +
                            "</Entry>"
                            "<Group><Name>Inner</Name></Group>"
                            "<Entry>" +
                            field("Title", "e2") +
                            "</Entry>"
                            "<entry><Name>not an entry</Name></entry>"
                            "<Times><Expires>False</Expires></Times>"
                            "</Group><Group><Name>Second</Name></Group>"
                            "<DeletedObjects/></Root></KeePassFile>");
    DatabaseGroup* root = tree->getRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getGroupName(), "");
    EXPECT_EQ(names(root->getSubGroups()), (std::vector<std::string>{"First", "Second"}));
    auto* first = dynamic_cast<KdbxGroup*>(root->getSubGroups()[0]);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->_uuid(), "dTE=");
    EXPECT_EQ(first->_comment(), "n");
    EXPECT_EQ(first->getParent(), root);
    EXPECT_EQ(titles(first->getEntries()), (std::vector<std::string>{"e1", "e2"}));
    EXPECT_EQ(first->getEntries()[1]->getParent(), first);
    EXPECT_EQ(names(first->getSubGroups()), (std::vector<std::string>{"Inner"}));
    EXPECT_EQ(first->getSubGroups()[0]->getParent(), first);
    // Fields, sub-groups and entries leave the children; everything else stays.
    EXPECT_EQ(childNames(*first), (std::vector<std::string>{"entry", "Times"}));
    EXPECT_EQ(childNames(*dynamic_cast<KdbxGroup*>(root)),
              (std::vector<std::string>{"DeletedObjects"}));
    EXPECT_EQ(first->description(), "[UUID:dTE= title:First \ncomment:n]");
}

TEST(KdbxModel, ReadsIconNumbers) {
    const auto tree =
        parseXml("<KeePassFile><Root>"
              "<Group><Name>empty</Name><IconID></IconID></Group>"
              "<Group><Name>missing</Name></Group>"
              "<Group><Name>plain</Name><IconID>48</IconID></Group>"
              "<Group><Name>later wins</Name><IconID>1</IconID><IconID>2</IconID></Group>"
              "<Group><Name>negative</Name><IconID> -5x</IconID></Group>"
              "<Group><Name>huge</Name><IconID>99999999999</IconID></Group>"
              "<Group><Name>words</Name><IconID>abc</IconID></Group>"
              "</Root></KeePassFile>");
    std::vector<uint32_t> icons;
    for (const DatabaseGroup* group : tree->getRoot()->getSubGroups()) {
        icons.push_back(group->_image());
    }
    EXPECT_EQ(icons, (std::vector<uint32_t>{0xFFFFFFFF, 0, 48, 2, 0xFFFFFFFB, 0x7FFFFFFF, 0}));

    const auto entryTree = parseXml(entry("<IconID></IconID>"));
    EXPECT_EQ(firstEntry(*entryTree)._image(), 0xFFFFFFFFu);
    const auto iconless = parseXml(entry(field("Title", "t")));
    EXPECT_EQ(firstEntry(*iconless)._image(), 0u);
}

TEST(KdbxModel, TakesTheStandardFieldsOfAnEntry) {
    const std::string password = XmlFakeRandomStream::mask("s3cret", 0);
    const auto tree = parseXml(
        entry("<UUID>AAECAw==</UUID>" + field("Title", "Mail") + field("UserName", "me") +
              "<String><Key>Password</Key><Value Protected=\"True\">" + password +
              "</Value></String>" + field("URL", "https://x") + field("Notes", "from string") +
              "<Notes>direct</Notes>" + "<Times><CreationTime>t</CreationTime></Times><History/>"));
    auto& item = dynamic_cast<KdbxEntry&>(firstEntry(*tree));
    EXPECT_EQ(item._uuid(), "AAECAw==");
    EXPECT_EQ(item.getEntryName(), "Mail");
    EXPECT_EQ(item.getUserName(), "me");
    EXPECT_EQ(item.getPassword(), "s3cret");
    EXPECT_EQ(item.getURL(), "https://x");
    EXPECT_EQ(item.getComments(), "direct");
    EXPECT_EQ(item.getNumberOfCustomAttributes(), 0u);
    EXPECT_EQ(childNames(item), (std::vector<std::string>{"Times", "History"}));
    EXPECT_EQ(item.description(), "[UUID:AAECAw== title:Mail \nusername:me \npassword:s3cret "
                                  "\nurl:https://x \ncomment:direct]");
}

TEST(KdbxModel, ListsCustomFieldsByValueIgnoringCase) {
    const auto tree = parseXml(entry(field("Title", "t") + field("First", "b") + field("Second", "A") +
                                  field("title", "c") + field("Third", "B2")));
    const DatabaseEntry& item = firstEntry(*tree);
    EXPECT_EQ(item.getEntryName(), "t");
    ASSERT_EQ(item.getNumberOfCustomAttributes(), 4u);
    EXPECT_EQ(item.getCustomAttributeName(0), "Second");
    EXPECT_EQ(item.getCustomAttributeValue(0), "A");
    EXPECT_EQ(item.getCustomAttributeName(1), "First");
    EXPECT_EQ(item.getCustomAttributeName(2), "Third");
    EXPECT_EQ(item.getCustomAttributeValue(2), "B2");
    EXPECT_EQ(item.getCustomAttributeName(3), "title");
    EXPECT_EQ(item.getCustomAttributeName(4), "");
    EXPECT_EQ(item.getCustomAttributeValue(4), "");

    // The lower-case "title" is a custom field in its own right.
    const auto lowerCase = parseXml(entry(field("title", "c")));
    EXPECT_EQ(firstEntry(*lowerCase).getEntryName(), "");
    ASSERT_EQ(firstEntry(*lowerCase).getNumberOfCustomAttributes(), 1u);
    EXPECT_EQ(firstEntry(*lowerCase).getCustomAttributeName(0), "title");
}

TEST(KdbxModel, KeepsTheLastFieldOfEachName) {
    const auto tree = parseXml(entry(field("Title", "old") + field("Title", "new") +
                                  field("Pin", "1") + field("Other", "z") + field("Pin", "2")));
    const DatabaseEntry& item = firstEntry(*tree);
    EXPECT_EQ(item.getEntryName(), "new");
    ASSERT_EQ(item.getNumberOfCustomAttributes(), 2u);
    EXPECT_EQ(item.getCustomAttributeName(0), "Pin");
    EXPECT_EQ(item.getCustomAttributeValue(0), "2");
    EXPECT_EQ(item.getCustomAttributeName(1), "Other");
}

TEST(KdbxModel, SkipsStringFieldsWithoutKeyOrValue) {
    XmlFakeRandomStream stream;
    // The value of the keyless field is protected: it still takes its share of the stream,
    // so the password after it unmasks correctly.
    const auto tree =
        parseXml(entry("<String><Value Protected='True'>" + XmlFakeRandomStream::mask("lost", 0) +
                    "</Value></String>" + "<String><Key>Title</Key></String>" +
                    field("UserName", "u") + "<String><Key>Password</Key><Value Protected='True'>" +
                    XmlFakeRandomStream::mask("pw", 4) + "</Value></String>"),
              stream);
    const DatabaseEntry& item = firstEntry(*tree);
    EXPECT_EQ(item.getEntryName(), "");
    EXPECT_EQ(item.getUserName(), "u");
    EXPECT_EQ(item.getPassword(), "pw");
    EXPECT_EQ(item.getNumberOfCustomAttributes(), 0u);
}

TEST(KdbxModel, KeepsHistoryEntriesOutOfTheGroupsButInTheKeyStream) {
    XmlFakeRandomStream stream;
    const auto tree =
        parseXml(entry(field("Title", "current") + "<History><Entry>" + field("Title", "old") +
                    "<String><Key>Password</Key><Value Protected='True'>" +
                    XmlFakeRandomStream::mask("old pw", 0) + "</Value></String></Entry></History>" +
                    "<String><Key>Password</Key><Value Protected='True'>" +
                    XmlFakeRandomStream::mask("new pw", 6) + "</Value></String>"),
              stream);
    const DatabaseGroup& group = *tree->getRoot()->getSubGroups()[0];
    EXPECT_EQ(titles(group.getEntries()), (std::vector<std::string>{"current"}));
    const auto& item = dynamic_cast<const KdbxEntry&>(firstEntry(*tree));
    EXPECT_EQ(item.getPassword(), "new pw");
    XmlNode* history = item.firstChild();
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(history->_name().text(), "History");
    XmlNode* old = history->firstChild();
    ASSERT_NE(old, nullptr);
    ASSERT_NE(old->asEntry(), nullptr);
    EXPECT_EQ(old->asEntry()->getPassword(), "old pw");
}

TEST(KdbxModel, FindsRootAnywhereAmongTheDocumentElementsChildren) {
    const auto late = parseXml("<KeePassFile><Meta/><Other/><Root><Group><Name>g</Name></Group>"
                            "</Root><Root/></KeePassFile>");
    ASSERT_NE(late->getRoot(), nullptr);
    EXPECT_EQ(names(late->getRoot()->getSubGroups()), (std::vector<std::string>{"g"}));

    EXPECT_EQ(parseXml("<KeePassFile><Meta/><Other><Root/></Other></KeePassFile>")->getRoot(),
              nullptr);
    EXPECT_EQ(parseXml("<Root><Group/></Root>")->getRoot(), nullptr);
}

TEST(KdbxModel, LooksUpMetaValuesOnlyInALeadingMetaElement) {
    const auto tree = parseXml("<KeePassFile><Meta><DatabaseName>db</DatabaseName>"
                            "<RecycleBinUUID>YmluYmluYmluYmluYmluYg==</RecycleBinUUID></Meta>"
                            "<Root><Group><UUID>cm9vdA==</UUID><Name>Home</Name>"
                            "<Group><UUID>YmluYmluYmluYmluYmluYg==</UUID><Name>Bin</Name></Group>"
                            "<Group><Name>No id</Name></Group></Group></Root></KeePassFile>");
    ASSERT_TRUE(tree->getMetaInfo("DatabaseName"));
    EXPECT_EQ(*tree->getMetaInfo("DatabaseName"), "db");
    EXPECT_FALSE(tree->getMetaInfo("Generator"));
    const DatabaseGroup& home = *tree->getRoot()->getSubGroups()[0];
    EXPECT_FALSE(tree->isRecycleBin(home));
    EXPECT_TRUE(tree->isRecycleBin(*home.getSubGroups()[0]));
    EXPECT_FALSE(tree->isRecycleBin(*home.getSubGroups()[1]));

    const auto metaSecond = parseXml("<KeePassFile><Root><Group><UUID>YmluYmluYmluYmluYmluYg==</UUID>"
                                  "</Group></Root><Meta><RecycleBinUUID>YmluYmluYmluYmluYmluYg=="
                                  "</RecycleBinUUID></Meta></KeePassFile>");
    EXPECT_FALSE(metaSecond->getMetaInfo("RecycleBinUUID"));
    EXPECT_FALSE(metaSecond->isRecycleBin(*metaSecond->getRoot()->getSubGroups()[0]));
}

TEST(KdbxModel, NeverTakesAGroupWithoutIdentifierForAnEmptyRecycleBinSetting) {
    const auto tree = parseXml("<KeePassFile><Meta><RecycleBinUUID/></Meta>"
                            "<Root><Group><Name>g</Name></Group></Root></KeePassFile>");
    EXPECT_FALSE(tree->isRecycleBin(*tree->getRoot()->getSubGroups()[0]));
}

TEST(KdbxModel, AddsAndDeletesSubGroupsAndEntries) {
    KdbxGroup parent;
    auto group = std::make_unique<KdbxGroup>();
    KdbxGroup* groupPointer = group.get();
    auto item = std::make_unique<KdbxEntry>();
    KdbxEntry* itemPointer = item.get();
    parent.addSubGroup(std::move(group));
    parent.addEntry(std::move(item));
    EXPECT_EQ(groupPointer->getParent(), &parent);
    EXPECT_EQ(itemPointer->getParent(), &parent);
    EXPECT_EQ(parent.getSubGroups().size(), 1u);

    KdbxGroup stranger;
    EXPECT_EQ(parent.deleteSubGroup(stranger), nullptr);
    const std::unique_ptr<KdbxGroup> removedGroup = parent.deleteSubGroup(*groupPointer);
    const std::unique_ptr<KdbxEntry> removedEntry = parent.deleteEntry(*itemPointer);
    EXPECT_EQ(removedGroup.get(), groupPointer);
    EXPECT_EQ(removedEntry.get(), itemPointer);
    EXPECT_EQ(removedGroup->getParent(), nullptr);
    EXPECT_EQ(removedEntry->getParent(), nullptr);
    EXPECT_TRUE(parent.getSubGroups().empty());
    EXPECT_TRUE(parent.getEntries().empty());
}

} // namespace
} // namespace vaultora::kdb
