#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "KeyStreamRandomStream.h"

namespace vaultora::kdb {

// The ChaCha20 key stream (RFC 8439) of the inner stream key: SHA-512 of the key gives the
// 32-byte cipher key and, after it, the 12-byte nonce; the block counter starts at 0.
class ChaCha20RandomStream final : public KeyStreamRandomStream {
public:
    ChaCha20RandomStream(const uint8_t* key, std::size_t length);
    ~ChaCha20RandomStream() override;
    ChaCha20RandomStream(const ChaCha20RandomStream&) = delete;
    ChaCha20RandomStream& operator=(const ChaCha20RandomStream&) = delete;

    void applyKeyStream(uint8_t* bytes, std::size_t length) noexcept override;

private:
    struct Cipher;
    std::unique_ptr<Cipher> m_cipher;
};

} // namespace vaultora::kdb
