#include "Command.h"
#include "TreePath.h"

namespace vaultora::cli {

// Subgroups first, each with a trailing "/", then entries, both in model order.
ExitStatus runList(const Invocation& invocation, CommandContext& context) {
    const std::shared_ptr<kdb::DatabaseTree> tree = openDatabaseArgument(invocation, context);
    const std::string path = invocation.arguments.size() > 1 ? invocation.arguments[1] : "";
    kdb::DatabaseGroup* group = findGroup(*tree->getRoot(), splitPath(path));
    if (group == nullptr) {
        throw CliError(ExitStatus::Failure, "no group at \"" + path + "\"");
    }
    for (const kdb::DatabaseGroup* subGroup : group->getSubGroups()) {
        context.out << escapePathName(subGroup->getGroupName()) << "/\n";
    }
    for (const kdb::DatabaseEntry* entry : group->getEntries()) {
        context.out << escapePathName(entry->getEntryName()) << "\n";
    }
    return ExitStatus::Success;
}

} // namespace vaultora::cli
