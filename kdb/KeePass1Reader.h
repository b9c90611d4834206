#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "DatabaseModel.h"
#include "DecryptingSource.h"
#include "KeePass1Tree.h"
#include "MasterKey.h"

namespace vaultora::kdb {

// Opens a version-1 database: the fixed header, the key, the AES-256-CBC payload and its
// field records.
class KeePass1Reader final : public DatabaseReader {
public:
    static constexpr uint32_t kFlagAes = 2;
    static constexpr uint32_t kFlagTwofish = 8;

    using DatabaseReader::load;
    // Reads from the source positioned after the two signature words. The contents hash of
    // the header is kept but not compared with the payload.
    std::shared_ptr<DatabaseTree> load(std::unique_ptr<InputSource> source,
                                       const Credentials& credentials) override;
    [[nodiscard]] std::shared_ptr<DatabaseTree> getKdbTree() const override { return m_tree; }

    // Reads bytes 8 to 123 of the file. A header cut short fails with ("InvalidHeader",
    // "TruncatedHeader"); flags naming neither AES nor Twofish with ("Unsupported",
    // "UnsupportedAlgorithm"). With both flags the file is read as AES.
    void readHeader(InputSource& source);
    // AES-256-CBC, or Twofish-CBC when the flags say Twofish and not AES.
    [[nodiscard]] std::unique_ptr<DecryptingSource>
    createDecryptedInputDataSource(std::unique_ptr<InputSource> source,
                                   const SecureBytes& key) const;
    [[nodiscard]] bool usesTwofish() const noexcept {
        return (m_flags & kFlagAes) == 0 && (m_flags & kFlagTwofish) != 0;
    }

    [[nodiscard]] uint32_t _flags() const noexcept { return m_flags; }
    [[nodiscard]] uint32_t _version() const noexcept { return m_version; }
    [[nodiscard]] uint32_t _numGroups() const noexcept { return m_numGroups; }
    [[nodiscard]] uint32_t _numEntries() const noexcept { return m_numEntries; }
    [[nodiscard]] const std::array<uint8_t, 32>& _contentHash() const noexcept {
        return m_contentHash;
    }
    [[nodiscard]] const std::array<uint8_t, 16>& _encryptionIV() const noexcept {
        return m_encryptionIV;
    }
    [[nodiscard]] uint64_t _rounds() const noexcept { return m_rounds; }

private:
    uint32_t m_flags = 0;
    uint32_t m_version = 0;
    uint32_t m_numGroups = 0;
    uint32_t m_numEntries = 0;
    std::array<uint8_t, 32> m_contentHash{};
    std::array<uint8_t, 16> m_encryptionIV{};
    uint64_t m_rounds = 0;
    // The key parameters of the load in progress; dropped when the load ends.
    std::unique_ptr<MasterKey> m_password;
    std::shared_ptr<KeePass1Tree> m_tree;
};

} // namespace vaultora::kdb
