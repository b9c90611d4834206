#include "CompositeKey.h"

#include <string_view>

#include "Codec.h"
#include "KeyFile.h"
#include "Sha256.h"

namespace vaultora::kdb {

namespace {

SecureBytes passwordHash(const SecureBytes& passwordUtf8, TextEncoding coding) {
    const std::string_view text(reinterpret_cast<const char*>(passwordUtf8.data()),
                                passwordUtf8.size());
    const SecureBytes encoded = Codec::createByteBufferForString(text, coding);
    SecureBytes hash(32);
    sha256(encoded.data(), encoded.size(), hash.data());
    return hash;
}

SecureBytes sha256Of(const SecureBytes& bytes) {
    SecureBytes hash(32);
    sha256(bytes.data(), bytes.size(), hash.data());
    return hash;
}

} // namespace

SecureBytes CompositeKey::forVersion2(const Credentials& credentials) {
    SecureBytes components;
    if (credentials.passwordUtf8) {
        const SecureBytes hash = passwordHash(*credentials.passwordUtf8, TextEncoding::UTF8);
        components.insert(components.end(), hash.begin(), hash.end());
    }
    if (credentials.keyFileContents) {
        const SecureBytes key = KeyFile::keyForVersion2(*credentials.keyFileContents);
        components.insert(components.end(), key.begin(), key.end());
    }
    return sha256Of(components);
}

SecureBytes CompositeKey::forVersion1(const Credentials& credentials) {
    if (!credentials.keyFileContents) {
        return passwordHash(credentials.passwordUtf8.value_or(SecureBytes{}),
                            TextEncoding::Windows1252);
    }
    SecureBytes key = KeyFile::keyForVersion1(*credentials.keyFileContents);
    // The 1.x format has no empty password beside a key file: that is the key file alone.
    if (!credentials.passwordUtf8 || credentials.passwordUtf8->empty()) {
        return key;
    }
    SecureBytes components = passwordHash(*credentials.passwordUtf8, TextEncoding::Windows1252);
    components.insert(components.end(), key.begin(), key.end());
    return sha256Of(components);
}

} // namespace vaultora::kdb
