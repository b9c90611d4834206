#pragma once

#include "Command.h"

namespace vaultora::cli {

// serve DIR [--port N]: runs the upload web server over DIR until SIGINT or SIGTERM.
ExitStatus runServe(const Invocation& invocation, CommandContext& context);

} // namespace vaultora::cli
