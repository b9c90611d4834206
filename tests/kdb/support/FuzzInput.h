#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb::testing {

// The inputs of the database fuzz target, shared with the test that replays the inputs it
// once failed on. The first byte picks one of three shapes, so that mutations reach the code
// behind the decryption as well as the headers:
//   0  a whole database file: [0, n, n password bytes (UTF-8), file bytes...]
//   1  a version-2 payload: [1, flags, stream id, 32-byte inner stream key, payload...]; the
//      header is written here and the payload encrypted behind the start bytes. Flags bit 0:
//      the header says gzip; bit 1: the payload is already in hashed blocks, otherwise it is
//      cut into blocks here (so that mutated XML still passes the block hashes); bit 2 (with
//      bit 0, without bit 1): the payload is the XML and is compressed here
//   2  a version-1 payload: [2, groups (4, LE), entries (4, LE), payload...]; the header is
//      written here and the payload encrypted
struct FuzzDatabase {
    Bytes file;
    std::string password;
};

// Rounds above this are lowered to it in whole files: a header may legitimately ask for 2^64
// rounds, which would keep one input busy for ever.
inline constexpr uint64_t kFuzzRoundCap = 64;
// Likewise for Argon2 in format-4 headers: passes, memory (bytes) and lanes.
inline constexpr uint64_t kFuzzArgon2IterationCap = 2;
inline constexpr uint64_t kFuzzArgon2MemoryCap = 1024 * 1024;
inline constexpr uint64_t kFuzzArgon2LaneCap = 4;

// The database and password an input stands for; nothing for inputs too short to say.
[[nodiscard]] std::optional<FuzzDatabase> decodeFuzzInput(std::span<const uint8_t> input);

// Lowers every rounds field the readers would take from the file to kFuzzRoundCap, and the
// Argon2 costs of a format-4 header to the caps above; a format-4 header so changed gets its
// hash renewed, so that the input still reaches the key derivation.
void capRounds(Bytes& file);

} // namespace vaultora::kdb::testing
