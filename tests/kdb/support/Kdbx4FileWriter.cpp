#include "tests/kdb/support/Kdbx4FileWriter.h"

#include <algorithm>

namespace vaultora::kdb::testing {

namespace {

void appendField(Bytes& out, uint8_t id, const Bytes& data) {
    out.push_back(id);
    appendLE(out, data.size(), 4);
    out.insert(out.end(), data.begin(), data.end());
}

void appendItem(Bytes& out, uint8_t type, std::string_view name, const Bytes& value) {
    out.push_back(type);
    appendLE(out, name.size(), 4);
    out.insert(out.end(), name.begin(), name.end());
    appendLE(out, value.size(), 4);
    out.insert(out.end(), value.begin(), value.end());
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

Bytes littleEndian(uint64_t value, unsigned width) {
    Bytes bytes;
    appendLE(bytes, value, width);
    return bytes;
}

} // namespace

Kdbx4FileWriter::Kdbx4FileWriter()
    : masterSeed(fromHex("a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebfc0")),
      kdfSeed(fromHex("0f0e0d0c0b0a09080706050403020100f0e1d2c3b4a5968778695a4b3c2d1e0f")),
      iv(fromHex("00112233445566778899aabbccddeeff")),
      innerStreamKey(fromHex("5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a"
                             "a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5")) {}

Bytes Kdbx4FileWriter::innerHeader() const {
    Bytes header;
    appendField(header, 1, littleEndian(innerStreamId, 4));
    appendField(header, 2, innerStreamKey);
    for (const Bytes& binary : binaries) {
        appendField(header, 3, concat({Bytes{0x01}, binary}));
    }
    appendField(header, 0, {});
    return header;
}

Bytes Kdbx4FileWriter::file(const Bytes& passwordUtf8, const Bytes& xml) const {
    return fileWithPayload(passwordUtf8, concat({innerHeader(), xml}));
}

Bytes Kdbx4FileWriter::fileWithPayload(const Bytes& passwordUtf8, const Bytes& payload) const {
    // AES-KDF parameters: "$UUID", "R" and "S".
    Bytes kdf = {0x00, 0x01};
    appendItem(kdf, 0x42, "$UUID", fromHex("c9d9f39a628a4460bf740d08c18a4fea"));
    appendItem(kdf, 0x05, "R", littleEndian(rounds, 8));
    appendItem(kdf, 0x42, "S", kdfSeed);
    kdf.push_back(0);

    Bytes header;
    appendLE(header, 0x9AA2D903, 4);
    appendLE(header, 0xB54BFB67, 4);
    appendLE(header, fileVersion, 4);
    appendField(header, 2, fromHex("31c1f2e6bf714350be5805216afc5aff"));
    appendField(header, 3, littleEndian(compress ? 1 : 0, 4));
    appendField(header, 4, masterSeed);
    appendField(header, 7, iv);
    appendField(header, 11, kdf);
    appendField(header, 0, fromHex("0d0a0d0a"));

    const Bytes composite = sha256Of(sha256Of(passwordUtf8));
    const Bytes transformed = sha256Of(aesEcbRounds(kdfSeed, composite, rounds));
    const Bytes cipherKey = sha256Of(concat({masterSeed, transformed}));
    const Bytes hmacBase = sha512Of(concat({masterSeed, transformed, Bytes{0x01}}));
    const auto blockKey = [&hmacBase](uint64_t index) {
        return sha512Of(concat({littleEndian(index, 8), hmacBase}));
    };

    Bytes out = header;
    const Bytes headerHash = sha256Of(header);
    const Bytes headerHmac = hmacSha256Of(blockKey(UINT64_MAX), header);
    out.insert(out.end(), headerHash.begin(), headerHash.end());
    out.insert(out.end(), headerHmac.begin(), headerHmac.end());

    const Bytes encrypted =
        aesCbcEncrypt(cipherKey, iv, compress ? deflateBytes(payload, 31) : payload);
    uint64_t index = 0;
    for (std::size_t offset = 0;; offset += blockSize, ++index) {
        const std::size_t size =
            std::min(blockSize, encrypted.size() - std::min(offset, encrypted.size()));
        const Bytes data(
            encrypted.begin() + static_cast<std::ptrdiff_t>(std::min(offset, encrypted.size())),
            encrypted.begin() +
                static_cast<std::ptrdiff_t>(std::min(offset, encrypted.size()) + size));
        const Bytes sizeBytes = littleEndian(size, 4);
        const Bytes hmac =
            hmacSha256Of(blockKey(index), concat({littleEndian(index, 8), sizeBytes, data}));
        out.insert(out.end(), hmac.begin(), hmac.end());
        out.insert(out.end(), sizeBytes.begin(), sizeBytes.end());
        out.insert(out.end(), data.begin(), data.end());
        if (size == 0) {
            return out;
        }
    }
}

} // namespace vaultora::kdb::testing
