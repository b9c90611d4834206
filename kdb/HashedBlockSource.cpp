#include "HashedBlockSource.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <openssl/crypto.h>

#include "Codec.h"
#include "DatabaseError.h"
#include "Sha256.h"

namespace vaultora::kdb {

namespace {
// Payloads are read in steps of this size and the block grows only as bytes arrive, so a
// size field larger than the data left never allocates more than the data itself.
constexpr uint32_t kReadStep = 1u << 20;
} // namespace

HashedBlockSource::HashedBlockSource(std::unique_ptr<InputSource> source)
    : m_dataSource(std::move(source)) {}

bool HashedBlockSource::readBlock() {
    if (m_eof) {
        return false;
    }
    const std::optional<uint64_t> index = Codec::readCompleteLE(*m_dataSource, 4);
    if (!index) {
        throw DatabaseError("InvalidData", "InvalidBlock");
    }
    if (*index != m_blockIndex) {
        throw DatabaseError("InvalidData", "InvalidBlockIndex");
    }
    ++m_blockIndex;

    Sha256Digest storedHash{};
    if (m_dataSource->readBytes(storedHash.data(), 32) != 32) {
        throw DatabaseError("InvalidData", "InvalidBlockHashSize");
    }
    const std::optional<uint64_t> size = Codec::readCompleteLE(*m_dataSource, 4);
    if (!size) {
        throw DatabaseError("InvalidData", "InvalidBlock");
    }

    m_block.clear();
    m_blockOffset = 0;
    if (*size == 0) {
        m_eof = true;
        if (std::any_of(storedHash.begin(), storedHash.end(), [](uint8_t b) { return b != 0; })) {
            throw DatabaseError("InvalidData", "InvalidBlockHash");
        }
        return false;
    }

    const auto wanted = static_cast<uint32_t>(*size);
    uint32_t filled = 0;
    while (filled < wanted) {
        const uint32_t step = std::min(wanted - filled, std::max(kReadStep, filled));
        m_block.resize(static_cast<std::size_t>(filled) + step);
        const uint32_t got = m_dataSource->readBytes(m_block.data() + filled, step);
        filled += got;
        if (got < step) {
            throw DatabaseError("InvalidData", "InvalidBlock");
        }
    }

    Sha256Digest actualHash{};
    sha256(m_block.data(), m_block.size(), actualHash.data());
    if (CRYPTO_memcmp(actualHash.data(), storedHash.data(), actualHash.size()) != 0) {
        throw DatabaseError("InvalidData", "InvalidBlockHash");
    }
    return true;
}

uint32_t HashedBlockSource::readBytes(void* destination, uint32_t length) {
    if (m_eof) {
        return 0;
    }
    auto* target = static_cast<uint8_t*>(destination);
    uint32_t delivered = 0;
    while (delivered < length) {
        if (m_blockOffset >= m_block.size()) {
            if (!readBlock()) {
                return delivered;
            }
        }
        const auto count = static_cast<uint32_t>(
            std::min<std::size_t>(length - delivered, m_block.size() - m_blockOffset));
        std::memcpy(target + delivered, m_block.data() + m_blockOffset, count);
        m_blockOffset += count;
        delivered += count;
    }
    return delivered;
}

uint32_t HashedBlockSource::lengthOfRemainingReadbleBytes() {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

uint32_t HashedBlockSource::setReadOffset(uint32_t) {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

uint32_t HashedBlockSource::moveReadOffset(int32_t) {
    throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
}

} // namespace vaultora::kdb
