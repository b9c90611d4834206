#include <unistd.h>

#include <iostream>

#include "CommandTable.h"
#include "PasswordInput.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    vaultora::cli::CommandContext context{
        std::cout, std::cerr,
        [] { return vaultora::cli::readMasterPassword(STDIN_FILENO, STDERR_FILENO); }};
    return vaultora::cli::runCommandLine({argv + 1, argv + argc}, context);
}
