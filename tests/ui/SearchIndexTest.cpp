// The search through folded texts must find exactly what the full search finds, in the same
// order, whatever the texts hold: letters whose folding leaves ASCII or changes length, NUL
// bytes, invalid UTF-8, empty fields, huge fields; and its byte search must find every
// occurrence without reading past its range.
#include "ui/SearchIndex.h"
#include "ui/EntrySearch.h"
#include "ui/RefiningSearch.h"
#include "ui/SearchFolding.h"
#include "ui/SearchResults.h"
#include "ui/SubstringFinder.h"

#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Tree.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vaultora::kdb::DatabaseEntry;
using vaultora::kdb::DatabaseGroup;
using vaultora::kdb::KeePass1Entry;
using vaultora::kdb::KeePass1Group;

std::vector<DatabaseEntry*> fullSearch(const DatabaseGroup* group, const QString& text) {
    std::vector<DatabaseEntry*> results;
    vaultora::ui::EntrySearch(text).collectMatches(group, results);
    return results;
}

// Pieces of field texts, as UTF-8 bytes: letters whose case folding leaves ASCII (the Kelvin
// sign, the long s), stays outside it ("ß", dotted and dotless i), or pairs letters of different
// UTF-8 lengths ("Ⱥ" and "ⱥ"); final sigma; a supplementary-plane pair (Deseret); a ligature
// that only full folding would split; a NUL byte; the replacement character; and byte
// sequences that are not UTF-8 at all.
const std::vector<std::string> textPieces = {"Account",
                                             "ACCOUNT",
                                             "acc",
                                             "Bank",
                                             "k",
                                             "K",
                                             "\u212A",
                                             "s",
                                             "S",
                                             "\u017F",
                                             "ss",
                                             "\u00DF",
                                             "\u1E9E",
                                             "i",
                                             "I",
                                             "\u0130",
                                             "\u0131",
                                             "\u023A",
                                             "\u2C65",
                                             "\u03A3",
                                             "\u03C3",
                                             "\u03C2",
                                             "\U00010400",
                                             "\U00010428",
                                             "\uFB00",
                                             "ff",
                                             std::string(1, '\0'),
                                             "\uFFFD",
                                             "\x80",
                                             "\xC3",
                                             "\xED\xA0\x80",
                                             "\xFF",
                                             "\xF4\x90\x80\x80",
                                             "Z\u00FCrich",
                                             "Z\u00DCRICH",
                                             " ",
                                             "1",
                                             "2",
                                             "\xF0\x9F\x94\x91"};

std::string randomText(std::mt19937& random, int maximumPieces) {
    std::string text;
    const int pieces = std::uniform_int_distribution<int>(0, maximumPieces)(random);
    for (int piece = 0; piece < pieces; ++piece) {
        text += textPieces[std::uniform_int_distribution<std::size_t>(0, textPieces.size() -
                                                                             1)(random)];
    }
    return text;
}

// Nested groups with random texts; some groups have no entries, some fields are empty.
std::shared_ptr<vaultora::kdb::DatabaseTree> randomTree(unsigned seed) {
    std::mt19937 random(seed);
    auto root = std::make_unique<KeePass1Group>();
    root->setGroupName("$ROOT$");
    const auto addEntries = [&random](KeePass1Group& group, int count) {
        for (int number = 0; number < count; ++number) {
            auto entry = std::make_unique<KeePass1Entry>();
            entry->setEntryName(randomText(random, 4));
            entry->setURL(randomText(random, 3));
            entry->setComments(randomText(random, 6));
            entry->setUserName("account user");
            entry->setPassword("bank password");
            group.addEntry(std::move(entry));
        }
    };
    addEntries(*root, 20);
    for (int groupNumber = 0; groupNumber < 5; ++groupNumber) {
        auto group = std::make_unique<KeePass1Group>();
        group->setGroupName("Group " + std::to_string(groupNumber));
        addEntries(*group, groupNumber == 2 ? 0 : 60);
        auto inner = std::make_unique<KeePass1Group>();
        inner->setGroupName("Inner");
        addEntries(*inner, groupNumber * 10);
        group->addSubGroup(std::move(inner));
        root->addSubGroup(std::move(group));
    }
    return std::make_shared<vaultora::kdb::KeePass1Tree>(std::move(root));
}

// Queries made of the same pieces (a query is valid UTF-16, so invalid bytes become the
// replacement character), in other cases, and lone surrogates.
QStringList randomQueries(std::mt19937& random, int count) {
    const QString highSurrogate(QChar(0xD801));
    const QString lowSurrogate(QChar(0xDC00));
    QStringList queries = {highSurrogate, lowSurrogate + "a", "acc" + highSurrogate};
    for (int index = 0; index < count; ++index) {
        QString query = QString::fromUtf8(randomText(random, 3));
        if (index % 3 == 1) {
            query = query.toUpper();
        } else if (index % 3 == 2) {
            query = query.toLower();
        }
        queries.append(query);
    }
    return queries;
}

