#include "tests/kdb/support/KdbxFileWriter.h"

namespace vaultora::kdb::testing {

KdbxFileWriter::KdbxFileWriter()
    : masterSeed(fromHex("a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebf")),
      transformSeed(fromHex("c0c1c2c3c4c5c6c7c8c9cacbcccdcecfd0d1d2d3d4d5d6d7d8d9dadbdcdddedf")),
      iv(fromHex("00112233445566778899aabbccddeeff")),
      protectedStreamKey(
          fromHex("5a5b5c5d5e5f606162636465666768696a6b6c6d6e6f70717273747576777879")),
      startBytes(fromHex("e0e1e2e3e4e5e6e7e8e9eaebecedeeeff0f1f2f3f4f5f6f7f8f9fafbfcfdfeff")) {}

std::vector<KdbxFileWriter::Field> KdbxFileWriter::headerFields() const {
    std::vector<Field> fields;
    fields.push_back({2, fromHex("31c1f2e6bf714350be5805216afc5aff")});
    Bytes compression;
    appendLE(compression, compress ? 1 : 0, 4);
    fields.push_back({3, compression});
    fields.push_back({4, masterSeed});
    fields.push_back({5, transformSeed});
    Bytes roundCount;
    appendLE(roundCount, rounds, 8);
    fields.push_back({6, roundCount});
    fields.push_back({7, iv});
    fields.push_back({8, protectedStreamKey});
    fields.push_back({9, startBytes});
    Bytes streamId;
    appendLE(streamId, randomStreamId, 4);
    fields.push_back({10, streamId});
    fields.push_back({0, fromHex("0d0a0d0a")});
    return fields;
}

Bytes KdbxFileWriter::hashedBlocks(const Bytes& data, std::size_t size) {
    Bytes out;
    uint32_t index = 0;
    for (std::size_t offset = 0; offset < data.size(); offset += size) {
        const Bytes block(data.begin() + static_cast<std::ptrdiff_t>(offset),
                          data.begin() +
                              static_cast<std::ptrdiff_t>(std::min(data.size(), offset + size)));
        appendLE(out, index++, 4);
        const Bytes hash = sha256Of(block);
        out.insert(out.end(), hash.begin(), hash.end());
        appendLE(out, block.size(), 4);
        out.insert(out.end(), block.begin(), block.end());
    }
    appendLE(out, index, 4);
    out.insert(out.end(), 32, 0);
    appendLE(out, 0, 4);
    return out;
}

Bytes KdbxFileWriter::file(const Bytes& passwordUtf8, const Bytes& xml) const {
    return file(passwordUtf8, xml, headerFields());
}

Bytes KdbxFileWriter::file(const Bytes& passwordUtf8, const Bytes& xml,
                           const std::vector<Field>& fields) const {
    const Bytes body = compress ? deflateBytes(xml, 31) : xml;
    return fileWithPayload(passwordUtf8, hashedBlocks(body, blockSize), fields);
}

Bytes KdbxFileWriter::fileWithPayload(const Bytes& passwordUtf8, const Bytes& payload,
                                      const std::vector<Field>& fields) const {
    Bytes out;
    appendLE(out, 0x9AA2D903, 4);
    appendLE(out, signature2, 4);
    appendLE(out, fileVersion, 4);
    for (const auto& field : fields) {
        out.push_back(field.id);
        appendLE(out, field.statedLength.value_or(static_cast<uint16_t>(field.data.size())), 2);
        out.insert(out.end(), field.data.begin(), field.data.end());
    }
    Bytes plain = startBytes;
    plain.insert(plain.end(), payload.begin(), payload.end());
    const Bytes key = deriveFinalKey(passwordUtf8, masterSeed, transformSeed, rounds, true);
    const Bytes cipher = aesCbcEncrypt(key, iv, plain);
    out.insert(out.end(), cipher.begin(), cipher.end());
    return out;
}

} // namespace vaultora::kdb::testing
