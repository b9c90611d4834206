#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "CliRunner.h"
#include "FixtureCatalog.h"

namespace vaultora::test {
namespace {

class FixtureExport : public ::testing::TestWithParam<Fixture> {};

TEST_P(FixtureExport, JsonExportMatchesWhatTheWriterPutIn) {
    const Fixture& fixture = GetParam();
    const CliResult result = runCli({"export", "--json", fixture.path}, fixture.password + "\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(result.out.data(), static_cast<qsizetype>(result.out.size())), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(document.object(), fixture.expected) << result.out;
}

TEST_P(FixtureExport, WrongPasswordFailsWithDecryptErrorAndPrintsNothing) {
    const Fixture& fixture = GetParam();
    const CliResult result = runCli({"export", "--json", fixture.path}, fixture.password + "!\n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("(DecryptError)"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << "one line: " << result.err;
}

TEST_P(FixtureExport, InfoReportsTheHeaderTheWriterChose) {
    const Fixture& fixture = GetParam();
    const CliResult result = runCli({"info", fixture.path}, "");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const QJsonObject& facts = fixture.facts;
    const std::string expected =
        "Format: " + facts.value("format").toString().toStdString() + "\n" +
        "File version: " + facts.value("fileVersion").toString().toStdString() + "\n" +
        "Cipher: " + facts.value("cipher").toString().toStdString() + "\n" +
        "Compression: " + facts.value("compression").toString().toStdString() + "\n" +
        "Inner stream: " + facts.value("innerStream").toString().toStdString() + "\n" +
        "Rounds: " + std::to_string(facts.value("rounds").toInteger()) + "\n";
    EXPECT_EQ(result.out, expected);
}

INSTANTIATE_TEST_SUITE_P(Writers, FixtureExport, ::testing::ValuesIn(allFixtures()),
                         [](const ::testing::TestParamInfo<Fixture>& parameter) {
                             return fixtureTestName(parameter.param);
                         });

} // namespace
} // namespace vaultora::test
