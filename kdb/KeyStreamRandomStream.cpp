#include "KeyStreamRandomStream.h"

#include "Codec.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

std::string KeyStreamRandomStream::xorBytes(const uint8_t* bytes, std::size_t length) {
    SecureBytes plain(bytes, bytes + length);
    applyKeyStream(plain.data(), plain.size());
    if (!Codec::isValidUtf8(plain.data(), plain.size())) {
        return {};
    }
    return std::string(plain.begin(), plain.end());
}

} // namespace vaultora::kdb