// Returns how many of the texts found something, so that a test can tell that its data matched.
int expectTypingMatchesFullSearch(vaultora::ui::RefiningSearch& search, const DatabaseGroup* group,
                                  const QString& query) {
    int found = 0;
    // Typed one character at a time, then deleted back.
    for (qsizetype length = 1; length <= query.size(); ++length) {
        const QString text = query.left(length);
        const std::vector<DatabaseEntry*> expected = fullSearch(group, text);
        EXPECT_EQ(search.search(group, text)->entries(), expected)
            << "typing " << text.toStdString();
        found += expected.empty() ? 0 : 1;
    }
    for (qsizetype length = query.size() - 1; length >= 1; --length) {
        const QString text = query.left(length);
        EXPECT_EQ(search.search(group, text)->entries(), fullSearch(group, text))
            << "deleting back to " << text.toStdString();
    }
    return found;
}

TEST(SearchIndex, FindsWhatTheFullSearchFindsAtEveryKeystroke) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        const auto tree = randomTree(seed);
        const auto index = std::make_shared<const vaultora::ui::SearchIndex>(tree);
        vaultora::ui::RefiningSearch search;
        search.useIndex(index);
        std::mt19937 random(seed * 7919);
        const DatabaseGroup* root = tree->getRoot();
        int textsWithResults = 0;
        for (const QString& query : randomQueries(random, 60)) {
            textsWithResults += expectTypingMatchesFullSearch(search, root, query);
        }
        EXPECT_GT(textsWithResults, 50);
        // Every group searches its own run of the index.
        for (const DatabaseGroup* group : root->getSubGroups()) {
            const std::vector<const DatabaseGroup*> searchedGroups = {
                group, group->getSubGroups().front()};
            for (const DatabaseGroup* searched : searchedGroups) {
                for (const QString& query : randomQueries(random, 10)) {
                    expectTypingMatchesFullSearch(search, searched, query);
                }
            }
        }
    }
}

