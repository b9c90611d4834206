#include "base/SecureText.h"

#include <gtest/gtest.h>

namespace {

TEST(SecureText, KeepsTheUtf8BytesOfTheText) {
    const vaultora::kdb::SecureBytes bytes =
        vaultora::base::secureUtf8(QStringLiteral("p\u00e4ss \u20ac"));
    const std::string expected = "p\xc3\xa4ss \xe2\x82\xac";
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    EXPECT_TRUE(vaultora::base::secureUtf8(QString()).empty());
}

} // namespace
