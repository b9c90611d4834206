#include "tests/kdb/support/FuzzInput.h"

#include "tests/kdb/support/Kdbx4FileWriter.h"
#include "tests/kdb/support/KdbxFileWriter.h"

#include <algorithm>

namespace vaultora::kdb::testing {

namespace {

constexpr uint32_t kSignature1 = 0x9AA2D903;
constexpr uint32_t kSignatureVersion1 = 0xB54BFB65;
constexpr uint32_t kSignatureVersion2 = 0xB54BFB67;
constexpr char kPayloadPassword[] = "fuzz";
constexpr uint64_t kPayloadRounds = 1;

uint64_t readLE(const uint8_t* bytes, unsigned width) {
    uint64_t value = 0;
    for (unsigned index = 0; index < width; ++index) {
        value |= static_cast<uint64_t>(bytes[index]) << (8 * index);
    }
    return value;
}

void writeLE(uint8_t* bytes, uint64_t value, unsigned width) {
    for (unsigned index = 0; index < width; ++index) {
        bytes[index] = static_cast<uint8_t>(value >> (8 * index));
    }
}

void appendField(Bytes& out, uint8_t field, const Bytes& data) {
    out.push_back(field);
    appendLE(out, data.size(), 2);
    out.insert(out.end(), data.begin(), data.end());
}

const Bytes& masterSeed32() {
    static const Bytes seed =
        fromHex("3141592653589793238462643383279502884197169399375105820974944592");
    return seed;
}
const Bytes& masterSeed16() {
    static const Bytes seed = fromHex("000102030405060708090a0b0c0d0e0f");
    return seed;
}
const Bytes& transformSeed() {
    static const Bytes seed =
        fromHex("2718281828459045235360287471352662497757247093699959574966967627");
    return seed;
}
const Bytes& encryptionIV() {
    static const Bytes iv = fromHex("98765432100123456789abcdeffedcba");
    return iv;
}
const Bytes& startBytes() {
    static const Bytes bytes =
        fromHex("55aa112233445566778899000abcdef102030405060708090a0b0c0d0e0f1011");
    return bytes;
}

Bytes version4File(std::span<const uint8_t> input) {
    Kdbx4FileWriter writer;
    writer.rounds = kPayloadRounds;
    writer.compress = (input[0] & 1) != 0;
    writer.blockSize = 4096;
    return writer.fileWithPayload(textBytes(kPayloadPassword),
                                  Bytes(input.begin() + 34, input.end()));
}

// Caps the Argon2 and AES-KDF costs in the variant dictionary of a format-4 header field.
void capKdfParameters(uint8_t* dictionary, std::size_t length) {
    std::size_t offset = 2;
    while (offset + 1 <= length && dictionary[offset] != 0) {
        const uint8_t type = dictionary[offset];
        if (offset + 5 > length) {
            return;
        }
        const uint64_t nameLength = readLE(dictionary + offset + 1, 4);
        if (nameLength > length - offset - 5) {
            return;
        }
        const std::string name(reinterpret_cast<const char*>(dictionary + offset + 5), nameLength);
        offset += 5 + nameLength;
        if (offset + 4 > length) {
            return;
        }
        const uint64_t valueLength = readLE(dictionary + offset, 4);
        offset += 4;
        if (valueLength > length - offset) {
            return;
        }
        uint8_t* value = dictionary + offset;
        const auto cap = [&](uint64_t limit) {
            if ((type == 0x05 && valueLength == 8) || (type == 0x04 && valueLength == 4)) {
                const unsigned width = static_cast<unsigned>(valueLength);
                writeLE(value, std::min(readLE(value, width), limit), width);
            }
        };
        if (name == "R") {
            cap(kFuzzRoundCap);
        } else if (name == "I") {
            cap(kFuzzArgon2IterationCap);
        } else if (name == "M") {
            cap(kFuzzArgon2MemoryCap);
        } else if (name == "P") {
            cap(kFuzzArgon2LaneCap);
        }
        offset += valueLength;
    }
}

// Format 4: fields of id and 4-byte length; the header's SHA-256 follows the end field.
void capFormat4(Bytes& file) {
    std::size_t offset = 12;
    while (offset + 5 <= file.size()) {
        const uint8_t field = file[offset];
        const uint64_t length = readLE(file.data() + offset + 1, 4);
        offset += 5;
        if (length > file.size() - offset) {
            return;
        }
        if (field == 11) {
            capKdfParameters(file.data() + offset, length);
        }
        offset += length;
        if (field == 0) {
            if (offset + 32 <= file.size()) {
                const Bytes hash = sha256Of(
                    Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(offset)));
                std::copy(hash.begin(), hash.end(),
                          file.begin() + static_cast<std::ptrdiff_t>(offset));
            }
            return;
        }
    }
}

Bytes version2File(std::span<const uint8_t> input) {
    const uint8_t flags = input[0];
    if ((flags & 8) != 0) {
        return version4File(input);
    }
    const uint8_t streamId = input[1] % 3;
    const Bytes streamKey(input.begin() + 2, input.begin() + 34);
    Bytes file;
    appendLE(file, kSignature1, 4);
    appendLE(file, kSignatureVersion2, 4);
    appendLE(file, 0x00030001, 4);
    appendField(file, 2, fromHex("31c1f2e6bf714350be5805216afc5aff"));
    appendField(file, 3, Bytes{static_cast<uint8_t>(flags & 1), 0, 0, 0});
    appendField(file, 4, masterSeed32());
    appendField(file, 5, transformSeed());
    Bytes rounds;
    appendLE(rounds, kPayloadRounds, 8);
    appendField(file, 6, rounds);
    appendField(file, 7, encryptionIV());
    appendField(file, 8, streamKey);
    appendField(file, 9, startBytes());
    appendField(file, 10, Bytes{streamId, 0, 0, 0});
    appendField(file, 0, {});

    Bytes payload(input.begin() + 34, input.end());
    if ((flags & 2) == 0) {
        if ((flags & 5) == 5) {
            payload = deflateBytes(payload, 31);
        }
        payload = KdbxFileWriter::hashedBlocks(payload, 65536);
    }
    Bytes plain = startBytes();
    plain.insert(plain.end(), payload.begin(), payload.end());
    static const Bytes key = deriveFinalKey(textBytes(kPayloadPassword), masterSeed32(),
                                            transformSeed(), kPayloadRounds, true);
    const Bytes cipher = aesCbcEncrypt(key, encryptionIV(), plain);
    file.insert(file.end(), cipher.begin(), cipher.end());
    return file;
}

Bytes version1File(std::span<const uint8_t> input) {
    Bytes file;
    appendLE(file, kSignature1, 4);
    appendLE(file, kSignatureVersion1, 4);
    appendLE(file, 2, 4);
    appendLE(file, 0x00030002, 4);
    file.insert(file.end(), masterSeed16().begin(), masterSeed16().end());
    file.insert(file.end(), encryptionIV().begin(), encryptionIV().end());
    file.insert(file.end(), input.begin(), input.begin() + 8);
    file.insert(file.end(), 32, 0);
    file.insert(file.end(), transformSeed().begin(), transformSeed().end());
    appendLE(file, kPayloadRounds, 4);
    static const Bytes key = deriveFinalKey(textBytes(kPayloadPassword), masterSeed16(),
                                            transformSeed(), kPayloadRounds, false);
    const Bytes cipher = aesCbcEncrypt(key, encryptionIV(), Bytes(input.begin() + 8, input.end()));
    file.insert(file.end(), cipher.begin(), cipher.end());
    return file;
}

} // namespace