TEST(SearchIndex, AQueryTheTextsCannotHoldFindsNothing) {
    const auto tree = randomTree(11);
    vaultora::ui::RefiningSearch search;
    search.useIndex(std::make_shared<const vaultora::ui::SearchIndex>(tree));
    const DatabaseGroup* root = tree->getRoot();
    const QString longerThanAnyText(5000, QChar(u'a'));
    EXPECT_TRUE(search.search(root, longerThanAnyText)->empty());
    // The separators between texts are never part of a match, nor is a text's end joined to
    // the next text's start.
    EXPECT_EQ(
        search.search(root, QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"))->entries(),
        fullSearch(root, QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD")));
    // An empty query matches every entry, as in the full search.
    EXPECT_EQ(search.search(root, QString())->entries(), fullSearch(root, QString()));
    // 20 at the root, 60 in four of the five groups, 0 + 10 + 20 + 30 + 40 in the inner ones.
    EXPECT_EQ(search.search(root, QString())->size(), 360u);
}

TEST(SearchIndex, HugeTextsEmptyGroupsAndEmptyDatabases) {
    auto root = std::make_unique<KeePass1Group>();
    auto empty = std::make_unique<KeePass1Group>();
    const DatabaseGroup* emptyGroup = empty.get();
    root->addSubGroup(std::move(empty));
    auto huge = std::make_unique<KeePass1Entry>();
    huge->setComments(std::string(4 << 20, 'x') + "Needle");
    root->addEntry(std::move(huge));
    auto boundary = std::make_unique<KeePass1Entry>();
    boundary->setEntryName("Need");
    boundary->setURL("le");
    root->addEntry(std::move(boundary));
    const auto tree = std::make_shared<vaultora::kdb::KeePass1Tree>(std::move(root));

    vaultora::ui::RefiningSearch search;
    search.useIndex(std::make_shared<const vaultora::ui::SearchIndex>(tree));
    const auto found = search.search(tree->getRoot(), QStringLiteral("NEEDLE"));
    ASSERT_EQ(found->size(), 1u) << "a match at a huge text's end; none across two texts";
    EXPECT_EQ(found->at(0), tree->getRoot()->getEntries().front());
    EXPECT_TRUE(search.search(emptyGroup, QStringLiteral("x"))->empty());
    EXPECT_TRUE(search.search(emptyGroup, QString())->empty());

    const auto nothing =
        std::make_shared<vaultora::kdb::KeePass1Tree>(std::make_unique<KeePass1Group>());
    search.useIndex(std::make_shared<const vaultora::ui::SearchIndex>(nothing));
    EXPECT_TRUE(search.search(nothing->getRoot(), QStringLiteral("a"))->empty());
    EXPECT_TRUE(search.search(nullptr, QStringLiteral("a"))->empty());
}

TEST(SearchIndex, AGroupOutsideTheIndexIsSearchedAndTheKeptStepsAreDropped) {
    const auto tree = randomTree(5);
    const auto other = randomTree(6);
    vaultora::ui::RefiningSearch search;
    search.useIndex(std::make_shared<const vaultora::ui::SearchIndex>(tree));
    const QString query = QString::fromUtf8("acc\u212A");
    expectTypingMatchesFullSearch(search, tree->getRoot(), query);
    // Another tree's group, with the same texts typed: nothing of the first group applies.
    EXPECT_EQ(search.search(other->getRoot(), QStringLiteral("ac"))->entries(),
              fullSearch(other->getRoot(), QStringLiteral("ac")));
    expectTypingMatchesFullSearch(search, other->getRoot()->getSubGroups()[1], query);
    // A new index forgets the results of the old one.
    search.useIndex(std::make_shared<const vaultora::ui::SearchIndex>(other));
    EXPECT_EQ(search.search(other->getRoot(), QStringLiteral("acc"))->entries(),
              fullSearch(other->getRoot(), QStringLiteral("acc")));
}

// The index is exact only while Qt's case-insensitive comparison folds each character on its
// own, to what QChar::toCaseFolded gives: a change in Qt's folding must show here.
TEST(SearchFolding, FoldsEveryCharacterAsQtComparesItIgnoringCase) {
    int disagreements = 0;
    for (char32_t character = 0; character <= 0x10FFFF; ++character) {
        if (QChar::isSurrogate(character)) {
            continue;
        }
        const char32_t folding = QChar::toCaseFolded(character);
        const QString text = QString::fromUcs4(&character, 1);
        const QString folded = QString::fromUcs4(&folding, 1);
        const bool agrees =
            text.compare(folded, Qt::CaseInsensitive) == 0 &&
            QChar::toCaseFolded(folding) == folding && text.toCaseFolded() == folded &&
            vaultora::ui::SearchFolding::foldedQuery(text) == folded.toUtf8().toStdString();
        disagreements += agrees ? 0 : 1;
    }
    EXPECT_EQ(disagreements, 0);
}

TEST(SearchResults, PositionsRunsAndOrder) {
    const auto tree = randomTree(9);
    const auto index = std::make_shared<const vaultora::ui::SearchIndex>(tree);
    const auto range = index->rangeOf(tree->getRoot());
    ASSERT_TRUE(range.has_value());
    ASSERT_EQ(range->end - range->begin, 360u);
    // Results in runs across word boundaries, and more than one sample apart.
    vaultora::ui::SearchResults results(index, *range);
    std::vector<vaultora::ui::SearchIndex::Ordinal> chosen;
    for (vaultora::ui::SearchIndex::Ordinal ordinal = 0; ordinal < 360; ++ordinal) {
        if (ordinal % 7 != 3 && ordinal != 130) {
            results.append(ordinal);
            chosen.push_back(ordinal);
        }
    }
    ASSERT_EQ(results.size(), chosen.size());
    for (std::size_t position = 0; position < chosen.size(); ++position) {
        EXPECT_EQ(results.at(position), index->entryAt(chosen[position])) << position;
    }
    EXPECT_THROW(static_cast<void>(results.at(chosen.size())), std::out_of_range);
    std::vector<vaultora::ui::SearchIndex::Ordinal> fromRuns;
    results.forEachRun([&fromRuns](auto begin, auto end) {
        EXPECT_LT(begin, end);
        for (auto ordinal = begin; ordinal < end; ++ordinal) {
            fromRuns.push_back(ordinal);
        }
    });
    EXPECT_EQ(fromRuns, chosen);
    EXPECT_THROW(results.append(5), std::invalid_argument) << "before the last result";
    EXPECT_THROW(results.append(360), std::invalid_argument) << "outside the range";
    EXPECT_TRUE(vaultora::ui::SearchResults().entries().empty());
}

TEST(SubstringFinder, FindsTheFirstOccurrenceWithinTheRangeOnly) {
    std::mt19937 random(42);
    // A small alphabet makes partial matches frequent; NUL and 0xFF are ordinary bytes here.
    const std::string alphabet = std::string("ab") + '\0' + '\xFF';
    const auto randomBytes = [&](std::size_t length) {
        std::string bytes;
        for (std::size_t index = 0; index < length; ++index) {
            bytes += alphabet[std::uniform_int_distribution<std::size_t>(0, 3)(random)];
        }
        return bytes;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string needle =
            randomBytes(std::uniform_int_distribution<std::size_t>(0, 20)(random));
        const std::string text =
            randomBytes(std::uniform_int_distribution<std::size_t>(0, 90)(random));
        // The needle all around the range: a finder that read past either end would find it.
        const std::string buffer = needle + text + needle;
        const char* begin = buffer.data() + needle.size();
        const char* end = begin + text.size();
        const std::size_t expected = std::string_view(text).find(needle);
        const vaultora::ui::SubstringFinder finder(needle);
        // And in a block of exactly the text's size, where a sanitizer build catches any read
        // past its end.
        const auto exact = std::make_unique<char[]>(text.size());
        std::copy(text.begin(), text.end(), exact.get());
        const char* exactEnd = exact.get() + text.size();
        if (expected == std::string_view::npos) {
            EXPECT_EQ(finder.find(begin, end), end) << round;
            EXPECT_EQ(finder.find(exact.get(), exactEnd), exactEnd) << round;
        } else {
            EXPECT_EQ(finder.find(begin, end), begin + expected) << round;
            EXPECT_EQ(finder.find(exact.get(), exactEnd), exact.get() + expected) << round;
        }
    }
}

} // namespace
