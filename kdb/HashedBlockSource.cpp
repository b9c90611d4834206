#include "HashedBlockSource.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <openssl/crypto.h>

#include "Codec.h"
#include "DatabaseError.h"
#include "Sha256.h"

namespace vaultora::kdb {

HashedBlockSource::HashedBlockSource(std::unique_ptr<InputSource> source)
    : BlockFramedSource(std::move(source)) {}

bool HashedBlockSource::readBlock() {
    if (m_eof) {
        return false;
    }
    const std::optional<uint64_t> index = Codec::readCompleteLE(dataSource(), 4);
    if (!index) {
        throw DatabaseError("InvalidData", "InvalidBlock");
    }
    if (*index != m_blockIndex) {
        throw DatabaseError("InvalidData", "InvalidBlockIndex");
    }
    ++m_blockIndex;

    Sha256Digest storedHash{};
    if (dataSource().readBytes(storedHash.data(), 32) != 32) {
        throw DatabaseError("InvalidData", "InvalidBlockHashSize");
    }
    const std::optional<uint64_t> size = Codec::readCompleteLE(dataSource(), 4);
    if (!size) {
        throw DatabaseError("InvalidData", "InvalidBlock");
    }

    if (*size == 0) {
        m_block.clear();
        m_eof = true;
        if (std::any_of(storedHash.begin(), storedHash.end(), [](uint8_t b) { return b != 0; })) {
            throw DatabaseError("InvalidData", "InvalidBlockHash");
        }
        return false;
    }

    readBlockPayload(static_cast<uint32_t>(*size));

    Sha256Digest actualHash{};
    sha256(m_block.data(), m_block.size(), actualHash.data());
    if (CRYPTO_memcmp(actualHash.data(), storedHash.data(), actualHash.size()) != 0) {
        throw DatabaseError("InvalidData", "InvalidBlockHash");
    }
    return true;
}

} // namespace vaultora::kdb
