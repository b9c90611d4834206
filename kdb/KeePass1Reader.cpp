#include "KeePass1Reader.h"

#include <cstring>

#include "Codec.h"
#include "CompositeKey.h"
#include "DatabaseError.h"
#include "KeePass1Parser.h"

namespace vaultora::kdb {

namespace {

// Every record, group or entry, ends with a 6-byte end marker, so no payload holds more
// records than its size allows.
constexpr uint64_t kSmallestRecord = 6;

[[noreturn]] void truncatedHeader() {
    throw DatabaseError("InvalidHeader", "TruncatedHeader");
}

uint32_t readWord(InputSource& source) {
    const auto value = Codec::readCompleteLE(source, 4);
    if (!value) {
        truncatedHeader();
    }
    return static_cast<uint32_t>(*value);
}

template <std::size_t Size>
void readExactly(InputSource& source, std::array<uint8_t, Size>& field) {
    if (source.readBytes(field.data(), Size) != Size) {
        truncatedHeader();
    }
}

// The header counts are checked against the bytes the file still holds, so that a lying
// header fails at once instead of reserving room or reading garbage for them.
void checkCounts(InputSource& source, uint32_t numGroups, uint32_t numEntries) {
    uint64_t remaining = 0;
    try {
        remaining = source.lengthOfRemainingReadbleBytes();
    } catch (const DatabaseError&) {
        return;
    }
    if (numGroups * kSmallestRecord > remaining) {
        throw DatabaseError("ParseError", "ParseGroup");
    }
    if ((static_cast<uint64_t>(numGroups) + numEntries) * kSmallestRecord > remaining) {
        throw DatabaseError("ParseError", "ParseEntry");
    }
}

} // namespace

void KeePass1Reader::readHeader(InputSource& source) {
    m_flags = readWord(source);
    m_version = readWord(source);
    if ((m_version & 0xFFFFFF00u) != 0x00030000u) {
        throw DatabaseError("Unsupported", "UnsupportedVersion");
    }
    if ((m_flags & (kFlagAes | kFlagTwofish)) == 0) {
        throw DatabaseError("Unsupported", "UnsupportedAlgorithm");
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

    m_password = std::make_unique<MasterKey>();
    m_password->set_masterSeed(std::make_shared<ByteBuffer>(masterSeed.data(), 16));
    m_password->set_transformSeed(std::make_shared<ByteBuffer>(transformSeed.data(), 32));
    m_password->set_rounds(m_rounds);
}

std::unique_ptr<DecryptingSource>
KeePass1Reader::createDecryptedInputDataSource(std::unique_ptr<InputSource> source,
                                               const SecureBytes& key) const {
    if (key.size() != 32) {
        throw DatabaseError("AppError", "InvalidKeySize");
    }
    const std::span<const uint8_t, 32> cipherKey(key.data(), 32);
    return std::make_unique<DecryptingSource>(
        std::move(source), usesTwofish()
                               ? PayloadCipher::createTwofishCbc(cipherKey, m_encryptionIV)
                               : PayloadCipher::createAes256Cbc(cipherKey, m_encryptionIV));
}

std::shared_ptr<DatabaseTree> KeePass1Reader::load(std::unique_ptr<InputSource> source,
                                                   const Credentials& credentials) {
    // The key parameters live only as long as this load, whatever way it ends.
    struct DropPassword {
        std::unique_ptr<MasterKey>& password;
        ~DropPassword() { password.reset(); }
    } dropPassword{m_password};

    readHeader(*source);
    checkCounts(*source, m_numGroups, m_numEntries);

    std::unique_ptr<DecryptingSource> decrypted;
    {
        const SecureBytes compositeKey = CompositeKey::forVersion1(credentials);
        const SecureBytes key = m_password->createFinalKey32(compositeKey, credentials.cancelFlag);
        decrypted = createDecryptedInputDataSource(std::move(source), key);
    }
    KeePass1Parser parser;
    m_tree = parser.parse(*decrypted, m_numGroups, m_numEntries);
    return m_tree;
}

} // namespace vaultora::kdb
