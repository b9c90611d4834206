#include "Command.h"
#include "TextMatch.h"
#include "TreePath.h"
#include "kdb/GroupWalk.h"

#include <vector>

namespace vaultora::cli {

namespace {

// Depth first: a group's own entries, then each subgroup with everything below it.
void searchGroup(const kdb::DatabaseGroup& root, const std::string& text, std::ostream& out) {
    kdb::GroupWalk::walk(root, [&text, &out](const kdb::DatabaseGroup& group) {
        for (const kdb::DatabaseEntry* entry : group.getEntries()) {
            if (containsIgnoringCase(entry->getEntryName(), text) ||
                containsIgnoringCase(entry->getURL(), text) ||
                containsIgnoringCase(entry->getComments(), text)) {
                out << groupPathPrefix(group) << escapePathName(entry->getEntryName()) << "\n";
            }
        }
    });
}

} // namespace

// Prints the path of every entry whose title, URL or notes contain the text, ignoring case.
ExitStatus runSearch(const Invocation& invocation, CommandContext& context) {
    const std::shared_ptr<kdb::DatabaseTree> tree = openDatabaseArgument(invocation, context);
    searchGroup(*tree->getRoot(), invocation.arguments[1], context.out);
    return ExitStatus::Success;
}

} // namespace vaultora::cli