std::optional<FuzzDatabase> decodeFuzzInput(std::span<const uint8_t> input) {
    if (input.size() < 2) {
        return std::nullopt;
    }
    const std::span<const uint8_t> rest = input.subspan(1);
    switch (input[0] % 3) {
    case 0: {
        const std::size_t length = rest[0];
        if (rest.size() < 1 + length) {
            return std::nullopt;
        }
        FuzzDatabase database{Bytes(rest.begin() + 1 + length, rest.end()),
                              std::string(rest.begin() + 1, rest.begin() + 1 + length)};
        capRounds(database.file);
        return database;
    }
    case 1:
        if (rest.size() < 34) {
            return std::nullopt;
        }
        return FuzzDatabase{version2File(rest), kPayloadPassword};
    default:
        if (rest.size() < 8) {
            return std::nullopt;
        }
        return FuzzDatabase{version1File(rest), kPayloadPassword};
    }
}

void capRounds(Bytes& file) {
    if (file.size() < 8 || readLE(file.data(), 4) != kSignature1) {
        return;
    }
    if (readLE(file.data() + 4, 4) == kSignatureVersion1) {
        constexpr std::size_t roundsOffset = 120;
        if (file.size() >= roundsOffset + 4) {
            uint8_t* rounds = file.data() + roundsOffset;
            writeLE(rounds, std::min(readLE(rounds, 4), kFuzzRoundCap), 4);
        }
        return;
    }
    if (file.size() >= 12 && readLE(file.data() + 10, 2) >= 4) {
        capFormat4(file);
        return;
    }
    // The version-2 reader reads the rounds at 8 bytes, and the compression flags and the
    // stream id at 4, whatever length their fields state.
    std::size_t offset = 12;
    while (offset + 3 <= file.size()) {
        const uint8_t field = file[offset];
        const auto length = static_cast<std::size_t>(readLE(file.data() + offset + 1, 2));
        offset += 3;
        if (field == 0) {
            return;
        }
        if (field == 6) {
            if (offset + 8 > file.size()) {
                return;
            }
            writeLE(file.data() + offset, std::min(readLE(file.data() + offset, 8), kFuzzRoundCap),
                    8);
            offset += 8;
        } else {
            offset += (field == 3 || field == 10) ? 4 : length;
        }
    }
}

} // namespace vaultora::kdb::testing
