#include <gtest/gtest.h>

#include "kdb/FormatDetector.h"
#include "kdb/KdbxReader.h"
#include "kdb/KeePass1Reader.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

std::unique_ptr<DatabaseReader> detect(const char* hex, uint32_t* offset = nullptr) {
    MappedFileSource source(std::make_shared<const std::vector<uint8_t>>(testing::fromHex(hex)));
    auto reader = FormatDetector::readerFor(source);
    if (offset != nullptr) {
        *offset = source._offset();
    }
    return reader;
}

TEST(FormatDetector, ChoosesTheReaderBySignature) {
    uint32_t offset = 0;
    EXPECT_NE(dynamic_cast<KdbxReader*>(detect("03d9a29a 67fb4bb5 01000300", &offset).get()),
              nullptr);
    EXPECT_EQ(offset, 8u);
    EXPECT_NE(dynamic_cast<KdbxReader*>(detect("03d9a29a 66fb4bb5").get()), nullptr);
    EXPECT_NE(dynamic_cast<KeePass1Reader*>(detect("03d9a29a 65fb4bb5").get()), nullptr);
}

TEST(FormatDetector, AnythingElseIsAnUnsupportedVersion) {
    for (const char* hex :
         {"03d9a29a 68fb4bb5", "04d9a29a 67fb4bb5", "", "03d9a29a 67fb4b", "504b0304 14000000"}) {
        EXPECT_KDB_ERROR(static_cast<void>(detect(hex)), "Unsupported", "UnsupportedVersion")
            << hex;
    }
}

} // namespace
} // namespace vaultora::kdb
