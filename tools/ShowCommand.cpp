#include "Command.h"
#include "TreePath.h"

namespace vaultora::cli {

// The standard fields, then the custom fields in model order. The password is hidden unless
// --show-password is given.
ExitStatus runShow(const Invocation& invocation, CommandContext& context) {
    const std::shared_ptr<kdb::DatabaseTree> tree = openDatabaseArgument(invocation, context);
    const std::string& path = invocation.arguments[1];
    const kdb::DatabaseEntry* entry = findEntry(*tree->getRoot(), splitPath(path));
    if (entry == nullptr) {
        throw CliError(ExitStatus::Failure, "no entry at \"" + path + "\"");
    }
    const bool showPassword = invocation.hasOption("--show-password");
    context.out << "Title: " << entry->getEntryName() << "\n"
                << "UserName: " << entry->getUserName() << "\n"
                << "Password: " << (showPassword ? entry->getPassword() : "PROTECTED") << "\n"
                << "URL: " << entry->getURL() << "\n"
                << "Notes: " << entry->getComments() << "\n";
    const uint32_t customCount = entry->getNumberOfCustomAttributes();
    for (uint32_t index = 0; index < customCount; ++index) {
        context.out << entry->getCustomAttributeName(index) << ": "
                    << entry->getCustomAttributeValue(index) << "\n";
    }
    return ExitStatus::Success;
}

} // namespace vaultora::cli
