// libFuzzer entry point: the format detector with both readers behind it.
//
// The first byte of an input picks one of three shapes, so that mutations reach the code
// behind the decryption as well as the headers:
//   0  a whole database file: [0, n, n password bytes (UTF-8), file bytes...]
//   1  a version-2 payload after its start bytes: [1, flags, stream id, 32-byte inner stream
//      key, payload...]; the harness writes the header and encrypts the payload itself
//      (flags bit 0: gzip)
//   2  a version-1 payload: [2, groups (4, LE), entries (4, LE), payload...]; the harness
//      writes the header and encrypts the payload itself
// Key transformation rounds above kRoundCap are lowered to kRoundCap in whole files, since a
// header may legitimately ask for 2^64 rounds and each of them takes the engine 14 AES steps.
#include "kdb/KdbException.h"
#include "kdb/KdbPassword.h"
#include "kdb/KdbReaderFactory.h"
#include "kdb/WrapperNSData.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr uint64_t kRoundCap = 64;
constexpr uint32_t kSignature1 = 0x9AA2D903;
constexpr uint32_t kSignatureVersion1 = 0xB54BFB65;
constexpr uint32_t kSignatureVersion2 = 0xB54BFB67;
constexpr char kPayloadPassword[] = "fuzz";

using Bytes = std::vector<uint8_t>;

void appendLE(Bytes& out, uint64_t value, unsigned width) {
    for (unsigned index = 0; index < width; ++index) {
        out.push_back(static_cast<uint8_t>(value >> (8 * index)));
    }
}

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

// Lowers every rounds field the readers would take from this file. The version-2 reader
// reads 8 bytes for the rounds field whatever length the field states.
void capRounds(Bytes& file) {
    if (file.size() < 8 || readLE(file.data(), 4) != kSignature1) {
        return;
    }
    const uint64_t second = readLE(file.data() + 4, 4);
    if (second == kSignatureVersion1) {
        constexpr std::size_t roundsOffset = 120;
        if (file.size() >= roundsOffset + 4) {
            writeLE(file.data() + roundsOffset,
                    std::min<uint64_t>(readLE(file.data() + roundsOffset, 4), kRoundCap), 4);
        }
        return;
    }
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
            writeLE(file.data() + offset, std::min(readLE(file.data() + offset, 8), kRoundCap), 8);
            offset += 8;
            continue;
        }
        // Compression flags and the stream id are read at 4 bytes whatever their length.
        offset += (field == 3 || field == 10) ? 4 : length;
    }
}

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const noexcept { EVP_CIPHER_CTX_free(context); }
};

Bytes encrypt(const kdb::SecureBytes& key, const uint8_t* iv, const Bytes& plain) {
    const std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree> context(EVP_CIPHER_CTX_new());
    Bytes out(plain.size() + 16);
    int written = 0;
    int last = 0;
    if (!context ||
        EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.data(), iv) != 1 ||
        EVP_EncryptUpdate(context.get(), out.data(), &written, plain.data(),
                          static_cast<int>(plain.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), out.data() + written, &last) != 1) {
        __builtin_trap();
    }
    out.resize(static_cast<std::size_t>(written + last));
    return out;
}

kdb::SecureBytes payloadKey(const std::array<uint8_t, 16>& masterSeed16,
                            const std::array<uint8_t, 32>& masterSeed32,
                            const std::array<uint8_t, 32>& transformSeed, uint8_t kdbVersion) {
    kdb::KdbPassword password;
    if (kdbVersion == 3) {
        password.set_masterSeed(std::make_shared<kdb::ByteBuffer>(masterSeed16.data(), 16));
    } else {
        password.set_masterSeed(std::make_shared<kdb::ByteBuffer>(masterSeed32.data(), 32));
    }
    password.set_transformSeed(std::make_shared<kdb::ByteBuffer>(transformSeed.data(), 32));
    password.set_rounds(1);
    return password.createFinalKey32ForPasssword(
        kdb::secureBytesFromText(kPayloadPassword),
        kdbVersion == 3 ? kdb::TextEncoding::Windows1252 : kdb::TextEncoding::UTF8, kdbVersion);
}

constexpr std::array<uint8_t, 16> kMasterSeed16{1, 2,  3,  4,  5,  6,  7,  8,
                                                9, 10, 11, 12, 13, 14, 15, 16};
constexpr std::array<uint8_t, 32> kMasterSeed32{3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3,
                                                2, 3, 8, 4, 6, 2, 6, 4, 3, 3, 8, 3, 2, 7, 9, 5};
constexpr std::array<uint8_t, 32> kTransformSeed{2, 7, 1, 8, 2, 8, 1, 8, 2, 8, 4, 5, 9, 0, 4, 5,
                                                 2, 3, 5, 3, 6, 0, 2, 8, 7, 4, 7, 1, 3, 5, 2, 6};
