#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vaultora::kdb::testing {

using Bytes = std::vector<uint8_t>;

// Reference operations for the test writers, taken straight from OpenSSL and zlib so that
// the files the tests build do not depend on the engine code under test.
Bytes fromHex(std::string_view hex);
Bytes sha256Of(const Bytes& data);
Bytes sha512Of(const Bytes& data);
Bytes hmacSha256Of(const Bytes& key, const Bytes& data);
Bytes aesCbcEncrypt(const Bytes& key, const Bytes& iv, const Bytes& plain);
// Twofish-CBC with PKCS#7 padding, from libgcrypt.
Bytes twofishCbcEncrypt(const Bytes& key, const Bytes& iv, const Bytes& plain);
// rounds of AES-256-ECB over the 32-byte value, one cipher-library call per round.
Bytes aesEcbRounds(const Bytes& key, Bytes value, uint64_t rounds);
// windowBits 31 writes a gzip stream, 15 a zlib stream.
Bytes deflateBytes(const Bytes& data, int windowBits);
std::string base64Of(const Bytes& data);
// The master key of either format from the password bytes exactly as encoded.
Bytes deriveFinalKey(const Bytes& passwordBytes, const Bytes& masterSeed,
                     const Bytes& transformSeed, uint64_t rounds, bool hashTwice);
void appendLE(Bytes& out, uint64_t value, unsigned width);
Bytes textBytes(std::string_view text);

} // namespace vaultora::kdb::testing
