#include "HeaderFacts.h"

#include <array>
#include <cstdio>
#include <vector>

#include "CliError.h"
#include "kdb/DatabaseError.h"
#include "kdb/PayloadCipher.h"
#include "kdb/VariantDictionary.h"

namespace vaultora::cli {

namespace {

constexpr uint32_t signature1 = 0x9AA2D903;
constexpr uint32_t signatureVersion1 = 0xB54BFB65;
constexpr uint32_t signatureVersion2Pre = 0xB54BFB66;
constexpr uint32_t signatureVersion2 = 0xB54BFB67;
constexpr std::size_t version1HeaderSize = 124;
constexpr uint32_t fileVersion4 = 0x00040000;

[[noreturn]] void damaged() {
    throw CliError(ExitStatus::Failure, "damaged file: the header is cut short (InvalidHeader)");
}

uint64_t littleEndian(const uint8_t* bytes, std::size_t count) {
    uint64_t value = 0;
    for (std::size_t index = count; index > 0; --index) {
        value = (value << 8) | bytes[index - 1];
    }
    return value;
}

std::string versionText(uint32_t version) {
    return std::to_string(version >> 16) + "." + std::to_string(version & 0xFFFF);
}

std::string hexText(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (const uint8_t byte : bytes) {
        std::array<char, 3> digits{};
        std::snprintf(digits.data(), digits.size(), "%02x", byte);
        text += digits.data();
    }
    return text;
}

// Reads exactly count bytes or fails as a damaged header.
std::vector<uint8_t> readExactly(kdb::InputSource& source, std::size_t count) {
    std::vector<uint8_t> bytes(count);
    if (count > 0 && source.readBytes(bytes.data(), static_cast<uint32_t>(count)) != count) {
        damaged();
    }
    return bytes;
}

HeaderFacts version1Facts(kdb::InputSource& source) {
    // Flags, version, master seed (16), IV (16), group and entry counts, contents hash (32),
    // transform seed (32), rounds: a fixed layout after the two signature words.
    const std::vector<uint8_t> header = readExactly(source, version1HeaderSize - 8);
    const auto flags = static_cast<uint32_t>(littleEndian(&header[0], 4));
    HeaderFacts facts;
    facts.format = "KeePass 1.x";
    facts.fileVersion = versionText(static_cast<uint32_t>(littleEndian(&header[4], 4)));
    if ((flags & 2) != 0) {
        facts.cipher = "AES-256";
    } else if ((flags & 8) != 0) {
        facts.cipher = "Twofish";
    } else {
        facts.cipher = "unknown (flags " + std::to_string(flags) + ")";
    }
    facts.compression = "none";
    facts.innerStream = "none";
    facts.kdf = "AES-KDF";
    facts.rounds = littleEndian(&header[version1HeaderSize - 8 - 4], 4);
    return facts;
}

std::string cipherName(const std::vector<uint8_t>& id) {
    const auto is = [&id](const std::array<uint8_t, 16>& known) {
        return std::equal(id.begin(), id.end(), known.begin(), known.end());
    };
    if (is(kdb::PayloadCipher::kAes256Id)) {
        return "AES-256";
    }
    if (is(kdb::PayloadCipher::kChaCha20Id)) {
        return "ChaCha20";
    }
    if (is(kdb::PayloadCipher::kTwofishId)) {
        return "Twofish";
    }
    return "unknown (" + hexText(id) + ")";
}

void readKdfParameters(const std::vector<uint8_t>& value, HeaderFacts& facts) {
    try {
        const kdb::KdfParameters parameters =
            kdb::KeyDerivation::fromDictionary(kdb::VariantDictionary::parse(value));
        if (const auto* aes = std::get_if<kdb::AesKdfParameters>(&parameters)) {
            facts.kdf = "AES-KDF";
            facts.rounds = aes->rounds;
        } else {
            const auto& argon2 = std::get<kdb::Argon2Parameters>(parameters);
            facts.kdf =
                argon2.variant == kdb::Argon2Parameters::Variant::Argon2id ? "Argon2id" : "Argon2d";
            facts.argon2 = argon2;
        }
    } catch (const kdb::DatabaseError& error) {
        facts.kdf = "unknown (" + error.reason() + ")";
    }
}

HeaderFacts version2Facts(kdb::InputSource& source) {
    HeaderFacts facts;
    facts.format = "KeePass 2.x";
    const auto version = static_cast<uint32_t>(littleEndian(readExactly(source, 4).data(), 4));
    facts.fileVersion = versionText(version);
    const bool format4 = version >= fileVersion4;
    facts.cipher = "AES-256";
    facts.compression = "none";
    facts.innerStream = format4 ? "in the encrypted inner header" : "none";
    facts.kdf = "AES-KDF";
    // Format 4 states field lengths in four bytes, earlier versions in two.
    const std::size_t lengthWidth = format4 ? 4 : 2;
    for (;;) {
        const std::vector<uint8_t> fieldHead = readExactly(source, 1 + lengthWidth);
        const uint8_t id = fieldHead[0];
        const auto length = static_cast<std::size_t>(littleEndian(&fieldHead[1], lengthWidth));
        if (length > source.lengthOfRemainingReadbleBytes()) {
            damaged();
        }
        const std::vector<uint8_t> value = readExactly(source, length);
        switch (id) {
        case 0:
            return facts;
        case 2:
            facts.cipher = cipherName(value);
            break;
        case 3:
            if (value.size() >= 4) {
                const uint64_t compression = littleEndian(value.data(), 4);
                facts.compression = compression == 0 ? "none"
                                    : compression == 1
                                        ? "gzip"
                                        : "unknown (" + std::to_string(compression) + ")";
            }
            break;
        case 6:
            if (!format4 && value.size() >= 8) {
                facts.rounds = littleEndian(value.data(), 8);
            }
            break;
        case 11:
            if (format4) {
                readKdfParameters(value, facts);
            }
            break;
        case 10:
            if (!format4 && value.size() >= 4) {
                const uint64_t stream = littleEndian(value.data(), 4);
                facts.innerStream = stream == 0   ? "none"
                                    : stream == 1 ? "ARC4"
                                    : stream == 2 ? "Salsa20"
                                    : stream == 3 ? "ChaCha20"
                                                  : "unknown (" + std::to_string(stream) + ")";
            }
            break;
        default:
            break;
        }
    }
}

} // namespace

HeaderFacts readHeaderFacts(kdb::InputSource& source) {
    source.setReadOffset(0);
    std::array<uint8_t, 8> signature{};
    const uint32_t got = source.readBytes(signature.data(), signature.size());
    const auto first = static_cast<uint32_t>(littleEndian(signature.data(), 4));
    const auto second = static_cast<uint32_t>(littleEndian(signature.data() + 4, 4));
    if (got != signature.size() || first != signature1 ||
        (second != signatureVersion1 && second != signatureVersion2 &&
         second != signatureVersion2Pre)) {
        throw CliError(ExitStatus::Failure, "not a KeePass database (Unsupported)");
    }
    HeaderFacts facts = second == signatureVersion1 ? version1Facts(source) : version2Facts(source);
    source.setReadOffset(0);
    return facts;
}

} // namespace vaultora::cli
