#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "CliRunner.h"
#include "FixtureCatalog.h"

namespace vaultora::test {
namespace {

class FixtureExport : public ::testing::TestWithParam<Fixture> {};

std::vector<std::string> exportArguments(const Fixture& fixture) {
    std::vector<std::string> arguments = {"export", "--json", fixture.path};
    const std::vector<std::string> keys = keyOptions(fixture);
    arguments.insert(arguments.end(), keys.begin(), keys.end());
    return arguments;
}

std::string passwordInput(const Fixture& fixture, const std::string& suffix = "") {
    return fixture.usesPassword ? fixture.password + suffix + "\n" : std::string();
}

// What the writer put in, with the recycle bin's name (or null) that 2.x exports add.
QJsonObject expectedExport(const Fixture& fixture) {
    QJsonObject expected = fixture.expected;
    if (fixture.facts.value("format").toString() == "KeePass 2.x") {
        const QJsonArray recycleBin = fixture.facts.value("recycleBin").toArray();
        expected.insert("recycle_bin",
                        recycleBin.isEmpty() ? QJsonValue(QJsonValue::Null) : recycleBin.last());
    }
    return expected;
}

TEST_P(FixtureExport, JsonExportMatchesWhatTheWriterPutIn) {
    const Fixture& fixture = GetParam();
    const CliResult result = runCli(exportArguments(fixture), passwordInput(fixture));
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(result.out.data(), static_cast<qsizetype>(result.out.size())), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(document.object(), expectedExport(fixture)) << result.out;
}

TEST_P(FixtureExport, WrongPasswordFailsWithDecryptErrorAndPrintsNothing) {
    const Fixture& fixture = GetParam();
    std::vector<std::string> arguments = exportArguments(fixture);
    // A database opened by its key file alone gets a password it does not have.
    std::erase(arguments, "--no-password");
    const CliResult result = runCli(arguments, fixture.password + "!\n");
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
    const std::string fileVersion = facts.value("fileVersion").toString().toStdString();
    // Format 4 keeps its inner stream in the inner header, which only the key decrypts.
    const std::string innerStream = fileVersion.starts_with("4.")
                                        ? std::string("in the encrypted inner header")
                                        : facts.value("innerStream").toString().toStdString();
    std::string expected = "Format: " + facts.value("format").toString().toStdString() + "\n" +
                           "File version: " + fileVersion + "\n" +
                           "Cipher: " + facts.value("cipher").toString().toStdString() + "\n" +
                           "Compression: " + facts.value("compression").toString().toStdString() +
                           "\n" + "Inner stream: " + innerStream + "\n";
    const QJsonObject kdf = facts.value("kdf").toObject();
    if (kdf.isEmpty()) {
        expected +=
            "KDF: AES-KDF\nRounds: " + std::to_string(facts.value("rounds").toInteger()) + "\n";
    } else if (kdf.value("name").toString() == "AES-KDF") {
        expected +=
            "KDF: AES-KDF\nRounds: " + std::to_string(kdf.value("rounds").toInteger()) + "\n";
    } else {
        char version[16];
        std::snprintf(version, sizeof version, "0x%llx",
                      static_cast<unsigned long long>(kdf.value("version").toInteger()));
        expected += "KDF: " + kdf.value("name").toString().toStdString() + "\n" +
                    "Memory: " + std::to_string(kdf.value("memory").toInteger()) + " bytes\n" +
                    "Iterations: " + std::to_string(kdf.value("iterations").toInteger()) + "\n" +
                    "Parallelism: " + std::to_string(kdf.value("parallelism").toInteger()) + "\n" +
                    "Argon2 version: " + version + "\n";
    }
    EXPECT_EQ(result.out, expected);
}

INSTANTIATE_TEST_SUITE_P(Writers, FixtureExport, ::testing::ValuesIn(allFixtures()),
                         [](const ::testing::TestParamInfo<Fixture>& parameter) {
                             return fixtureTestName(parameter.param);
                         });

} // namespace
} // namespace vaultora::test