constexpr std::array<uint8_t, 16> kIV{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2, 3, 4, 5, 6};
constexpr std::array<uint8_t, 32> kStartBytes{
    0x55, 0xAA, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0x00, 0xAB, 0xCD, 0xEF, 0x10,
    0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0, 0x01, 0x02};

void appendField(Bytes& out, uint8_t field, const uint8_t* data, std::size_t length) {
    out.push_back(field);
    appendLE(out, length, 2);
    out.insert(out.end(), data, data + length);
}

Bytes version2File(const uint8_t* data, std::size_t size) {
    if (size < 34) {
        return {};
    }
    const uint8_t flags = data[0];
    const uint8_t streamId = data[1] % 3;
    const uint8_t* streamKey = data + 2;
    Bytes file;
    appendLE(file, kSignature1, 4);
    appendLE(file, kSignatureVersion2, 4);
    appendLE(file, 0x00030001, 4);
    static constexpr std::array<uint8_t, 16> aesCipher{0x31, 0xC1, 0xF2, 0xE6, 0xBF, 0x71,
                                                       0x43, 0x50, 0xBE, 0x58, 0x05, 0x21,
                                                       0x6A, 0xFC, 0x5A, 0xFF};
    appendField(file, 2, aesCipher.data(), aesCipher.size());
    const std::array<uint8_t, 4> compression{static_cast<uint8_t>(flags & 1), 0, 0, 0};
    appendField(file, 3, compression.data(), compression.size());
    appendField(file, 4, kMasterSeed32.data(), kMasterSeed32.size());
    appendField(file, 5, kTransformSeed.data(), kTransformSeed.size());
    const std::array<uint8_t, 8> rounds{1, 0, 0, 0, 0, 0, 0, 0};
    appendField(file, 6, rounds.data(), rounds.size());
    appendField(file, 7, kIV.data(), kIV.size());
    appendField(file, 8, streamKey, 32);
    appendField(file, 9, kStartBytes.data(), kStartBytes.size());
    const std::array<uint8_t, 4> stream{streamId, 0, 0, 0};
    appendField(file, 10, stream.data(), stream.size());
    appendField(file, 0, nullptr, 0);

    Bytes plain(kStartBytes.begin(), kStartBytes.end());
    plain.insert(plain.end(), data + 34, data + size);
    static const kdb::SecureBytes key = payloadKey(kMasterSeed16, kMasterSeed32, kTransformSeed, 4);
    const Bytes cipher = encrypt(key, kIV.data(), plain);
    file.insert(file.end(), cipher.begin(), cipher.end());
    return file;
}

Bytes version1File(const uint8_t* data, std::size_t size) {
    if (size < 8) {
        return {};
    }
    Bytes file;
    appendLE(file, kSignature1, 4);
    appendLE(file, kSignatureVersion1, 4);
    appendLE(file, 2, 4);
    appendLE(file, 0x00030002, 4);
    file.insert(file.end(), kMasterSeed16.begin(), kMasterSeed16.end());
    file.insert(file.end(), kIV.begin(), kIV.end());
    file.insert(file.end(), data, data + 8);
    file.insert(file.end(), 32, 0);
    file.insert(file.end(), kTransformSeed.begin(), kTransformSeed.end());
    appendLE(file, 1, 4);
    static const kdb::SecureBytes key = payloadKey(kMasterSeed16, kMasterSeed32, kTransformSeed, 3);
    const Bytes cipher = encrypt(key, kIV.data(), Bytes(data + 8, data + size));
    file.insert(file.end(), cipher.begin(), cipher.end());
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    kdb::SecureBytes password;
    auto file = std::make_shared<Bytes>();
    switch (data[0] % 3) {
    case 0: {
        const std::size_t length = data[1];
        if (size < 2 + length) {
            return 0;
        }
        password.assign(data + 2, data + 2 + length);
        file->assign(data + 2 + length, data + size);
        capRounds(*file);
        break;
    }
    case 1:
        password = kdb::secureBytesFromText(kPayloadPassword);
        *file = version2File(data + 1, size - 1);
        break;
    default:
        password = kdb::secureBytesFromText(kPayloadPassword);
        *file = version1File(data + 1, size - 1);
        break;
    }
    if (file->empty()) {
        return 0;
    }
    auto source = std::make_unique<kdb::WrapperNSData>(std::shared_ptr<const Bytes>(file));
    try {
        const std::unique_ptr<kdb::KdbReader> reader = kdb::KdbReaderFactory::newKdbReader(*source);
        static_cast<void>(reader->load(std::move(source), password));
    } catch (const kdb::KdbException&) {
        // Refusing a damaged file with the engine's error is the expected outcome.
    }
    return 0;
}
