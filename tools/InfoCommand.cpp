#include "Command.h"
#include "DatabaseSource.h"
#include "HeaderFacts.h"

namespace vaultora::cli {

// Reads only the unencrypted header, so it needs no password.
ExitStatus runInfo(const Invocation& invocation, CommandContext& context) {
    const std::unique_ptr<kdb::InputSource> source = loadDatabaseSource(invocation.arguments[0]);
    const HeaderFacts facts = readHeaderFacts(*source);
    context.out << "Format: " << facts.format << "\n"
                << "File version: " << facts.fileVersion << "\n"
                << "Cipher: " << facts.cipher << "\n"
                << "Compression: " << facts.compression << "\n"
                << "Inner stream: " << facts.innerStream << "\n"
                << "Rounds: " << facts.rounds << "\n";
    return ExitStatus::Success;
}

} // namespace vaultora::cli
