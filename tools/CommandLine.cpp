#include "CommandLine.h"

#include <array>
#include <string_view>

#include "CliError.h"

namespace vaultora::cli {

namespace {
constexpr std::array<std::string_view, 1> kOptionsWithValue = {"--key-file"};

bool takesValue(std::string_view option) {
    for (const std::string_view known : kOptionsWithValue) {
        if (option == known) {
            return true;
        }
    }
    return false;
}
} // namespace

Invocation parseCommandLine(const std::vector<std::string>& words) {
    Invocation invocation;
    bool optionsEnded = false;
    for (std::size_t index = 0; index < words.size(); ++index) {
        const std::string& word = words[index];
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 2 && word.starts_with("--")) {
            const std::size_t equals = word.find('=');
            const std::string name = word.substr(0, equals);
            if (takesValue(name)) {
                if (equals != std::string::npos) {
                    invocation.optionValues[name] = word.substr(equals + 1);
                } else if (index + 1 < words.size()) {
                    invocation.optionValues[name] = words[++index];
                } else {
                    throw CliError(ExitStatus::Usage,
                                   name + " needs a value (see vaultora-cli --help)");
                }
                invocation.options.insert(name);
            } else {
                invocation.options.insert(word);
            }
        } else if (invocation.command.empty() && !optionsEnded) {
            invocation.command = word;
        } else {
            invocation.arguments.push_back(word);
        }
    }
    return invocation;
}

} // namespace vaultora::cli
