#include "KdbxReader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <openssl/crypto.h>

#include "Arc4RandomStream.h"
#include "ChaCha20RandomStream.h"
#include "Codec.h"
#include "CompositeKey.h"
#include "DatabaseError.h"
#include "GzipInflatingSource.h"
#include "HashedBlockSource.h"
#include "HmacBlockSource.h"
#include "KdbxGroup.h"
#include "KdbxParser.h"
#include "KdbxTree.h"
#include "Salsa20RandomStream.h"
#include "Sha256.h"
#include "VariantDictionary.h"

namespace vaultora::kdb {

namespace {

enum HeaderField : uint8_t {
    EndOfHeader = 0,
    Comment = 1,
    CipherId = 2,
    CompressionFlags = 3,
    MasterSeed = 4,
    TransformSeed = 5,
    TransformRounds = 6,
    EncryptionIV = 7,
    ProtectedStreamKey = 8,
    StreamStartBytes = 9,
    InnerRandomStreamId = 10,
    KdfParametersField = 11,
    PublicCustomData = 12,
};

enum InnerHeaderField : uint8_t {
    InnerEnd = 0,
    InnerStreamId = 1,
    InnerStreamKey = 2,
    InnerBinary = 3,
};

constexpr uint32_t kSignature1 = 0x9AA2D903;
constexpr uint32_t kStartBytesSize = 32;
constexpr uint32_t kHighestRandomStreamId = 3;

[[noreturn]] void invalidHeader(const char* reason) {
    throw DatabaseError("InvalidHeader", reason);
}

uint64_t readNumber(InputSource& source, unsigned width) {
    const auto value = Codec::readCompleteLE(source, width);
    if (!value) {
        invalidHeader("TruncatedHeader");
    }
    return *value;
}

// Field data of the length the header states, all of which must be in the file.
std::unique_ptr<ByteBuffer> readFieldData(InputSource& source, uint32_t length) {
    auto field = ByteBuffer::readUpTo(source, length);
    if (field->_size() != length) {
        invalidHeader("TruncatedHeader");
    }
    return field;
}

uint64_t littleEndian(const ByteBuffer& bytes) {
    uint64_t value = 0;
    for (uint32_t index = bytes._size(); index > 0; --index) {
        value = (value << 8) | bytes._bytes()[index - 1];
    }
    return value;
}

void appendLittleEndian(std::vector<uint8_t>& bytes, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
}

// Passes reads through and keeps a copy of every byte, for the header's hash.
class RecordingSource final : public InputSource {
public:
    RecordingSource(InputSource& source, std::vector<uint8_t>& record)
        : m_source(source), m_record(record) {}

