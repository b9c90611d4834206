// Typing refines the previous results instead of searching the tree again; whatever the
// keystrokes, the results must be those of a full search for the text in the field.
#include "ui/RefiningSearch.h"
#include "ui/EntrySearch.h"
#include "ui/GroupBrowser.h"
#include "ui/toolkit/ManualTimerFactory.h"

#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using vaultora::kdb::DatabaseEntry;

// Groups with names, addresses and notes in and beyond ASCII, among them letters whose case
// folding leaves ASCII (the Kelvin sign folds to "k") or grows ("ß").
std::shared_ptr<vaultora::kdb::DatabaseTree> mixedTree() {
    const std::vector<std::string> words = {
        "Account",       "ACCOUNT",  "accord", "Zürich", "ZÜRICH", "Straße", "STRASSE",
        "Kelvin \u212A", "kelvin k", "bank",   "Bänker", "пароль", "ПАРОЛЬ"};
    auto root = std::make_unique<vaultora::kdb::KeePass1Group>();
    root->setGroupName("$ROOT$");
    for (int groupNumber = 0; groupNumber < 6; ++groupNumber) {
        auto group = std::make_unique<vaultora::kdb::KeePass1Group>();
        group->setGroupName("Group " + std::to_string(groupNumber));
        for (int number = 0; number < 300; ++number) {
            const std::string word = words[(number + groupNumber) % words.size()];
            auto entry = std::make_unique<vaultora::kdb::KeePass1Entry>();
            entry->setEntryName(word + " " + std::to_string(number));
            entry->setURL(number % 3 == 0 ? "https://" + std::to_string(number) + ".example/"
                                          : std::string());
            entry->setComments(number % 7 == 0 ? words[number % words.size()] : std::string());
            group->addEntry(std::move(entry));
        }
        root->addSubGroup(std::move(group));
    }
    return std::make_shared<vaultora::kdb::KeePass1Tree>(std::move(root));
}

std::vector<DatabaseEntry*> fullSearch(const vaultora::kdb::DatabaseGroup* group,
                                       const QString& text) {
    std::vector<DatabaseEntry*> results;
    vaultora::ui::EntrySearch(text).collectMatches(group, results);
    return results;
}

// What a user types into the field, one text per keystroke: extending, deleting back,
// changing case, replacing the whole text, typing past every match and back.
const QStringList keystrokes = {
    "a",          "ac",
    "acc",        "acco",
    "accou",      "accoun",
    "account",    "account 1",
    "account 12", "account 1",
    "account",    "accor",
    "accord",     "Accord",
    "ACCORD",     "z",
    "zü",         "zür",
    "züri",       "zürich",
    "ZÜRICH 2",   "zür",
    "",           "stra",
    "straß",      "straße",
    "strasse",    "k",
    "ke",         "kel",
    "kelvin",     "kelvin k",
    "kelvin ",    "kelvin \u212A",
    "п",          "па",
    "пар",        "ПАР",
    "x",          "xq",
    "x",          "",
    "1",          "12",
    "123",        "1234",
    "123",        "12",
    "1",          "example",
};

TEST(RefiningSearch, GivesTheResultsOfAFullSearchAtEveryKeystroke) {
    const auto tree = mixedTree();
    const vaultora::kdb::DatabaseGroup* root = tree->getRoot();
    vaultora::ui::RefiningSearch search;
    for (const QString& text : keystrokes) {
        if (text.isEmpty()) {
            continue;
        }
        EXPECT_EQ(search.search(root, text)->entries(), fullSearch(root, text)) << text.toStdString();
    }
    // Another group: nothing kept for the first one applies.
    const vaultora::kdb::DatabaseGroup* group = root->getSubGroups()[2];
    EXPECT_EQ(search.search(group, QStringLiteral("account"))->entries(),
              fullSearch(group, QStringLiteral("account")));
    EXPECT_FALSE(search.search(group, QStringLiteral("account"))->empty());
    EXPECT_TRUE(search.search(nullptr, QStringLiteral("account"))->empty());
}

TEST(RefiningSearch, TheBrowserShowsTheResultsOfAFullSearchWhileTyping) {
    const auto tree = mixedTree();
    vaultora::ui::ScreenServices services;
    services.timers = std::make_shared<vaultora::toolkit::ManualTimerFactory>();
    vaultora::ui::GroupBrowser panel(services);
    panel.setGroup(tree, tree->getRoot());
    for (const QString& text : keystrokes) {
        panel.list()->editSearchText(text);
        if (text.isEmpty()) {
            EXPECT_TRUE(panel.searchResultArray().empty());
            continue;
        }
        EXPECT_EQ(panel.searchResultArray().entries(), fullSearch(tree->getRoot(), text))
            << text.toStdString();
        EXPECT_EQ(panel.numberOfRows(), 1 + static_cast<int>(panel.searchResultArray().size()));
    }
    // A group of another tree shown in the same panel starts over.
    const auto other = mixedTree();
    panel.list()->editSearchText(QStringLiteral("zür"));
    panel.setGroup(other, other->getRoot()->getSubGroups()[0]);
    EXPECT_EQ(panel.searchResultArray().entries(),
              fullSearch(other->getRoot()->getSubGroups()[0], QStringLiteral("zür")));
}

} // namespace
