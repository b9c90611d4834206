#pragma once

#include <string>
#include <vector>

#include "Command.h"

namespace vaultora::cli {

// Every command the tool knows, in the order the usage text lists them.
[[nodiscard]] const std::vector<Command>& commandTable();

// Runs one call of the tool (the words after the program name) and returns its exit status.
[[nodiscard]] int runCommandLine(const std::vector<std::string>& words, CommandContext& context);

} // namespace vaultora::cli
