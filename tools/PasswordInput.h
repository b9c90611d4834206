#pragma once

#include "kdb/SecureBytes.h"

namespace vaultora::cli {

// The master password: the first line of standard input without its line end when standard
// input is not a terminal (an empty line is the empty password), otherwise typed at a prompt
// on standard error with echo switched off. Throws CliError when no line can be read.
[[nodiscard]] kdb::SecureBytes readMasterPassword(int inputDescriptor, int promptDescriptor);

} // namespace vaultora::cli