    uint32_t readBytes(void* destination, uint32_t length) override {
        const uint32_t delivered = m_source.readBytes(destination, length);
        const auto* bytes = static_cast<const uint8_t*>(destination);
        m_record.insert(m_record.end(), bytes, bytes + delivered);
        return delivered;
    }
    uint32_t lengthOfRemainingReadbleBytes() override {
        return m_source.lengthOfRemainingReadbleBytes();
    }
    uint32_t setReadOffset(uint32_t) override {
        throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
    }
    uint32_t moveReadOffset(int32_t) override {
        throw DatabaseError("UnsupportedMethod", "UnsupportedMethod");
    }

private:
    InputSource& m_source;
    std::vector<uint8_t>& m_record;
};

std::unique_ptr<RandomStream> createRandomStream(uint32_t identifier, const ByteBuffer* key) {
    const uint8_t* bytes = key != nullptr ? key->_bytes() : nullptr;
    const uint32_t length = key != nullptr ? key->_size() : 0;
    switch (identifier) {
    case 1:
        return std::make_unique<Arc4RandomStream>(bytes, length);
    case 2:
        return std::make_unique<Salsa20RandomStream>(bytes, length);
    case 3:
        return std::make_unique<ChaCha20RandomStream>(bytes, length);
    default:
        throw DatabaseError("Unsupported", "UnsupportedRandomStreamID");
    }
}

bool isCipher(const UUID& id, const std::array<uint8_t, 16>& known) {
    return id._size() == known.size() && std::equal(known.begin(), known.end(), id._bytes());
}

// Reads and wipes length bytes of the payload that the viewer does not keep.
void skipPayload(InputSource& payload, uint32_t length) {
    SecureBytes scratch(std::min<uint32_t>(length, 65536));
    while (length > 0) {
        const uint32_t step = std::min<uint32_t>(length, static_cast<uint32_t>(scratch.size()));
        if (payload.readBytes(scratch.data(), step) != step) {
            throw DatabaseError("InvalidData", "InvalidInnerHeader");
        }
        length -= step;
    }
}

} // namespace

KdbxReader::KdbxReader(uint32_t secondSignature) : m_password(std::make_unique<MasterKey>()) {
    appendLittleEndian(m_headerBytes, kSignature1);
    appendLittleEndian(m_headerBytes, secondSignature);
}

KdbxReader::~KdbxReader() = default;

std::shared_ptr<DatabaseTree> KdbxReader::getKdbTree() const {
    return m_tree;
}

std::optional<KdfParameters> KdbxReader::kdfParameters() const {
    if (isFormat4()) {
        return m_kdfParameters;
    }
    const auto& seed = m_password->_transformSeed();
    if (!seed || seed->_size() < 32) {
        return std::nullopt;
    }
    AesKdfParameters parameters;
    std::memcpy(parameters.seed.data(), seed->_bytes(), parameters.seed.size());
    parameters.rounds = m_password->_rounds();
    return parameters;
}

void KdbxReader::readHeader(InputSource& plainSource) {
    RecordingSource source(plainSource, m_headerBytes);
    m_fileVersion = static_cast<uint32_t>(readNumber(source, 4));
    if ((m_fileVersion & 0xFFFF0000u) > kFileVersion4) {
        throw DatabaseError("Unsupported", "UnsupportedVersion");
    }
    // Format 4 states field lengths in four bytes, earlier versions in two.
    const unsigned lengthWidth = isFormat4() ? 4 : 2;
    for (;;) {
        const auto field = static_cast<uint8_t>(readNumber(source, 1));
        const auto length = static_cast<uint32_t>(readNumber(source, lengthWidth));
        if (field == EndOfHeader) {
            static_cast<void>(readFieldData(source, length));
            return;
        }
        readField(source, field, length);
    }
}

void KdbxReader::readField(InputSource& source, uint8_t field, uint32_t length) {
    switch (field) {
    case Comment:
        static_cast<void>(readFieldData(source, length));
        break;
    case CipherId: {
        if (length != 16) {
            invalidHeader("InvalidCipherId");
        }
        const auto bytes = readFieldData(source, 16);
        m_cipherUUID = std::make_unique<UUID>(bytes->_bytes(), 16);
        if (!isCipher(*m_cipherUUID, PayloadCipher::kAes256Id) &&
            !isCipher(*m_cipherUUID, PayloadCipher::kChaCha20Id) &&
            !isCipher(*m_cipherUUID, PayloadCipher::kTwofishId)) {
            throw DatabaseError("Unsupported", "UnsupportedCipher");
        }
        break;
    }
    case CompressionFlags:
        // Format 3's compression flags, rounds and stream id are read at their own width
        // whatever length the field states, as the writers of those files expect; format 4
        // states lengths that must fit.
        if (isFormat4()) {
            if (length != 4) {
                invalidHeader("InvalidCompression");
            }
            m_compressionAlgorithm = static_cast<uint32_t>(littleEndian(*readFieldData(source, 4)));
        } else {
            m_compressionAlgorithm = static_cast<uint32_t>(readNumber(source, 4));
        }
        if (m_compressionAlgorithm >= 2) {
            invalidHeader("InvalidCompression");
        }
        break;
    case MasterSeed:
        if (length != 32) {
            invalidHeader("InvalidMasterSeed");
        }
        m_password->set_masterSeed(readFieldData(source, 32));
        break;
    case TransformSeed:
        if (length != 32) {
            invalidHeader("InvalidTransformSeed");
        }
        m_password->set_transformSeed(readFieldData(source, 32));
        break;
    case TransformRounds:
        if (isFormat4()) {
            static_cast<void>(readFieldData(source, length));
        } else {
            m_password->set_rounds(readNumber(source, 8));
        }
        break;
    case EncryptionIV:
        m_encryptionIV = readFieldData(source, length);
        break;
    case ProtectedStreamKey:
        m_protectedStreamKey = readFieldData(source, length);
        break;
    case StreamStartBytes:
        m_streamStartBytes = readFieldData(source, length);
        break;
    case InnerRandomStreamId:
        if (isFormat4()) {
            // Format 4 names its stream in the inner header.
            static_cast<void>(readFieldData(source, length));
            break;
        }
        m_randomStreamID = static_cast<uint32_t>(readNumber(source, 4));
        if (m_randomStreamID > kHighestRandomStreamId) {
            invalidHeader("InvalidCSRAlgorithm");
        }
        break;
    case KdfParametersField:
    case PublicCustomData: {
        if (!isFormat4()) {
            invalidHeader("InvalidField");
        }
        const auto bytes = readFieldData(source, length);
        const VariantDictionary dictionary =
            VariantDictionary::parse({bytes->_bytes(), bytes->_size()});
        if (field == KdfParametersField) {
            m_kdfParameters = KeyDerivation::fromDictionary(dictionary);
        }
        break;
    }
    default:
        invalidHeader("InvalidField");
    }
}

void KdbxReader::checkIV() const {
    const bool chaCha20 = m_cipherUUID && isCipher(*m_cipherUUID, PayloadCipher::kChaCha20Id);
    if (!m_encryptionIV || m_encryptionIV->_size() != (chaCha20 ? 12u : 16u)) {
        invalidHeader("InvalidEncryptionIV");
    }
}

std::unique_ptr<DecryptingSource>
KdbxReader::createDecryptedInputDataSource(std::unique_ptr<InputSource> source,
                                           const SecureBytes& key) const {
    if (key.size() != 32) {
        throw DatabaseError("AppError", "InvalidKeySize");
    }
    checkIV();
    const std::span<const uint8_t, 32> cipherKey(key.data(), 32);
    std::unique_ptr<PayloadCipher> cipher;
    if (m_cipherUUID && isCipher(*m_cipherUUID, PayloadCipher::kChaCha20Id)) {
        cipher = PayloadCipher::createChaCha20(
            cipherKey, std::span<const uint8_t, 12>(m_encryptionIV->_bytes(), 12));
    } else if (m_cipherUUID && isCipher(*m_cipherUUID, PayloadCipher::kTwofishId)) {
        cipher = PayloadCipher::createTwofishCbc(
            cipherKey, std::span<const uint8_t, 16>(m_encryptionIV->_bytes(), 16));
    } else {
        cipher = PayloadCipher::createAes256Cbc(
            cipherKey, std::span<const uint8_t, 16>(m_encryptionIV->_bytes(), 16));
    }
    return std::make_unique<DecryptingSource>(std::move(source), std::move(cipher));
}

std::shared_ptr<DatabaseTree> KdbxReader::load(std::unique_ptr<InputSource> source,
                                               const Credentials& credentials) {
    readHeader(*source);
    return isFormat4() ? loadVersion4(std::move(source), credentials)
                       : loadVersion3(std::move(source), credentials);
}

std::shared_ptr<DatabaseTree> KdbxReader::loadVersion3(std::unique_ptr<InputSource> source,
                                                       const Credentials& credentials) {
    checkIV();
    if (!m_password->_masterSeed()) {
        invalidHeader("InvalidMasterSeed");
    }
    if (!m_password->_transformSeed()) {
        invalidHeader("InvalidTransformSeed");
    }

    // file -> decryption -> hashed blocks -> optional inflation -> XML parser
    std::unique_ptr<DecryptingSource> decrypted;
    {
        const SecureBytes compositeKey = CompositeKey::forVersion2(credentials);
        const SecureBytes key = m_password->createFinalKey32(compositeKey, credentials.cancelFlag);
        decrypted = createDecryptedInputDataSource(std::move(source), key);
    }

    ByteBuffer startBytes(kStartBytesSize, *decrypted);
    if (startBytes.delivered() != kStartBytesSize || !m_streamStartBytes ||
        m_streamStartBytes->_size() != kStartBytesSize ||
        CRYPTO_memcmp(startBytes._bytes(), m_streamStartBytes->_bytes(), kStartBytesSize) != 0) {
        throw DatabaseError("DecryptError", "DecryptError");
    }

    std::unique_ptr<InputSource> payload =
        std::make_unique<HashedBlockSource>(std::move(decrypted));
    if (m_compressionAlgorithm == 1) {
        payload = std::make_unique<GzipInflatingSource>(std::move(payload));
    }

    return parsePayload(*payload);
}

std::shared_ptr<DatabaseTree> KdbxReader::loadVersion4(std::unique_ptr<InputSource> source,
                                                       const Credentials& credentials) {
    Sha256Digest storedHash{};
    Sha256Digest storedHmac{};
    if (source->readBytes(storedHash.data(), 32) != 32 ||
        source->readBytes(storedHmac.data(), 32) != 32) {
        invalidHeader("TruncatedHeader");
    }
    Sha256Digest actualHash{};
    sha256(m_headerBytes.data(), m_headerBytes.size(), actualHash.data());
    if (CRYPTO_memcmp(actualHash.data(), storedHash.data(), actualHash.size()) != 0) {
        invalidHeader("HeaderHashMismatch");
    }
    checkIV();
    const std::shared_ptr<ByteBuffer>& masterSeed = m_password->_masterSeed();
    if (!masterSeed) {
        invalidHeader("InvalidMasterSeed");
    }
    if (!m_kdfParameters) {
        invalidHeader("InvalidKdfParameters");
    }

    // The cipher key is SHA-256(master seed || transformed key), the HMAC base key
    // SHA-512(master seed || transformed key || 0x01).
    SecureBytes cipherKey(32);
    Sha512Digest hmacBaseKey{};
    {
        const SecureBytes compositeKey = CompositeKey::forVersion2(credentials);
        const SecureBytes transformed =
            KeyDerivation::transform(*m_kdfParameters, compositeKey, credentials.cancelFlag);
        SecureBytes seeded(masterSeed->_bytes(), masterSeed->_bytes() + masterSeed->_size());
        seeded.insert(seeded.end(), transformed.begin(), transformed.end());
        sha256(seeded.data(), seeded.size(), cipherKey.data());
        seeded.push_back(0x01);
        sha512(seeded.data(), seeded.size(), hmacBaseKey.data());
    }
    struct WipeOnExit {
        Sha512Digest& key;
        ~WipeOnExit() { secureWipe(key.data(), key.size()); }
    } wipeBaseKey{hmacBaseKey};

    Sha512Digest headerKey = HmacBlockSource::blockKey(UINT64_MAX, hmacBaseKey);
    Sha256Digest actualHmac{};
    hmacSha256(headerKey, {m_headerBytes}, actualHmac.data());
    secureWipe(headerKey.data(), headerKey.size());
    if (CRYPTO_memcmp(actualHmac.data(), storedHmac.data(), actualHmac.size()) != 0) {
        throw DatabaseError("DecryptError", "DecryptError");
    }

    // file -> HMAC blocks -> decryption -> optional inflation -> inner header -> XML parser
    std::unique_ptr<InputSource> payload = createDecryptedInputDataSource(
        std::make_unique<HmacBlockSource>(std::move(source), hmacBaseKey), cipherKey);
    if (m_compressionAlgorithm == 1) {
        payload = std::make_unique<GzipInflatingSource>(std::move(payload));
    }
    readInnerHeader(*payload);

    return parsePayload(*payload);
}

std::shared_ptr<DatabaseTree> KdbxReader::parsePayload(InputSource& payload) {
    const std::unique_ptr<RandomStream> randomStream =
        createRandomStream(m_randomStreamID, m_protectedStreamKey.get());
    KdbxParser parser;
    parser.set_randomStream(randomStream.get());
    m_tree = parser.parse(payload);
    addMissingRootGroup(*m_tree);
    return m_tree;
}

void KdbxReader::readInnerHeader(InputSource& payload) {
    m_randomStreamID = 0;
    m_protectedStreamKey.reset();
    for (;;) {
        const auto field = Codec::readCompleteLE(payload, 1);
        const auto length = Codec::readCompleteLE(payload, 4);
        if (!field || !length || (*length & 0x80000000u) != 0) {
            throw DatabaseError("InvalidData", "InvalidInnerHeader");
        }
        const auto size = static_cast<uint32_t>(*length);
        switch (*field) {
        case InnerEnd:
            skipPayload(payload, size);
            return;
        case InnerStreamId: {
            if (size != 4) {
                throw DatabaseError("InvalidData", "InvalidInnerHeader");
            }
            const auto identifier = Codec::readCompleteLE(payload, 4);
            if (!identifier) {
                throw DatabaseError("InvalidData", "InvalidInnerHeader");
            }
            m_randomStreamID = static_cast<uint32_t>(*identifier);
            break;
        }
        case InnerStreamKey:
            m_protectedStreamKey = ByteBuffer::readUpTo(payload, size);
            if (m_protectedStreamKey->_size() != size) {
                throw DatabaseError("InvalidData", "InvalidInnerHeader");
            }
            break;
        case InnerBinary:
            // Attachments are not shown; their bytes are passed over.
            skipPayload(payload, size);
            break;
        default:
            // Fields of later minor versions are passed over, as in the outer header's
            // public custom data.
            skipPayload(payload, size);
            break;
        }
    }
}

// A document without a Root group holds no groups: it opens as an empty database rather
// than failing as if the password were wrong.
void KdbxReader::addMissingRootGroup(KdbxTree& tree) {
    if (tree._root() == nullptr || tree.getRoot() != nullptr) {
        return;
    }
    tree._root()->addChild(tree.arena().create<KdbxGroup>(tree.names().intern("Root")));
}

} // namespace vaultora::kdb
