#pragma once

#include <cstdint>
#include <vector>

#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb::testing {

// Writes format-4 files for the reader tests and the fuzz target: AES-256 with AES-KDF, the
// header with its hash and HMAC, the HMAC blocks, optional gzip, and the inner header. Built
// from OpenSSL and zlib directly, so that the files do not depend on the engine code.
class Kdbx4FileWriter {
public:
    Kdbx4FileWriter();

    uint32_t fileVersion = 0x00040001;
    uint64_t rounds = 2;
    Bytes masterSeed;
    Bytes kdfSeed;
    Bytes iv;
    bool compress = true;
    uint32_t innerStreamId = 3;
    Bytes innerStreamKey;
    std::vector<Bytes> binaries;
    std::size_t blockSize = 1024 * 1024;

    // The inner header of the values above, end field included.
    [[nodiscard]] Bytes innerHeader() const;
    // The whole file for the XML document.
    [[nodiscard]] Bytes file(const Bytes& passwordUtf8, const Bytes& xml) const;
    // The whole file with the decrypted payload (inner header and XML) given as is.
    [[nodiscard]] Bytes fileWithPayload(const Bytes& passwordUtf8, const Bytes& payload) const;
};

} // namespace vaultora::kdb::testing
