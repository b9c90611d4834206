#include "CommandLine.h"

namespace vaultora::cli {

Invocation parseCommandLine(const std::vector<std::string>& words) {
    Invocation invocation;
    bool optionsEnded = false;
    for (const std::string& word : words) {
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 2 && word.starts_with("--")) {
            invocation.options.insert(word);
        } else if (invocation.command.empty() && !optionsEnded) {
            invocation.command = word;
        } else {
            invocation.arguments.push_back(word);
        }
    }
    return invocation;
}

} // namespace vaultora::cli
