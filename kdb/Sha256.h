#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vaultora::kdb {

using Sha256Digest = std::array<uint8_t, 32>;

// SHA-256 of length bytes into digest.
void sha256(const void* data, std::size_t length, uint8_t* digest);

} // namespace vaultora::kdb
