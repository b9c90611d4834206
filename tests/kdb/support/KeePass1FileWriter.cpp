#include "tests/kdb/support/KeePass1FileWriter.h"

namespace vaultora::kdb::testing {

void KeePass1FileWriter::field(Bytes& record, uint16_t type, const Bytes& data) {
    appendLE(record, type, 2);
    appendLE(record, data.size(), 4);
    record.insert(record.end(), data.begin(), data.end());
}

void KeePass1FileWriter::numberField(Bytes& record, uint16_t type, uint64_t value, unsigned width) {
    Bytes data;
    appendLE(data, value, width);
    field(record, type, data);
}

void KeePass1FileWriter::textField(Bytes& record, uint16_t type, std::string_view text) {
    Bytes data = textBytes(text);
    data.push_back(0);
    field(record, type, data);
}

void KeePass1FileWriter::endField(Bytes& record) {
    field(record, 0xFFFF, {});
}

Bytes KeePass1FileWriter::group(uint32_t id, std::string_view name, std::optional<uint16_t> level) {
    Bytes record;
    numberField(record, 0x0001, id, 4);
    textField(record, 0x0002, name);
    if (level) {
        numberField(record, 0x0008, *level, 2);
    }
    endField(record);
    return record;
}

Bytes KeePass1FileWriter::entry(uint32_t groupId, std::string_view title, std::string_view userName,
                                std::string_view password) {
    Bytes record;
    field(record, 0x0001, fromHex("00112233445566778899aabbccddeeff"));
    numberField(record, 0x0002, groupId, 4);
    numberField(record, 0x0003, 1, 4);
    textField(record, 0x0004, title);
    textField(record, 0x0006, userName);
    textField(record, 0x0007, password);
    endField(record);
    return record;
}

Bytes KeePass1FileWriter::file(const Bytes& payload, uint32_t numGroups, uint32_t numEntries,
                               const Bytes& passwordBytes) const {
    Bytes out;
    appendLE(out, 0x9AA2D903, 4);
    appendLE(out, 0xB54BFB65, 4);
    appendLE(out, flags, 4);
    appendLE(out, version, 4);
    out.insert(out.end(), masterSeed.begin(), masterSeed.end());
    out.insert(out.end(), iv.begin(), iv.end());
    appendLE(out, numGroups, 4);
    appendLE(out, numEntries, 4);
    out.insert(out.end(), contentHash.begin(), contentHash.end());
    out.insert(out.end(), transformSeed.begin(), transformSeed.end());
    appendLE(out, rounds, 4);
    const Bytes key = deriveFinalKey(passwordBytes, masterSeed, transformSeed, rounds, false);
    // The 1.x format reads AES when the AES flag is set, Twofish when only the Twofish flag is.
    const Bytes cipher = (flags & 2) == 0 && (flags & 8) != 0 ? twofishCbcEncrypt(key, iv, payload)
                                                              : aesCbcEncrypt(key, iv, payload);
    out.insert(out.end(), cipher.begin(), cipher.end());
    return out;
}

} // namespace vaultora::kdb::testing
