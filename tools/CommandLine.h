#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vaultora::cli {

// One call of the tool, split into the command name, its positional arguments and the
// "--name" options it was given. Everything after a lone "--" is positional. Options that
// take a value ("--key-file PATH" or "--key-file=PATH") keep it in optionValues.
struct Invocation {
    std::string command;
    std::vector<std::string> arguments;
    std::set<std::string> options;
    std::map<std::string, std::string> optionValues;

    [[nodiscard]] bool hasOption(const std::string& name) const { return options.contains(name); }
    [[nodiscard]] std::optional<std::string> optionValue(const std::string& name) const {
        const auto found = optionValues.find(name);
        return found == optionValues.end() ? std::nullopt : std::optional(found->second);
    }
};

// Throws CliError (usage) when an option that takes a value comes without one.
[[nodiscard]] Invocation parseCommandLine(const std::vector<std::string>& words);

} // namespace vaultora::cli
