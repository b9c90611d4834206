#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "ByteBuffer.h"
#include "DatabaseModel.h"
#include "DecryptingSource.h"
#include "KeyDerivation.h"
#include "MasterKey.h"
#include "UUID.h"

namespace vaultora::kdb {

class KdbxTree;

// Opens a version-2 database. File versions up to 3.x: the header fields, the key, the check
// of the stream start bytes, then decryption, hashed blocks, optional inflation and the XML
// payload. File version 4.x: the header with its key derivation parameters, checked by its
// SHA-256 and (with the key) its HMAC, then HMAC blocks, decryption, optional inflation, the
// inner header and the XML payload.
class KdbxReader final : public DatabaseReader {
public:
    static constexpr uint32_t kFileVersion4 = 0x00040000;

    // secondSignature is the signature word the file began with, which the format-4 header
    // hash covers.
    explicit KdbxReader(uint32_t secondSignature = 0xB54BFB67);
    ~KdbxReader() override;
    KdbxReader(const KdbxReader&) = delete;
    KdbxReader& operator=(const KdbxReader&) = delete;

    using DatabaseReader::load;
    // Reads from the source positioned after the two signature words. The header must
    // carry an encryption IV of the cipher's size and the seeds; otherwise the load fails with
    // ("InvalidHeader", "InvalidEncryptionIV" / "InvalidMasterSeed" /
    // "InvalidTransformSeed" / "InvalidKdfParameters") before any key is derived. A wrong
    // password or key file fails with ("DecryptError", "DecryptError").
    std::shared_ptr<DatabaseTree> load(std::unique_ptr<InputSource> source,
                                       const Credentials& credentials) override;
    [[nodiscard]] std::shared_ptr<DatabaseTree> getKdbTree() const override;

    // Reads the file version and the header fields up to and including the end-of-header
    // field. A header cut short fails with ("InvalidHeader", "TruncatedHeader"); a major
    // version above 4 with ("Unsupported", "UnsupportedVersion").
    void readHeader(InputSource& source);
    [[nodiscard]] std::unique_ptr<DecryptingSource>
    createDecryptedInputDataSource(std::unique_ptr<InputSource> source,
                                   const SecureBytes& key) const;

    [[nodiscard]] bool isFormat4() const noexcept { return m_fileVersion >= kFileVersion4; }
    [[nodiscard]] uint32_t _fileVersion() const noexcept { return m_fileVersion; }
    [[nodiscard]] const UUID* _cipherUUID() const noexcept { return m_cipherUUID.get(); }
    [[nodiscard]] const ByteBuffer* _encryptionIV() const noexcept { return m_encryptionIV.get(); }
    [[nodiscard]] const ByteBuffer* _protectedStreamKey() const noexcept {
        return m_protectedStreamKey.get();
    }
    [[nodiscard]] const ByteBuffer* _streamStartBytes() const noexcept {
        return m_streamStartBytes.get();
    }
    [[nodiscard]] uint32_t _compressionAlgorithm() const noexcept { return m_compressionAlgorithm; }
    // Format 3 states it in the header, format 4 in the inner header (known after a load).
    [[nodiscard]] uint32_t _randomStreamID() const noexcept { return m_randomStreamID; }
    [[nodiscard]] const MasterKey& _password() const noexcept { return *m_password; }
    // The key derivation: format 4's header field, or AES-KDF from format 3's seed and rounds.
    [[nodiscard]] std::optional<KdfParameters> kdfParameters() const;

private:
    static void addMissingRootGroup(KdbxTree& tree);
    std::shared_ptr<DatabaseTree> loadVersion3(std::unique_ptr<InputSource> source,
                                               const Credentials& credentials);
    std::shared_ptr<DatabaseTree> loadVersion4(std::unique_ptr<InputSource> source,
                                               const Credentials& credentials);
    void readField(InputSource& source, uint8_t field, uint32_t length);
    void checkIV() const;
    // Reads the inner header of a format-4 payload, up to its end field.
    void readInnerHeader(InputSource& payload);
    // Parses the plain XML of either format, its protected values unmasked by the inner stream.
    std::shared_ptr<DatabaseTree> parsePayload(InputSource& payload);

    uint32_t m_fileVersion = 0;
    std::unique_ptr<UUID> m_cipherUUID;
    std::unique_ptr<ByteBuffer> m_encryptionIV;
    std::unique_ptr<ByteBuffer> m_protectedStreamKey;
    std::unique_ptr<ByteBuffer> m_streamStartBytes;
    uint32_t m_compressionAlgorithm = 0;
    uint32_t m_randomStreamID = 0;
    std::unique_ptr<MasterKey> m_password;
    std::optional<KdfParameters> m_kdfParameters;
    // Every header byte from the first signature on, for the format-4 hash and HMAC.
    std::vector<uint8_t> m_headerBytes;
    std::shared_ptr<KdbxTree> m_tree;
};

} // namespace vaultora::kdb
