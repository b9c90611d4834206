#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kdb/Base64.h"

namespace vaultora::kdb {
namespace {

std::vector<uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// Test vectors of RFC 4648, section 10.
TEST(Base64, DecodesThePublishedVectorsWithTwoOneAndNoPadding) {
    EXPECT_EQ(Base64::decode(""), bytesOf(""));
    EXPECT_EQ(Base64::decode("Zg=="), bytesOf("f"));
    EXPECT_EQ(Base64::decode("Zm8="), bytesOf("fo"));
    EXPECT_EQ(Base64::decode("Zm9v"), bytesOf("foo"));
    EXPECT_EQ(Base64::decode("Zm9vYg=="), bytesOf("foob"));
    EXPECT_EQ(Base64::decode("Zm9vYmE="), bytesOf("fooba"));
    EXPECT_EQ(Base64::decode("Zm9vYmFy"), bytesOf("foobar"));
}

TEST(Base64, DecodesTheWholeAlphabetIncludingPlusAndSlash) {
    EXPECT_EQ(Base64::decode("+/+/"), (std::vector<uint8_t>{0xFB, 0xFF, 0xBF}));
    EXPECT_EQ(Base64::decode("AAEC/w=="), (std::vector<uint8_t>{0x00, 0x01, 0x02, 0xFF}));
}

TEST(Base64, YieldsNothingForALengthThatIsNotAMultipleOfFour) {
    EXPECT_TRUE(Base64::decode("Zm9").empty());
    EXPECT_TRUE(Base64::decode("Zm9vY").empty());
    // White space is not skipped, so a line break makes the length wrong.
    EXPECT_TRUE(Base64::decode("Zm9v\n").empty());
}

TEST(Base64, YieldsNothingForTextThatIsNotAscii) {
    EXPECT_TRUE(Base64::decode("Zm\xC3\xA9v").empty());
}

TEST(Base64, CountsCharactersOutsideTheAlphabetAsZero) {
    EXPECT_EQ(Base64::decode("A!AA"), Base64::decode("AAAA"));
    EXPECT_EQ(Base64::decode("Z=9v"), Base64::decode("ZA9v"));
}

TEST(Base64, PaddingNeverShortensTheOutputBelowOneByteAGroup) {
    EXPECT_EQ(Base64::decode("===="), (std::vector<uint8_t>{0x00}));
    EXPECT_EQ(Base64::decode("Zm9v===="), bytesOf(std::string("foo") + '\0'));
}

} // namespace
} // namespace vaultora::kdb
