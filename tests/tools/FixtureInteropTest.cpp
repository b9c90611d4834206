#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <set>

#include "FixtureCatalog.h"
#include "kdb/KdbException.h"

namespace vaultora::test {
namespace {

std::string compact(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

class FixtureInterop : public ::testing::TestWithParam<Fixture> {};

TEST_P(FixtureInterop, OpensIntoExactlyWhatTheWriterPutIn) {
    const Fixture& fixture = GetParam();
    const std::shared_ptr<kdb::KdbTree> tree = openWithEngine(fixture.path, fixture.password);
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(tree->getRoot(), nullptr);
    const QJsonObject actual = treeAsJson(*tree);
    EXPECT_EQ(actual, fixture.expected) << "engine:\n"
                                        << compact(actual) << "\nwriter:\n"
                                        << compact(fixture.expected);
}

TEST_P(FixtureInterop, RecycleBinIsExactlyTheGroupTheWriterMarked) {
    const Fixture& fixture = GetParam();
    const std::shared_ptr<kdb::KdbTree> tree = openWithEngine(fixture.path, fixture.password);
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
        if (wrong == fixture.password) {
            continue;
        }
        try {
            (void)openWithEngine(fixture.path, wrong);
            ADD_FAILURE() << "opened with the wrong password \"" << wrong << "\"";
        } catch (const kdb::KdbException& error) {
            EXPECT_EQ(error.name(), "DecryptError")
                << "password \"" << wrong << "\": " << error.what();
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
    EXPECT_EQ(writers, (std::set<std::string>{"keepassxc", "kdbxweb", "perl"}));
    EXPECT_EQ(formats, (std::set<std::string>{"KeePass 1.x", "KeePass 2.x"}));
}

} // namespace
} // namespace vaultora::test
