#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb::testing {

// Writes version-1 files for the reader tests, including the malformed ones no real writer
// produces. Records are built field by field so a test can leave fields out or add odd ones.
class KeePass1FileWriter {
public:
    uint32_t flags = 2;
    uint32_t version = 0x00030002;
    uint32_t rounds = 50;
    Bytes masterSeed = fromHex("000102030405060708090a0b0c0d0e0f");
    Bytes iv = fromHex("f0e0d0c0b0a090807060504030201000");
    Bytes transformSeed =
        fromHex("1112131415161718191a1b1c1d1e1f202122232425262728292a2b2c2d2e2f30");
    Bytes contentHash = Bytes(32, 0xAB);

    static void field(Bytes& record, uint16_t type, const Bytes& data);
    static void numberField(Bytes& record, uint16_t type, uint64_t value, unsigned width);
    // A text field with its terminating zero, as the writers store them.
    static void textField(Bytes& record, uint16_t type, std::string_view text);
    static void endField(Bytes& record);
    // A group record with id, name and, when given, level.
    static Bytes group(uint32_t id, std::string_view name, std::optional<uint16_t> level);
    // An entry record with a 16-byte identifier, group id, title, user name and password.
    static Bytes entry(uint32_t groupId, std::string_view title, std::string_view userName,
                       std::string_view password);

    // The whole file: signatures, header and the payload encrypted with the key of the
    // password bytes (already in the file's Windows-1252 encoding).
    [[nodiscard]] Bytes file(const Bytes& payload, uint32_t numGroups, uint32_t numEntries,
                             const Bytes& passwordBytes) const;
};

} // namespace vaultora::kdb::testing
