// The browser's search over the root group of a 100,000-entry database, as one keystroke
// costs it: the search over the whole tree and the rows it hands to the list. Then typing a
// query over 1,000,000 entries, one keystroke at a time: each keystroke after the first
// refines the results of the one before, and a deleted character goes back to them. And the
// cost of the search index that makes those keystrokes one pass over folded texts.
#include "ui/GroupBrowser.h"
#include "ui/SearchIndex.h"
#include "ui/toolkit/ManualTimerFactory.h"

#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Tree.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int entryCount = 100000;
constexpr int groupCount = 100;
constexpr int largeEntryCount = 1000000;

// Groups of a thousand entries each, with the kinds of texts people keep; one entry in a
// hundred has a name with letters beyond ASCII.
std::shared_ptr<vaultora::kdb::DatabaseTree> largeTree(int entries = entryCount) {
    auto root = std::make_unique<vaultora::kdb::KeePass1Group>();
    root->setGroupName("$ROOT$");
    const int groups = entries / (entryCount / groupCount);
    for (int group = 0; group < groups; ++group) {
        auto folder = std::make_unique<vaultora::kdb::KeePass1Group>();
        folder->setGroupName("Folder " + std::to_string(group));
        for (int index = 0; index < entryCount / groupCount; ++index) {
            const int number = group * (entryCount / groupCount) + index;
            auto entry = std::make_unique<vaultora::kdb::KeePass1Entry>();
            entry->setEntryName(number % 100 == 0 ? "Zürich Konto " + std::to_string(number)
                                                  : "Account " + std::to_string(number));
            entry->setUserName("user" + std::to_string(number));
            entry->setPassword("secret-" + std::to_string(number));
            entry->setURL("https://service" + std::to_string(number % 977) + ".example.org/login");
            entry->setComments("Created for the benchmark; entry number " + std::to_string(number) +
                               ".");
            folder->addEntry(std::move(entry));
        }
        root->addSubGroup(std::move(folder));
    }
    return std::make_shared<vaultora::kdb::KeePass1Tree>(std::move(root));
}

const std::shared_ptr<vaultora::kdb::DatabaseTree>& treeOfHundredThousand() {
    static const std::shared_ptr<vaultora::kdb::DatabaseTree> tree = largeTree();
    return tree;
}

const std::shared_ptr<vaultora::kdb::DatabaseTree>& treeOfMillion() {
    static const std::shared_ptr<vaultora::kdb::DatabaseTree> tree = largeTree(largeEntryCount);
    return tree;
}

void searchKeystroke(benchmark::State& state, const QString& text) {
    const std::shared_ptr<vaultora::kdb::DatabaseTree>& tree = treeOfHundredThousand();
    vaultora::ui::ScreenServices services;
    services.timers = std::make_shared<vaultora::toolkit::ManualTimerFactory>();
    vaultora::ui::GroupBrowser panel(services);
    panel.setGroup(tree, tree->getRoot());
    for (auto _ : state) {
        // Each keystroke recomputes the results over the whole group and rebuilds the rows; the
        // field is reset quietly first, since typing the same text again changes nothing, and
        // the group is set again so that no result of an earlier keystroke is kept (the panel
        // keeps the index of the tree, as it does in the app).
        panel.list()->setSearchText(QString());
        panel.setGroup(tree, tree->getRoot());
        panel.list()->editSearchText(text);
        benchmark::DoNotOptimize(panel.searchResultArray().size());
    }
    state.counters["results"] = static_cast<double>(panel.searchResultArray().size());
}

void BM_SearchRootGroupRareText(benchmark::State& state) {
    searchKeystroke(state, QStringLiteral("ACCOUNT 9999"));
}

void BM_SearchRootGroupCommonText(benchmark::State& state) {
    searchKeystroke(state, QStringLiteral("service12"));
}

void BM_SearchRootGroupNonAsciiText(benchmark::State& state) {
    searchKeystroke(state, QStringLiteral("ZÜRICH"));
}

const QString typedQuery = QStringLiteral("account 12345");

// Times one keystroke over a million entries: the first typedBefore characters of typedQuery
// are typed, untimed, on a fresh panel each iteration, then the search text becomes its first
// timedLength characters.
void timeKeystrokeOverMillionEntries(benchmark::State& state, qsizetype typedBefore,
                                     qsizetype timedLength) {
    const std::shared_ptr<vaultora::kdb::DatabaseTree>& tree = treeOfMillion();
    // Built once, as the app builds it once when the database is shown; each fresh panel shares
    // it as the panels opened from the first one do.
    static const auto index = std::make_shared<const vaultora::ui::SearchIndex>(tree);
    vaultora::ui::ScreenServices services;
    services.timers = std::make_shared<vaultora::toolkit::ManualTimerFactory>();
    // The panel of the last iteration goes while the timing is paused.
    std::unique_ptr<vaultora::ui::GroupBrowser> panel;
    for (auto _ : state) {
        state.PauseTiming();
        panel.reset();
        panel = std::make_unique<vaultora::ui::GroupBrowser>(services);
        panel->setSearchIndex(index);
        panel->setGroup(tree, tree->getRoot());
        for (qsizetype length = 1; length <= typedBefore; ++length) {
            panel->list()->editSearchText(typedQuery.left(length));
        }
        state.ResumeTiming();
        panel->list()->editSearchText(typedQuery.left(timedLength));
        benchmark::DoNotOptimize(panel->searchResultArray().size());
        state.PauseTiming();
        state.counters["results"] = static_cast<double>(panel->searchResultArray().size());
        state.ResumeTiming();
    }
}

// Typing the argument's character of typedQuery (1 is the first keystroke, a search of the
// whole tree).
void BM_TypeOverMillionEntries(benchmark::State& state) {
    const auto typed = static_cast<qsizetype>(state.range(0));
    timeKeystrokeOverMillionEntries(state, typed - 1, typed);
}

// Deleting the last character after the argument's number of characters was typed: back to
// the results kept for the shorter text.
void BM_DeleteOverMillionEntries(benchmark::State& state) {
    const auto typed = static_cast<qsizetype>(state.range(0));
    timeKeystrokeOverMillionEntries(state, typed, typed - 1);
}

// Building the index of a whole tree of the argument's number of entries, as showing the
// database does; its size is a counter.
void BM_BuildSearchIndex(benchmark::State& state) {
    const std::shared_ptr<vaultora::kdb::DatabaseTree>& tree =
        state.range(0) == largeEntryCount ? treeOfMillion() : treeOfHundredThousand();
    std::size_t indexBytes = 0;
    for (auto _ : state) {
        const vaultora::ui::SearchIndex index(tree);
        indexBytes = index.byteSize();
        benchmark::DoNotOptimize(indexBytes);
    }
    state.counters["MB"] = static_cast<double>(indexBytes) / 1e6;
}

} // namespace

BENCHMARK(BM_BuildSearchIndex)
    ->Arg(entryCount)
    ->Arg(largeEntryCount)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeOverMillionEntries)
    ->DenseRange(1, 13)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteOverMillionEntries)
    ->Arg(2)
    ->Arg(9)
    ->Arg(13)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchRootGroupRareText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchRootGroupCommonText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchRootGroupNonAsciiText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
