#include <gtest/gtest.h>

#include "kdb/Kdb3Reader.h"
#include "kdb/Kdb4Reader.h"
#include "kdb/KdbReaderFactory.h"
#include "kdb/WrapperNSData.h"
#include "support/ExpectKdbError.h"
#include "support/TestCrypto.h"

namespace kdb {
namespace {

std::unique_ptr<KdbReader> detect(const char* hex, uint32_t* offset = nullptr) {
    WrapperNSData source(std::make_shared<const std::vector<uint8_t>>(testing::fromHex(hex)));
    auto reader = KdbReaderFactory::newKdbReader(source);
    if (offset != nullptr) {
        *offset = source._offset();
    }
    return reader;
}

TEST(KdbReaderFactory, ChoosesTheReaderBySignature) {
    uint32_t offset = 0;
    EXPECT_NE(dynamic_cast<Kdb4Reader*>(detect("03d9a29a 67fb4bb5 01000300", &offset).get()),
              nullptr);
    EXPECT_EQ(offset, 8u);
    EXPECT_NE(dynamic_cast<Kdb4Reader*>(detect("03d9a29a 66fb4bb5").get()), nullptr);
    EXPECT_NE(dynamic_cast<Kdb3Reader*>(detect("03d9a29a 65fb4bb5").get()), nullptr);
}

TEST(KdbReaderFactory, AnythingElseIsAnUnsupportedVersion) {
    for (const char* hex :
         {"03d9a29a 68fb4bb5", "04d9a29a 67fb4bb5", "", "03d9a29a 67fb4b", "504b0304 14000000"}) {
        EXPECT_KDB_ERROR(static_cast<void>(detect(hex)), "Unsupported", "UnsupportedVersion")
            << hex;
    }
}

} // namespace
} // namespace kdb
