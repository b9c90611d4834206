#include "Kdb3Reader.h"

#include <cstring>

#include "Kdb3Parser.h"
#include "KdbException.h"
#include "Utils.h"

namespace kdb {

namespace {

// Every record, group or entry, ends with a 6-byte end marker, so no payload holds more
// records than its size allows.
constexpr uint64_t kSmallestRecord = 6;

[[noreturn]] void truncatedHeader() {
    throw KdbException("InvalidHeader", "TruncatedHeader");
}

uint32_t readWord(InputDataSource& source) {
    const auto value = Utils::readCompleteLE(source, 4);
    if (!value) {
        truncatedHeader();
    }
    return static_cast<uint32_t>(*value);
}

template <std::size_t Size>
void readExactly(InputDataSource& source, std::array<uint8_t, Size>& field) {
    if (source.readBytes(field.data(), Size) != Size) {
        truncatedHeader();
    }
}

// The header counts are checked against the bytes the file still holds, so that a lying
// header fails at once instead of reserving room or reading garbage for them.
void checkCounts(InputDataSource& source, uint32_t numGroups, uint32_t numEntries) {
    uint64_t remaining = 0;
    try {
        remaining = source.lengthOfRemainingReadbleBytes();
    } catch (const KdbException&) {
        return;
    }
    if (numGroups * kSmallestRecord > remaining) {
        throw KdbException("ParseError", "ParseGroup");
    }
    if ((static_cast<uint64_t>(numGroups) + numEntries) * kSmallestRecord > remaining) {
        throw KdbException("ParseError", "ParseEntry");
    }
}

} // namespace

void Kdb3Reader::readHeader(InputDataSource& source) {
    m_flags = readWord(source);
    m_version = readWord(source);
    if ((m_version & 0xFFFFFF00u) != 0x00030000u) {
        throw KdbException("Unsupported", "UnsupportedVersion");
    }
    if ((m_flags & kFlagAes) == 0) {
        throw KdbException("Unsupported", "UnsupportedAlgorithm");
    }
    std::array<uint8_t, 16> masterSeed{};
    readExactly(source, masterSeed);
    readExactly(source, m_encryptionIV);
    m_numGroups = readWord(source);
    m_numEntries = readWord(source);
    readExactly(source, m_contentHash);
    std::array<uint8_t, 32> transformSeed{};
    readExactly(source, transformSeed);
    m_rounds = readWord(source);

    m_password = std::make_unique<KdbPassword>();
    m_password->set_masterSeed(std::make_shared<ByteBuffer>(masterSeed.data(), 16));
    m_password->set_transformSeed(std::make_shared<ByteBuffer>(transformSeed.data(), 32));
    m_password->set_rounds(m_rounds);
}

std::unique_ptr<AESDecryptSource>
Kdb3Reader::createDecryptedInputDataSource(std::unique_ptr<InputDataSource> source,
                                           const SecureBytes& key) const {
    if (key.size() != 32) {
        throw KdbException("AppError", "InvalidKeySize");
    }
    return std::make_unique<AESDecryptSource>(
        std::move(source), std::span<const uint8_t, 32>(key.data(), 32), m_encryptionIV);
}

std::shared_ptr<KdbTree> Kdb3Reader::load(std::unique_ptr<InputDataSource> source,
                                          const SecureBytes& passwordUtf8) {
    // The key parameters live only as long as this load, whatever way it ends.
    struct DropPassword {
        std::unique_ptr<KdbPassword>& password;
        ~DropPassword() { password.reset(); }
    } dropPassword{m_password};

    readHeader(*source);
    checkCounts(*source, m_numGroups, m_numEntries);

    std::unique_ptr<AESDecryptSource> decrypted;
    {
        const SecureBytes key =
            m_password->createFinalKey32ForPasssword(passwordUtf8, TextEncoding::Windows1252, 3);
        decrypted = createDecryptedInputDataSource(std::move(source), key);
    }
    Kdb3Parser parser;
    m_tree = parser.parse(*decrypted, m_numGroups, m_numEntries);
    return m_tree;
}

} // namespace kdb
