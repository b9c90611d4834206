#pragma once

#include <cstdint>
#include <memory>

#include "ByteBuffer.h"
#include "CancelFlag.h"
#include "Codec.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

// Turns a master password into the 32-byte key that decrypts a database payload, with the
// master seed, transform seed and number of rounds that the database header supplies.
class MasterKey {
public:
    [[nodiscard]] const std::shared_ptr<ByteBuffer>& _masterSeed() const noexcept {
        return m_masterSeed;
    }
    void set_masterSeed(std::shared_ptr<ByteBuffer> seed) { m_masterSeed = std::move(seed); }
    [[nodiscard]] const std::shared_ptr<ByteBuffer>& _transformSeed() const noexcept {
        return m_transformSeed;
    }
    void set_transformSeed(std::shared_ptr<ByteBuffer> seed) { m_transformSeed = std::move(seed); }
    [[nodiscard]] uint64_t _rounds() const noexcept { return m_rounds; }
    void set_rounds(uint64_t rounds) noexcept { m_rounds = rounds; }

    // SHA-256 of the encoded password (twice for kdbVersion 4), transformed, then hashed
    // with the master seed. A missing master seed, or a transform seed shorter than 32
    // bytes, throws ("InvalidHeader", "InvalidMasterSeed" / "InvalidTransformSeed").
    // Every intermediate value is wiped.
    [[nodiscard]] SecureBytes createFinalKey32ForPasssword(const SecureBytes& passwordUtf8,
                                                           TextEncoding coding,
                                                           uint8_t kdbVersion) const;
    // The same from a composite key (32 bytes) that the caller has built: transformed, then
    // hashed with the master seed. The transform stops with ("Cancelled", "Cancelled") when
    // the flag (which may be null) is set.
    [[nodiscard]] SecureBytes createFinalKey32(const SecureBytes& compositeKey,
                                               const CancelFlag* cancelFlag) const;
    // Encrypts hash32 in place _rounds times and writes its SHA-256 into result32.
    void transformKeyHash(uint8_t* hash32, uint8_t* result32,
                          const CancelFlag* cancelFlag = nullptr) const;

private:
    std::shared_ptr<ByteBuffer> m_masterSeed;
    std::shared_ptr<ByteBuffer> m_transformSeed;
    uint64_t m_rounds = 0;
};

} // namespace vaultora::kdb
