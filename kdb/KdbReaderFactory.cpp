#include "KdbReaderFactory.h"

#include "Kdb3Reader.h"
#include "Kdb4Reader.h"
#include "KdbException.h"
#include "Utils.h"

namespace kdb {

namespace {
constexpr uint32_t kSignature1 = 0x9AA2D903;
constexpr uint32_t kSignatureVersion1 = 0xB54BFB65;
constexpr uint32_t kSignatureVersion2 = 0xB54BFB67;
constexpr uint32_t kSignatureVersion2PreRelease = 0xB54BFB66;
} // namespace

std::unique_ptr<KdbReader> KdbReaderFactory::newKdbReader(InputDataSource& source) {
    // Missing bytes never match a signature.
    const auto first = Utils::readCompleteLE(source, 4);
    const auto second = Utils::readCompleteLE(source, 4);
    if (first && second && *first == kSignature1) {
        if (*second == kSignatureVersion1) {
            return std::make_unique<Kdb3Reader>();
        }
        if (*second == kSignatureVersion2 || *second == kSignatureVersion2PreRelease) {
            return std::make_unique<Kdb4Reader>();
        }
    }
    throw KdbException("Unsupported", "UnsupportedVersion");
}

} // namespace kdb
