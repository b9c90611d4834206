#include "KdbxReader.h"

#include <openssl/crypto.h>

#include "Arc4RandomStream.h"
#include "Codec.h"
#include "DatabaseError.h"
#include "GzipInflatingSource.h"
#include "HashedBlockSource.h"
#include "KdbxGroup.h"
#include "KdbxParser.h"
#include "KdbxTree.h"
#include "Salsa20RandomStream.h"

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
};

constexpr uint32_t kStartBytesSize = 32;

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
std::unique_ptr<ByteBuffer> readField(InputSource& source, uint32_t length) {
    auto field = ByteBuffer::readUpTo(source, length);
    if (field->_size() != length) {
        invalidHeader("TruncatedHeader");
    }
    return field;
}

std::unique_ptr<RandomStream> createRandomStream(uint32_t identifier, const ByteBuffer* key) {
    const uint8_t* bytes = key != nullptr ? key->_bytes() : nullptr;
    const uint32_t length = key != nullptr ? key->_size() : 0;
    switch (identifier) {
    case 1:
        return std::make_unique<Arc4RandomStream>(bytes, length);
    case 2:
        return std::make_unique<Salsa20RandomStream>(bytes, length);
    default:
        throw DatabaseError("Unsupported", "UnsupportedRandomStreamID");
    }
}

} // namespace

KdbxReader::KdbxReader() : m_password(std::make_unique<MasterKey>()) {}

KdbxReader::~KdbxReader() = default;

std::shared_ptr<DatabaseTree> KdbxReader::getKdbTree() const {
    return m_tree;
}

void KdbxReader::readHeader(InputSource& source) {
    m_fileVersion = static_cast<uint32_t>(readNumber(source, 4));
    if ((m_fileVersion & 0xFFFF0000u) > 0x00030000u) {
        throw DatabaseError("Unsupported", "UnsupportedVersion");
    }
    for (;;) {
        const auto field = static_cast<uint8_t>(readNumber(source, 1));
        const auto length = static_cast<uint32_t>(readNumber(source, 2));
        switch (field) {
        case EndOfHeader:
            static_cast<void>(readField(source, length));
            return;
        case Comment:
            static_cast<void>(readField(source, length));
            break;
        case CipherId: {
            if (length != 16) {
                invalidHeader("InvalidCipherId");
            }
            const auto bytes = readField(source, 16);
            m_cipherUUID = std::make_unique<UUID>(bytes->_bytes(), 16);
            if (!(*m_cipherUUID == *UUID::getAESUUID())) {
                throw DatabaseError("Unsupported", "UnsupportedCipher");
            }
            break;
        }
        // Compression flags, rounds and stream id are read at their own width whatever
        // length the field states, as the writers of these files expect.
        case CompressionFlags:
            m_compressionAlgorithm = static_cast<uint32_t>(readNumber(source, 4));
            if (m_compressionAlgorithm >= 2) {
                invalidHeader("InvalidCompression");
            }
            break;
        case MasterSeed:
            if (length != 32) {
                invalidHeader("InvalidMasterSeed");
            }
            m_password->set_masterSeed(readField(source, 32));
            break;
        case TransformSeed:
            if (length != 32) {
                invalidHeader("InvalidTransformSeed");
            }
            m_password->set_transformSeed(readField(source, 32));
            break;
        case TransformRounds:
            m_password->set_rounds(readNumber(source, 8));
            break;
        case EncryptionIV:
            m_encryptionIV = readField(source, length);
            break;
        case ProtectedStreamKey:
            m_protectedStreamKey = readField(source, length);
            break;
        case StreamStartBytes:
            m_streamStartBytes = readField(source, length);
            break;
        case InnerRandomStreamId:
            m_randomStreamID = static_cast<uint32_t>(readNumber(source, 4));
            if (m_randomStreamID >= 3) {
                invalidHeader("InvalidCSRAlgorithm");
            }
            break;
        default:
            invalidHeader("InvalidField");
        }
    }
}

std::unique_ptr<AesDecryptingSource>
KdbxReader::createDecryptedInputDataSource(std::unique_ptr<InputSource> source,
                                           const SecureBytes& key) const {
    if (key.size() != 32) {
        throw DatabaseError("AppError", "InvalidKeySize");
    }
    if (!m_encryptionIV || m_encryptionIV->_size() != 16) {
        invalidHeader("InvalidEncryptionIV");
    }
    return std::make_unique<AesDecryptingSource>(
        std::move(source), std::span<const uint8_t, 32>(key.data(), 32),
        std::span<const uint8_t, 16>(m_encryptionIV->_bytes(), 16));
}

std::shared_ptr<DatabaseTree> KdbxReader::load(std::unique_ptr<InputSource> source,
                                               const SecureBytes& passwordUtf8) {
    readHeader(*source);
    if (!m_encryptionIV || m_encryptionIV->_size() != 16) {
        invalidHeader("InvalidEncryptionIV");
    }
    if (!m_password->_masterSeed()) {
        invalidHeader("InvalidMasterSeed");
    }
    if (!m_password->_transformSeed()) {
        invalidHeader("InvalidTransformSeed");
    }

    // file -> decryption -> hashed blocks -> optional inflation -> XML parser
    std::unique_ptr<AesDecryptingSource> decrypted;
    {
        const SecureBytes key =
            m_password->createFinalKey32ForPasssword(passwordUtf8, TextEncoding::UTF8, 4);
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

    const std::unique_ptr<RandomStream> randomStream =
        createRandomStream(m_randomStreamID, m_protectedStreamKey.get());
    KdbxParser parser;
    parser.set_randomStream(randomStream.get());
    m_tree = parser.parse(*payload);
    addMissingRootGroup(*m_tree);
    return m_tree;
}

// A document without a Root group holds no groups: it opens as an empty database rather
// than failing as if the password were wrong.
void KdbxReader::addMissingRootGroup(KdbxTree& tree) {
    if (tree._root() == nullptr || tree.getRoot() != nullptr) {
        return;
    }
    tree._root()->addChild(std::make_unique<KdbxGroup>(tree.names().intern("Root")));
}

} // namespace vaultora::kdb
