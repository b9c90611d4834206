#include <string>
#include <vector>

#include "Command.h"
#include "TreePath.h"

namespace vaultora::cli {

namespace {

// A group whose listing is under way: how much of the shared prefix its lines start with
// and the next of its subgroups to list.
struct GroupListing {
    const kdb::DatabaseGroup* group;
    std::size_t prefixLength;
    std::vector<kdb::DatabaseGroup*> subGroups;
    std::size_t nextSubGroup = 0;
};

} // namespace

// Subgroups first, each with a trailing "/", then entries, both in model order. With
// --recursive each subgroup's own listing follows its line, indented by two spaces a level,
// or, with --flatten, every line carries its path from the listed group instead. The walk
// keeps its own work list, so groups nested however deep are listed without recursion, and
// the groups under way share one prefix (indentation or path), so memory stays linear in the
// depth.
ExitStatus runList(const Invocation& invocation, CommandContext& context) {
    const std::shared_ptr<kdb::DatabaseTree> tree = openDatabaseArgument(invocation, context);
    const std::string path = invocation.arguments.size() > 1 ? invocation.arguments[1] : "";
    kdb::DatabaseGroup* group = findGroup(*tree->getRoot(), splitPath(path));
    if (group == nullptr) {
        throw CliError(ExitStatus::Failure, "no group at \"" + path + "\"");
    }
    const bool recursive = invocation.hasOption("--recursive");
    const bool flatten = invocation.hasOption("--flatten");

    std::string prefix;
    std::vector<GroupListing> listings;
    listings.push_back({group, 0, group->getSubGroups()});
    while (!listings.empty()) {
        GroupListing& current = listings.back();
        prefix.resize(current.prefixLength);
        if (current.nextSubGroup < current.subGroups.size()) {
            const kdb::DatabaseGroup* subGroup = current.subGroups[current.nextSubGroup++];
            const std::string name = escapePathName(subGroup->getGroupName());
            context.out << prefix << name << "/\n";
            if (recursive) {
                if (flatten) {
                    prefix.append(name).push_back('/');
                } else {
                    prefix.append("  ");
                }
                // current is not used past this point: the push may move it.
                listings.push_back({subGroup, prefix.size(), subGroup->getSubGroups()});
            }
            continue;
        }
        for (const kdb::DatabaseEntry* entry : current.group->getEntries()) {
            context.out << prefix << escapePathName(entry->getEntryName()) << '\n';
        }
        listings.pop_back();
    }
    return ExitStatus::Success;
}

} // namespace vaultora::cli
