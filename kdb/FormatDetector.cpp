#include "FormatDetector.h"

#include "Codec.h"
#include "DatabaseError.h"
#include "KdbxReader.h"
#include "KeePass1Reader.h"

namespace vaultora::kdb {

namespace {
constexpr uint32_t kSignature1 = 0x9AA2D903;
constexpr uint32_t kSignatureVersion1 = 0xB54BFB65;
constexpr uint32_t kSignatureVersion2 = 0xB54BFB67;
constexpr uint32_t kSignatureVersion2PreRelease = 0xB54BFB66;
} // namespace

std::unique_ptr<DatabaseReader> FormatDetector::readerFor(InputSource& source) {
    // Missing bytes never match a signature.
    const auto first = Codec::readCompleteLE(source, 4);
    const auto second = Codec::readCompleteLE(source, 4);
    if (first && second && *first == kSignature1) {
        if (*second == kSignatureVersion1) {
            return std::make_unique<KeePass1Reader>();
        }
        if (*second == kSignatureVersion2 || *second == kSignatureVersion2PreRelease) {
            return std::make_unique<KdbxReader>(static_cast<uint32_t>(*second));
        }
    }
    throw DatabaseError("Unsupported", "UnsupportedVersion");
}

} // namespace vaultora::kdb
