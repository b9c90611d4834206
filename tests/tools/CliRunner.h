#pragma once

#include <string>
#include <vector>

namespace vaultora::test {

struct CliResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs the built vaultora-cli with the arguments, feeding standardInput through a pipe (so
// it is never a terminal), and waits for it to end.
[[nodiscard]] CliResult runCli(const std::vector<std::string>& arguments,
                               const std::string& standardInput);

} // namespace vaultora::test
