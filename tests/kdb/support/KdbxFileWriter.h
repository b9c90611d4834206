#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb::testing {

// Writes version-2 files for the reader tests. The header is a list of raw fields that a
// test may change, drop or extend before building the file.
class KdbxFileWriter {
public:
    struct Field {
        uint8_t id;
        Bytes data;
        // The length written into the field when it is to differ from the data's size.
        std::optional<uint16_t> statedLength = std::nullopt;
    };

    KdbxFileWriter();

    uint32_t signature2 = 0xB54BFB67;
    uint32_t fileVersion = 0x00030001;
    uint64_t rounds = 60;
    Bytes masterSeed;
    Bytes transformSeed;
    Bytes iv;
    Bytes protectedStreamKey;
    Bytes startBytes;
    bool compress = true;
    uint32_t randomStreamId = 2;
    std::size_t blockSize = 1024 * 1024;

    // The header fields in file order, end of header included; built from the values above
    // and then open to the test.
    [[nodiscard]] std::vector<Field> headerFields() const;
    // The hashed-block framing of data, ending with the terminating block.
    [[nodiscard]] static Bytes hashedBlocks(const Bytes& data, std::size_t blockSize);

    [[nodiscard]] Bytes file(const Bytes& passwordUtf8, const Bytes& xml) const;
    [[nodiscard]] Bytes file(const Bytes& passwordUtf8, const Bytes& xml,
                             const std::vector<Field>& fields) const;
    // The file with the decrypted payload given as is (after the start bytes).
    [[nodiscard]] Bytes fileWithPayload(const Bytes& passwordUtf8, const Bytes& payload,
                                        const std::vector<Field>& fields) const;
};

} // namespace vaultora::kdb::testing
