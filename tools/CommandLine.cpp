#include "CommandLine.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "CliError.h"

namespace vaultora::cli {

namespace {
constexpr std::array<std::string_view, 1> kOptionsWithValue = {"--key-file"};

// The one-letter spellings of options, as users of other KeePass command-line tools type them.
constexpr std::array<std::pair<char, std::string_view>, 2> kShortOptions = {{
    {'R', "--recursive"},
    {'f', "--flatten"},
}};

std::optional<std::string_view> longNameOf(char letter) {
    for (const auto& [shortName, longName] : kShortOptions) {
        if (shortName == letter) {
            return longName;
        }
    }
    return std::nullopt;
}

// "-R", "-f" or a run of such letters ("-Rf"); a word with any other letter is not options,
// so that it stays what it was before short options existed: a positional argument.
std::optional<std::vector<std::string_view>> shortOptions(std::string_view word) {
    if (word.size() < 2 || word[0] != '-' || word[1] == '-') {
        return std::nullopt;
    }
    std::vector<std::string_view> names;
    for (const char letter : word.substr(1)) {
        const std::optional<std::string_view> name = longNameOf(letter);
        if (!name) {
            return std::nullopt;
        }
        names.push_back(*name);
    }
    return names;
}

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
        } else if (const auto names = optionsEnded ? std::nullopt : shortOptions(word)) {
            for (const std::string_view name : *names) {
                invocation.options.emplace(name);
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
