#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "CliError.h"
#include "CommandLine.h"
#include "kdb/DatabaseModel.h"
#include "kdb/SecureBytes.h"

namespace vaultora::cli {

// What a command may use: its output streams and the way to ask for the master password.
struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    std::function<kdb::SecureBytes()> readPassword;
};

// One line of the command table: adding a command means adding one of these.
struct Command {
    std::string_view name;
    std::string_view arguments; // for the usage text, as in "FILE [GROUP-PATH]"
    std::string_view summary;
    std::size_t minimumArguments;
    std::size_t maximumArguments;
    std::set<std::string, std::less<>> options;
    std::function<ExitStatus(const Invocation&, CommandContext&)> run;
};

// Maps FILE (the first argument), asks for the password unless --no-password is given,
// reads the key file of --key-file and opens the database (commands that read entries).
// Ctrl-C while the key is derived stops the open.
[[nodiscard]] std::shared_ptr<kdb::DatabaseTree> openDatabaseArgument(const Invocation& invocation,
                                                                      CommandContext& context);

ExitStatus runInfo(const Invocation& invocation, CommandContext& context);
ExitStatus runList(const Invocation& invocation, CommandContext& context);
ExitStatus runShow(const Invocation& invocation, CommandContext& context);
ExitStatus runSearch(const Invocation& invocation, CommandContext& context);
ExitStatus runExport(const Invocation& invocation, CommandContext& context);

} // namespace vaultora::cli
