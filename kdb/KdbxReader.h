#pragma once

#include <cstdint>
#include <memory>

#include "AesDecryptingSource.h"
#include "ByteBuffer.h"
#include "DatabaseModel.h"
#include "MasterKey.h"
#include "UUID.h"

namespace vaultora::kdb {

class KdbxTree;

// Opens a version-2 database: the header fields, the key, the check of the stream start
// bytes, then decryption, hashed blocks, optional inflation and the XML payload.
class KdbxReader final : public DatabaseReader {
public:
    KdbxReader();
    ~KdbxReader() override;
    KdbxReader(const KdbxReader&) = delete;
    KdbxReader& operator=(const KdbxReader&) = delete;

    // Reads from the source positioned after the two signature words. The header must
    // carry a 16-byte encryption IV and both seeds; otherwise the load fails with
    // ("InvalidHeader", "InvalidEncryptionIV" / "InvalidMasterSeed" /
    // "InvalidTransformSeed") before any key is derived.
    std::shared_ptr<DatabaseTree> load(std::unique_ptr<InputSource> source,
                                       const SecureBytes& passwordUtf8) override;
    [[nodiscard]] std::shared_ptr<DatabaseTree> getKdbTree() const override;

    // Reads the file version and the header fields up to and including the end-of-header
    // field. A header cut short fails with ("InvalidHeader", "TruncatedHeader").
    void readHeader(InputSource& source);
    [[nodiscard]] std::unique_ptr<AesDecryptingSource>
    createDecryptedInputDataSource(std::unique_ptr<InputSource> source,
                                   const SecureBytes& key) const;

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
    [[nodiscard]] uint32_t _randomStreamID() const noexcept { return m_randomStreamID; }
    [[nodiscard]] const MasterKey& _password() const noexcept { return *m_password; }

private:
    static void addMissingRootGroup(KdbxTree& tree);

    uint32_t m_fileVersion = 0;
    std::unique_ptr<UUID> m_cipherUUID;
    std::unique_ptr<ByteBuffer> m_encryptionIV;
    std::unique_ptr<ByteBuffer> m_protectedStreamKey;
    std::unique_ptr<ByteBuffer> m_streamStartBytes;
    uint32_t m_compressionAlgorithm = 0;
    uint32_t m_randomStreamID = 0;
    std::unique_ptr<MasterKey> m_password;
    std::shared_ptr<KdbxTree> m_tree;
};

} // namespace vaultora::kdb
