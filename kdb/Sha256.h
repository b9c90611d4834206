#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace vaultora::kdb {

using Sha256Digest = std::array<uint8_t, 32>;
using Sha512Digest = std::array<uint8_t, 64>;

// SHA-256 of length bytes into digest.
void sha256(const void* data, std::size_t length, uint8_t* digest);
// SHA-512 of length bytes into digest (64 bytes).
void sha512(const void* data, std::size_t length, uint8_t* digest);
// HMAC-SHA-256 (RFC 2104) under key of the parts one after the other, into digest (32 bytes).
void hmacSha256(std::span<const uint8_t> key, std::initializer_list<std::span<const uint8_t>> parts,
                uint8_t* digest);

} // namespace vaultora::kdb
