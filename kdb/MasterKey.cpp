#include "MasterKey.h"

#include <cstring>
#include <string_view>

#include "DatabaseError.h"
#include "KeyDerivation.h"
#include "Sha256.h"

namespace vaultora::kdb {

SecureBytes MasterKey::createFinalKey32ForPasssword(const SecureBytes& passwordUtf8,
                                                    TextEncoding coding, uint8_t kdbVersion) const {
    if (!m_masterSeed) {
        throw DatabaseError("InvalidHeader", "InvalidMasterSeed");
    }
    const std::string_view text(reinterpret_cast<const char*>(passwordUtf8.data()),
                                passwordUtf8.size());
    const SecureBytes encoded = Codec::createByteBufferForString(text, coding);

    SecureBytes hash(32);
    sha256(encoded.data(), encoded.size(), hash.data());
    if (kdbVersion == 4) {
        SecureBytes twice(32);
        sha256(hash.data(), hash.size(), twice.data());
        hash.swap(twice);
    }

    return createFinalKey32(hash, nullptr);
}

SecureBytes MasterKey::createFinalKey32(const SecureBytes& compositeKey,
                                        const CancelFlag* cancelFlag) const {
    if (!m_masterSeed) {
        throw DatabaseError("InvalidHeader", "InvalidMasterSeed");
    }
    if (compositeKey.size() != 32) {
        throw DatabaseError("AppError", "InvalidKeySize");
    }
    SecureBytes hash(compositeKey);
    // Master seed followed by the transformed key; its SHA-256 is the final key.
    SecureBytes seeded(m_masterSeed->_size() + 32);
    if (m_masterSeed->_size() > 0) {
        std::memcpy(seeded.data(), m_masterSeed->_bytes(), m_masterSeed->_size());
    }
    transformKeyHash(hash.data(), seeded.data() + m_masterSeed->_size(), cancelFlag);

    SecureBytes finalKey(32);
    sha256(seeded.data(), seeded.size(), finalKey.data());
    return finalKey;
}

void MasterKey::transformKeyHash(uint8_t* hash32, uint8_t* result32,
                                 const CancelFlag* cancelFlag) const {
    if (!m_transformSeed || m_transformSeed->_size() < 32) {
        throw DatabaseError("InvalidHeader", "InvalidTransformSeed");
    }
    std::array<uint8_t, 32> seed{};
    std::memcpy(seed.data(), m_transformSeed->_bytes(), seed.size());
    KeyDerivation::aesTransform(seed, hash32, m_rounds, cancelFlag);
    secureWipe(seed.data(), seed.size());
    sha256(hash32, 32, result32);
}

} // namespace vaultora::kdb
