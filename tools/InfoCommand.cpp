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
                << "KDF: " << facts.kdf << "\n";
    if (facts.argon2) {
        const kdb::Argon2Parameters& argon2 = *facts.argon2;
        context.out << "Memory: " << argon2.memoryBytes << " bytes\n"
                    << "Iterations: " << argon2.iterations << "\n"
                    << "Parallelism: " << argon2.parallelism << "\n"
                    << "Argon2 version: 0x" << std::hex << argon2.version << std::dec << "\n";
    } else {
        context.out << "Rounds: " << facts.rounds << "\n";
    }
    return ExitStatus::Success;
}

} // namespace vaultora::cli
