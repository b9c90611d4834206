// Inputs on which the database fuzz target once failed (tests/kdb/fuzz-regressions, in the
// shapes of support/FuzzInput.h). Each must open or be refused with the engine's error, and
// nothing else; under the sanitizers of the fuzz build the same inputs also check memory use.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "kdb/DatabaseError.h"
#include "kdb/DatabaseModel.h"
#include "kdb/FormatDetector.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/FuzzInput.h"
#include "tests/kdb/support/Kdbx4FileWriter.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;

const std::filesystem::path kRegressions =
    std::filesystem::path(VAULTORA_FIXTURES_DIR).parent_path() / "kdb" / "fuzz-regressions";

Bytes readInput(const std::string& name) {
    std::ifstream file(kRegressions / name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The tree, or the name of the engine error that refused the input.
struct Outcome {
    std::shared_ptr<DatabaseTree> tree;
    std::optional<std::string> error;
};

Outcome open(const Bytes& input) {
    auto database = testing::decodeFuzzInput(input);
    if (!database) {
        ADD_FAILURE() << "input too short to stand for a database";
        return {};
    }
    auto source = std::make_unique<MappedFileSource>(
        std::make_shared<const std::vector<uint8_t>>(std::move(database->file)));
    try {
        auto reader = FormatDetector::readerFor(*source);
        return {reader->load(std::move(source), secureBytesFromText(database->password)), {}};
    } catch (const DatabaseError& error) {
        return {nullptr, error.name()};
    }
}

TEST(FuzzRegression, EveryStoredInputOpensOrIsRefusedWithTheEngineError) {
    std::size_t inputs = 0;
    for (const auto& item : std::filesystem::directory_iterator(kRegressions)) {
        SCOPED_TRACE(item.path().filename().string());
        const Outcome outcome = open(readInput(item.path().filename().string()));
        EXPECT_TRUE(outcome.tree != nullptr || outcome.error.has_value());
        ++inputs;
    }
    EXPECT_GT(inputs, 0u);
}

TEST(FuzzRegression, RoundsAreCappedInWholeFilesOfBothVersions) {
    Bytes version1(124, 0);
    testing::Bytes header;
    testing::appendLE(header, 0x9AA2D903, 4);
    testing::appendLE(header, 0xB54BFB65, 4);
    std::copy(header.begin(), header.end(), version1.begin());
    version1[120] = 0xFF;
    version1[121] = 0xFF;
    version1[122] = 0xFF;
    version1[123] = 0xFF;
    testing::capRounds(version1);
    EXPECT_EQ(version1[120], testing::kFuzzRoundCap);
    EXPECT_EQ(version1[123], 0);

    // Signatures, file version, a 4-byte compression field stated as 1 byte long, then the
    // rounds field.
    Bytes version2;
    testing::appendLE(version2, 0x9AA2D903, 4);
    testing::appendLE(version2, 0xB54BFB67, 4);
    testing::appendLE(version2, 0x00030001, 4);
    version2.insert(version2.end(), {3, 1, 0, 0, 0, 0, 0});
    version2.insert(version2.end(), {6, 8, 0});
    testing::appendLE(version2, UINT64_MAX, 8);
    version2.insert(version2.end(), {0, 0, 0});
    testing::capRounds(version2);
    EXPECT_EQ(version2[22], testing::kFuzzRoundCap);
    EXPECT_EQ(version2[29], 0);
}

// A format-4 file asking for 2^40 AES-KDF rounds (its header hash renewed): capped, it reaches
// the key derivation and fails at once on the header HMAC, as the key changed with the rounds.
TEST(FuzzRegression, KeyDerivationCostsAreCappedInFormatFourFiles) {
    const testing::Kdbx4FileWriter writer;
    Bytes file = writer.file(testing::textBytes("pw"), testing::textBytes("<KeePassFile/>"));
    const Bytes roundsItem = {0x05, 0x01, 0x00, 0x00, 0x00, 'R', 0x08, 0x00, 0x00, 0x00};
    const auto found = std::search(file.begin(), file.end(), roundsItem.begin(), roundsItem.end());
    ASSERT_NE(found, file.end());
    const auto rounds = found + static_cast<std::ptrdiff_t>(roundsItem.size());
    std::fill(rounds, rounds + 8, 0);
    rounds[5] = 0x01;
    testing::capRounds(file);
    EXPECT_EQ(rounds[0], testing::kFuzzRoundCap);
    EXPECT_EQ(rounds[5], 0);
    Bytes input = {0, 2, 'p', 'w'};
    input.insert(input.end(), file.begin(), file.end());
    const Outcome outcome = open(input);
    EXPECT_EQ(outcome.error, std::optional<std::string>("DecryptError"));
}

// Shape 1 with flag 8 builds a format-4 file around the inner header and XML it carries.
TEST(FuzzRegression, PayloadShapeWritesFormatFourFiles) {
    Bytes input = {1, 8, 0};
    input.resize(35, 0);
    const Bytes innerHeader = testing::Kdbx4FileWriter().innerHeader();
    input.insert(input.end(), innerHeader.begin(), innerHeader.end());
    const Bytes xml = testing::textBytes(
        "<KeePassFile><Root><Group><Name>Fuzzed</Name></Group></Root></KeePassFile>");
    input.insert(input.end(), xml.begin(), xml.end());
    const Outcome outcome = open(input);
    ASSERT_NE(outcome.tree, nullptr) << outcome.error.value_or("");
    EXPECT_EQ(outcome.tree->getRoot()->getSubGroups().at(0)->getGroupName(), "Fuzzed");
}

} // namespace
} // namespace vaultora::kdb
