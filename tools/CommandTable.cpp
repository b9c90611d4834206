#include "CommandTable.h"

#include <algorithm>

#include "DatabaseSource.h"
#include "InterruptCancel.h"
#include "ServeCommand.h"

namespace vaultora::cli {

namespace {

void printUsage(std::ostream& stream) {
    stream << "Usage: vaultora-cli COMMAND [ARGUMENTS]\n"
              "       vaultora-cli --help | --version\n\nCommands:\n";
    for (const Command& command : commandTable()) {
        std::string line = "  " + std::string(command.name) + " " + std::string(command.arguments);
        line.resize(std::max<std::size_t>(line.size() + 2, 44), ' ');
        stream << line << command.summary << "\n";
    }
    stream << "\nThe master password is read from the first line of standard input, or asked for\n"
              "when standard input is a terminal. Paths are group and entry names joined by "
              "\"/\".\n"
              "Commands that open a database also take --key-file PATH (a key file, with the\n"
              "password or, with --no-password, alone). Ctrl-C while the key is derived stops.\n";
}

[[noreturn]] void usageError(const std::string& message) {
    throw CliError(ExitStatus::Usage, message + " (see vaultora-cli --help)");
}

} // namespace

const std::vector<Command>& commandTable() {
    static const std::vector<Command> commands = {
        {"info",
         "FILE",
         "format, file version, cipher, compression, inner stream, key derivation",
         1,
         1,
         {},
         runInfo},
        {"ls",
         "FILE [GROUP-PATH] [-R] [-f]",
         "list the subgroups and entries of a group (-R below it too, -f as paths)",
         1,
         2,
         {"--recursive", "--flatten", "--key-file", "--no-password"},
         runList},
        {"show",
         "FILE ENTRY-PATH [--show-password]",
         "show the fields of an entry",
         2,
         2,
         {"--show-password", "--key-file", "--no-password"},
         runShow},
        {"search",
         "FILE TEXT",
         "entries whose title, URL or notes contain the text",
         2,
         2,
         {"--key-file", "--no-password"},
         runSearch},
        {"export",
         "--json FILE",
         "the whole database as JSON",
         1,
         1,
         {"--json", "--key-file", "--no-password"},
         runExport},
        {"serve",
         "DIR [--port N]",
         "serve DIR to browsers and store their uploads in it",
         1,
         2,
         {"--port"},
         runServe},
    };
    return commands;
}

std::shared_ptr<kdb::DatabaseTree> openDatabaseArgument(const Invocation& invocation,
                                                        CommandContext& context) {
    std::unique_ptr<kdb::InputSource> source = loadDatabaseSource(invocation.arguments[0]);
    kdb::Credentials credentials;
    if (const std::optional<std::string> keyFile = invocation.optionValue("--key-file")) {
        credentials.keyFileContents = readKeyFile(*keyFile);
    } else if (invocation.hasOption("--no-password")) {
        throw CliError(ExitStatus::Usage,
                       "--no-password needs --key-file (see vaultora-cli --help)");
    }
    if (!invocation.hasOption("--no-password")) {
        credentials.passwordUtf8 = context.readPassword();
    }
    const InterruptCancel interrupt;
    credentials.cancelFlag = &interrupt.flag();
    return openDatabase(std::move(source), credentials);
}

int runCommandLine(const std::vector<std::string>& words, CommandContext& context) {
    try {
        const Invocation invocation = parseCommandLine(words);
        if (invocation.command == "help" || invocation.hasOption("--help")) {
            printUsage(context.out);
            return static_cast<int>(ExitStatus::Success);
        }
        if (invocation.command.empty() && invocation.hasOption("--version")) {
            context.out << "vaultora-cli " << VAULTORA_VERSION << "\n";
            return static_cast<int>(ExitStatus::Success);
        }
        if (invocation.command.empty()) {
            printUsage(context.err);
            return static_cast<int>(ExitStatus::Usage);
        }
        const auto& commands = commandTable();
        const auto command =
            std::find_if(commands.begin(), commands.end(),
                         [&](const Command& each) { return each.name == invocation.command; });
        if (command == commands.end()) {
            usageError("unknown command \"" + invocation.command + "\"");
        }
        for (const std::string& option : invocation.options) {
            if (!command->options.contains(option)) {
                usageError("unknown option " + option + " for " + invocation.command);
            }
        }
        const std::size_t count = invocation.arguments.size();
        if (count < command->minimumArguments || count > command->maximumArguments) {
            usageError("usage: vaultora-cli " + std::string(command->name) + " " +
                       std::string(command->arguments));
        }
        const ExitStatus status = command->run(invocation, context);
        context.out.flush();
        return static_cast<int>(status);
    } catch (const CliError& error) {
        context.out.flush();
        context.err << "vaultora-cli: " << error.what() << "\n";
        return static_cast<int>(error.status());
    }
}

} // namespace vaultora::cli
