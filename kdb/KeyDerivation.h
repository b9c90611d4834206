#pragma once

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

#include "CancelFlag.h"
#include "SecureBytes.h"
#include "UUID.h"
#include "VariantDictionary.h"

namespace vaultora::kdb {

// AES-KDF: the composite key encrypted rounds times with AES-256-ECB under the seed, then
// hashed with SHA-256 (format 3's transform; format 4 names it in its parameters).
struct AesKdfParameters {
    std::array<uint8_t, 32> seed{};
    uint64_t rounds = 0;
};

// Argon2d or Argon2id (RFC 9106) with a 32-byte output.
struct Argon2Parameters {
    enum class Variant : uint8_t { Argon2d, Argon2id };
    Variant variant = Variant::Argon2d;
    std::vector<uint8_t> salt;
    uint32_t parallelism = 1;
    uint64_t memoryBytes = 0;
    uint64_t iterations = 0;
    uint32_t version = 0x13;
    std::vector<uint8_t> secret;
    std::vector<uint8_t> associatedData;
};

using KdfParameters = std::variant<AesKdfParameters, Argon2Parameters>;

class KeyDerivation {
public:
    KeyDerivation() = delete;

    // The identifiers of the key derivations in format-4 headers. AES-KDF has two: the one
    // format-4 writers use, and the one some writers give a database converted from format 3.
    static const std::array<uint8_t, 16> kAesKdfId;
    static const std::array<uint8_t, 16> kAesKdfLegacyId;
    static const std::array<uint8_t, 16> kArgon2dId;
    static const std::array<uint8_t, 16> kArgon2idId;

    // Reads the parameters of the format-4 header field. An unknown "$UUID" throws
    // ("Unsupported", "UnsupportedKdf"); a missing or ill-typed parameter throws
    // ("InvalidHeader", "InvalidKdfParameters").
    [[nodiscard]] static KdfParameters fromDictionary(const VariantDictionary& dictionary);

    // The transformed key (32 bytes) of the composite key. Parameters the library refuses
    // throw ("InvalidHeader", "InvalidKdfParameters"); an Argon2 memory above
    // argon2MemoryLimit() throws ("ResourceLimit", "KdfMemoryTooLarge") before anything is
    // allocated. A set cancel flag throws ("Cancelled", "Cancelled"); what was derived so
    // far is wiped.
    [[nodiscard]] static SecureBytes transform(const KdfParameters& parameters,
                                               const SecureBytes& compositeKey,
                                               const CancelFlag* cancelFlag);

    // Encrypts value32 in place, rounds times, in steps between which the cancel flag is
    // checked.
    static void aesTransform(const std::array<uint8_t, 32>& seed, uint8_t* value32, uint64_t rounds,
                             const CancelFlag* cancelFlag);

    // The most memory an Argon2 derivation may ask for: half the physical memory, at most
    // 4 GiB.
    [[nodiscard]] static uint64_t argon2MemoryLimit() noexcept;
};

} // namespace vaultora::kdb
