#pragma once

#include <set>
#include <string>
#include <vector>

namespace vaultora::cli {

// One call of the tool, split into the command name, its positional arguments and the
// "--name" options it was given. Everything after a lone "--" is positional.
struct Invocation {
    std::string command;
    std::vector<std::string> arguments;
    std::set<std::string> options;

    [[nodiscard]] bool hasOption(const std::string& name) const { return options.contains(name); }
};

[[nodiscard]] Invocation parseCommandLine(const std::vector<std::string>& words);

} // namespace vaultora::cli
