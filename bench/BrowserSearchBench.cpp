// The browser's search over the root group of a 100,000-entry database, as one keystroke
// costs it: the search over the whole tree and the rows it hands to the list.
#include "ui/GroupBrowser.h"
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

// Groups of a thousand entries each, with the kinds of texts people keep; one entry in a
// hundred has a name with letters beyond ASCII.
std::shared_ptr<vaultora::kdb::DatabaseTree> largeTree() {
    auto root = std::make_unique<vaultora::kdb::KeePass1Group>();
    root->setGroupName("$ROOT$");
    for (int group = 0; group < groupCount; ++group) {
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

void searchKeystroke(benchmark::State& state, const QString& text) {
    static const std::shared_ptr<vaultora::kdb::DatabaseTree> tree = largeTree();
    vaultora::ui::ScreenServices services;
    services.timers = std::make_shared<vaultora::toolkit::ManualTimerFactory>();
    vaultora::ui::GroupBrowser panel(services);
    panel.setGroup(tree, tree->getRoot());
    for (auto _ : state) {
        // Each keystroke recomputes the results over the whole group and rebuilds the rows; the
        // field is reset quietly first, since typing the same text again changes nothing.
        panel.list()->setSearchText(QString());
        panel.list()->editSearchText(text);
        benchmark::DoNotOptimize(panel.searchResultArray().data());
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

} // namespace

BENCHMARK(BM_SearchRootGroupRareText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchRootGroupCommonText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchRootGroupNonAsciiText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
