#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

std::shared_ptr<DatabaseTree> openFixture(const std::string& name, const char* password) {
    return openDatabase(
        std::make_unique<MappedFileSource>(std::string(VAULTORA_FIXTURES_DIR) + "/perl/" + name),
        secureBytesFromText(password));
}

std::string firstGroupName(const DatabaseTree& tree) {
    const std::vector<DatabaseGroup*> groups = tree.getRoot()->getSubGroups();
    return groups.empty() ? std::string() : std::string(groups.front()->getGroupName());
}

// The fixtures were written by an independent tool; their passwords and groups are in the
// .facts.json and .json files beside them.
TEST(DatabaseOpener, OpensBothFormatsWithTheirPasswords) {
    const std::shared_ptr<DatabaseTree> version1 =
        openFixture("v1-ascii.kdb", "simple ascii password");
    ASSERT_NE(version1, nullptr);
    EXPECT_EQ(firstGroupName(*version1), "Internet");

    const std::shared_ptr<DatabaseTree> version2 =
        openFixture("v2-gzip.kdbx", "Schl\u00fcssel-\u00df-\u65e5\u672c\u8a9e");
    ASSERT_NE(version2, nullptr);
    EXPECT_EQ(firstGroupName(*version2), "Perl root");
}

TEST(DatabaseOpener, NamesTheFailureOfAWrongPasswordAndOfAnUnknownSignature) {
    EXPECT_KDB_ERROR(static_cast<void>(openFixture("v1-ascii.kdb", "wrong")), "DecryptError",
                     "DecryptError");
    EXPECT_KDB_ERROR(static_cast<void>(openFixture("v2-gzip.kdbx", "wrong")), "DecryptError",
                     "DecryptError");

    auto zipFile = std::make_shared<const std::vector<uint8_t>>(
        testing::fromHex("504b0304 14000000 08000000"));
    EXPECT_KDB_ERROR(static_cast<void>(openDatabase(std::make_unique<MappedFileSource>(zipFile),
                                                    secureBytesFromText("any"))),
                     "Unsupported", "UnsupportedVersion");
}

} // namespace
} // namespace vaultora::kdb
