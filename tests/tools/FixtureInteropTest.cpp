#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <set>

#include "FixtureCatalog.h"
#include "kdb/DatabaseError.h"
#include "kdb/FormatDetector.h"
#include "kdb/MappedFileSource.h"

#include <fstream>
#include <iterator>

namespace vaultora::test {
namespace {

std::string compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

class FixtureInterop : public ::testing::TestWithParam<Fixture> {};

TEST_P(FixtureInterop, OpensIntoExactlyWhatTheWriterPutIn) {
    const Fixture& fixture = GetParam();
    const std::shared_ptr<vaultora::kdb::DatabaseTree> tree =
        openWithEngine(fixture, fixtureCredentials(fixture));
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(tree->getRoot(), nullptr);
    const QJsonObject actual = treeAsJson(*tree);
    EXPECT_EQ(actual, fixture.expected) << "engine:\n"
                                        << compact(actual) << "\nwriter:\n"
                                        << compact(fixture.expected);
}

TEST_P(FixtureInterop, RecycleBinIsExactlyTheGroupTheWriterMarked) {
    const Fixture& fixture = GetParam();
    const std::shared_ptr<vaultora::kdb::DatabaseTree> tree =
        openWithEngine(fixture, fixtureCredentials(fixture));
    std::vector<std::string> expected;
    const QJsonArray names = fixture.facts.value("recycleBin").toArray();
    if (!names.isEmpty()) {
        std::string path;
        for (const QJsonValue& name : names) {
            path += (path.empty() ? "" : "/") + name.toString().toStdString();
        }
        expected.push_back(path);
    }
    EXPECT_EQ(recycleBinPaths(*tree), expected);
}

TEST_P(FixtureInterop, EveryWrongPasswordIsDecryptError) {
    const Fixture& fixture = GetParam();
    std::vector<std::string> wrongPasswords = {fixture.password + "x", "wrong", "",
                                               fixture.password + "\n"};
    if (!fixture.password.empty()) {
        wrongPasswords.push_back(fixture.password.substr(1));
    }
    for (const std::string& wrong : wrongPasswords) {
        if (wrong == fixture.password && fixture.usesPassword) {
            continue;
        }
        // An empty password beside a key file is the key file alone in the 1.x format.
        if (wrong.empty() && !fixture.keyFile.empty() &&
            fixture.facts.value("format").toString() == "KeePass 1.x") {
            continue;
        }
        try {
            (void)openWithEngine(fixture, fixtureCredentials(fixture, wrong));
            ADD_FAILURE() << "opened with the wrong password \"" << wrong << "\"";
        } catch (const vaultora::kdb::DatabaseError& error) {
            EXPECT_EQ(error.name(), "DecryptError")
                << "password \"" << wrong << "\": " << error.what();
        }
    }
}

// The right password without the key file, or with another key file, is a wrong key too.
TEST_P(FixtureInterop, EveryWrongKeyFileIsDecryptError) {
    const Fixture& fixture = GetParam();
    if (fixture.keyFile.empty()) {
        GTEST_SKIP() << "no key file";
    }
    const vaultora::kdb::Credentials right = fixtureCredentials(fixture);
    const vaultora::kdb::SecureBytes password =
        right.passwordUtf8.value_or(vaultora::kdb::SecureBytes{});
    std::vector<vaultora::kdb::Credentials> wrongKeys(2);
    wrongKeys[0].passwordUtf8 = password;
    if (fixture.usesPassword) {
        wrongKeys[1].passwordUtf8 = password;
    }
    wrongKeys[1].keyFileContents = vaultora::kdb::secureBytesFromText("another key file");
    if (fixture.usesPassword) {
        vaultora::kdb::Credentials keyFileAlone;
        keyFileAlone.keyFileContents = right.keyFileContents;
        wrongKeys.push_back(std::move(keyFileAlone));
    }
    for (const vaultora::kdb::Credentials& wrong : wrongKeys) {
        try {
            (void)openWithEngine(fixture, wrong);
            ADD_FAILURE() << "opened with a wrong key";
        } catch (const vaultora::kdb::DatabaseError& error) {
            EXPECT_EQ(error.name(), "DecryptError") << error.what();
        }
    }
}

// A file cut short anywhere fails with the engine's named error: never a crash, never a tree.
TEST_P(FixtureInterop, TruncatedCopiesFailWithANamedError) {
    const Fixture& fixture = GetParam();
    std::ifstream file(fixture.path, std::ios::binary);
    const std::vector<uint8_t> whole{std::istreambuf_iterator<char>(file), {}};
    ASSERT_GT(whole.size(), 200U);
    const std::size_t size = whole.size();
    for (const std::size_t length :
         {std::size_t{0}, std::size_t{4}, std::size_t{8}, std::size_t{11}, std::size_t{12},
          std::size_t{64}, std::size_t{130}, size / 2, size - 32, size - 16, size - 1}) {
        auto bytes = std::make_shared<const std::vector<uint8_t>>(
            whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        try {
            auto source = std::make_unique<vaultora::kdb::MappedFileSource>(bytes);
            std::unique_ptr<vaultora::kdb::DatabaseReader> reader =
                vaultora::kdb::FormatDetector::readerFor(*source);
            (void)reader->load(std::move(source), fixtureCredentials(fixture));
            ADD_FAILURE() << "opened the first " << length << " of " << size << " bytes";
        } catch (const vaultora::kdb::DatabaseError& error) {
            const std::set<std::string> names = {"DecryptError", "ParseError", "InvalidData",
                                                 "InvalidHeader", "Unsupported"};
            EXPECT_TRUE(names.contains(error.name())) << length << ": " << error.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Writers, FixtureInterop, ::testing::ValuesIn(allFixtures()),
                         [](const ::testing::TestParamInfo<Fixture>& parameter) {
                             return fixtureTestName(parameter.param);
                         });

TEST(FixtureCatalog, HoldsFilesFromEveryIndependentWriter) {
    std::set<std::string> writers;
    std::set<std::string> formats;
    for (const Fixture& fixture : allFixtures()) {
        writers.insert(fixture.name.substr(0, fixture.name.find('/')));
        formats.insert(fixture.facts.value("format").toString().toStdString());
    }
    EXPECT_EQ(writers, (std::set<std::string>{"keepassxc", "kdbxweb", "perl", "pykeepass"}));
    EXPECT_EQ(formats, (std::set<std::string>{"KeePass 1.x", "KeePass 2.x"}));
}

} // namespace
} // namespace vaultora::test
