#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "CliRunner.h"

namespace vaultora::test {
namespace {

const std::string testDatabase = VAULTORA_TEST_DATABASE;
const std::string fixtures = VAULTORA_FIXTURES_DIR;

TEST(CliPassword, TakesOnlyTheFirstLineOfStandardInputWithoutItsLineEnd) {
    for (const std::string input :
         {"tulipfox\n", "tulipfox", "tulipfox\r\n", "tulipfox\nnext line\n"}) {
        const CliResult result = runCli({"ls", testDatabase}, input);
        EXPECT_EQ(result.exitStatus, 0) << "input \"" << input << "\": " << result.err;
    }
    EXPECT_EQ(runCli({"ls", testDatabase}, " tulipfox\n").exitStatus, 1);
}

TEST(CliPassword, AnEmptyLineIsTheEmptyPassword) {
    const CliResult result = runCli({"ls", fixtures + "/kdbxweb/empty-password.kdbx"}, "\n");
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "No password/\n");
}

TEST(CliPassword, NoInputAtAllIsAnErrorNotAnEmptyPassword) {
    const CliResult result = runCli({"ls", fixtures + "/kdbxweb/empty-password.kdbx"}, "");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("no master password"), std::string::npos) << result.err;
}

TEST(CliUsage, MalformedCallsExitWithStatusTwoAndSayWhy) {
    const std::vector<std::vector<std::string>> calls = {
        {},
        {"frobnicate", testDatabase},
        {"show", testDatabase},
        {"export", testDatabase},
        {"ls", testDatabase, "--bogus"},
        {"ls", testDatabase, "Internet", "extra"},
        {"search", testDatabase},
    };
    for (const auto& call : calls) {
        const CliResult result = runCli(call, "tulipfox\n");
        EXPECT_EQ(result.exitStatus, 2) << testing::PrintToString(call);
        EXPECT_EQ(result.out, "") << testing::PrintToString(call);
        EXPECT_FALSE(result.err.empty()) << testing::PrintToString(call);
    }
    EXPECT_EQ(runCli({"--help"}, "").exitStatus, 0);
}

TEST(CliErrors, UnreadableOrForeignFilesExitWithStatusOne) {
    const CliResult missing = runCli({"ls", fixtures + "/does-not-exist.kdb"}, "x\n");
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;

    const std::filesystem::path foreign = std::filesystem::temp_directory_path() /
                                          ("vaultora-cli-foreign-" + std::to_string(::getpid()));
    std::ofstream(foreign) << "just some text, not a database\n";
    const CliResult listed = runCli({"ls", foreign.string()}, "x\n");
    const CliResult described = runCli({"info", foreign.string()}, "");
    std::filesystem::remove(foreign);
    EXPECT_EQ(listed.exitStatus, 1);
    EXPECT_NE(listed.err.find("(Unsupported)"), std::string::npos) << listed.err;
    EXPECT_EQ(described.exitStatus, 1);
    EXPECT_NE(described.err.find("(Unsupported)"), std::string::npos) << described.err;
}

TEST(CliInfo, AHeaderCutShortIsReportedAsDamaged) {
    std::ifstream whole(fixtures + "/kdbxweb/plain-salsa20.kdbx", std::ios::binary);
    std::string head(40, '\0');
    whole.read(head.data(), static_cast<std::streamsize>(head.size()));
    const std::filesystem::path cut =
        std::filesystem::temp_directory_path() / ("vaultora-cli-cut-" + std::to_string(::getpid()));
    std::ofstream(cut, std::ios::binary) << head;
    const CliResult result = runCli({"info", cut.string()}, "");
    std::filesystem::remove(cut);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("(InvalidHeader)"), std::string::npos) << result.err;
}

TEST(CliList, ListsSubgroupsThenEntriesOfTheNamedGroup) {
    const CliResult root = runCli({"ls", testDatabase}, "tulipfox\n");
    EXPECT_EQ(root.out, "Internet/\neMail/\nBanking/\nBackup/\n");
    const CliResult internet = runCli({"ls", testDatabase, "Internet"}, "tulipfox\n");
    EXPECT_EQ(internet.out, "Travel/\nExample forum\nCafé Zürich\n");
    const CliResult nested = runCli({"ls", testDatabase, "/Internet/Travel/"}, "tulipfox\n");
    EXPECT_EQ(nested.out, "Rail pass\n");
    const CliResult absent = runCli({"ls", testDatabase, "Internet/Nowhere"}, "tulipfox\n");
    EXPECT_EQ(absent.exitStatus, 1);
    EXPECT_EQ(absent.out, "");
}

TEST(CliList, ListsWholeSubtreesIndentedOrAsPaths) {
    const CliResult indented = runCli({"ls", "-R", testDatabase, "Internet"}, "tulipfox\n");
    EXPECT_EQ(indented.out, "Travel/\n  Rail pass\nExample forum\nCafé Zürich\n");

    const CliResult flat = runCli({"ls", testDatabase, "--recursive", "--flatten"}, "tulipfox\n");
    EXPECT_EQ(flat.exitStatus, 0);
    EXPECT_EQ(flat.out, "Internet/\nInternet/Travel/\nInternet/Travel/Rail pass\n"
                        "Internet/Example forum\nInternet/Café Zürich\neMail/\neMail/Work mail\n"
                        "eMail/Mailing list\nBanking/\nBanking/Bank account\nBackup/\n"
                        "Backup/Old router\n");

    // Flat paths escape the names the way paths are typed: the backslash in a title doubles.
    const std::string file = fixtures + "/kdbxweb/gzip-salsa20.kdbx";
    const CliResult escaped = runCli({"ls", "-Rf", file, "Personal/Web"}, "Pässwörd-€-😀-ключ\n");
    EXPECT_NE(escaped.out.find("Forums/Forum \"quotes\" \\\\ backslash\n"), std::string::npos)
        << escaped.out;
    EXPECT_NE(escaped.out.find("Forums/Archive/Long protected value\n"), std::string::npos)
        << escaped.out;

    // Without -R, -f changes nothing: the group's own children have no path to show.
    EXPECT_EQ(runCli({"ls", "-f", testDatabase}, "tulipfox\n").out,
              runCli({"ls", testDatabase}, "tulipfox\n").out);
}

TEST(CliShow, HidesThePasswordUnlessAskedToShowIt) {
    const std::string fields = "UserName: customer-1001\n";
    const CliResult hidden = runCli({"show", testDatabase, "Banking/Bank account"}, "tulipfox\n");
    EXPECT_EQ(hidden.exitStatus, 0) << hidden.err;
    EXPECT_EQ(hidden.out, "Title: Bank account\n" + fields +
                              "Password: PROTECTED\nURL: https://bank.example.com/online\n"
                              "Notes: Card PIN is not stored here.\n");
    EXPECT_EQ(hidden.out.find("safe&sound"), std::string::npos);

    const CliResult shown =
        runCli({"show", testDatabase, "Banking/Bank account", "--show-password"}, "tulipfox\n");
    EXPECT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_NE(shown.out.find("Password: safe&sound\n"), std::string::npos) << shown.out;

    EXPECT_EQ(runCli({"show", testDatabase, "Banking/No such entry"}, "tulipfox\n").exitStatus, 1);
}

TEST(CliShow, ListsCustomFieldsInModelOrderAndFindsEscapedNames) {
    const std::string file = fixtures + "/kdbxweb/gzip-salsa20.kdbx";
    const std::string password = "Pässwörd-€-😀-ключ\n";
    const CliResult ordered =
        runCli({"show", file, "Personal/Web/Forums/Ordered customs"}, password);
    ASSERT_EQ(ordered.exitStatus, 0) << ordered.err;
    // Custom fields are ordered by their values, ignoring case: "A", "b", "c".
    EXPECT_NE(ordered.out.find("Notes: \nSecond: A\nFirst: b\nThird: c\n"), std::string::npos)
        << ordered.out;

    const CliResult escaped = runCli(
        {"show", file, "Personal/Web/Forums/Forum \"quotes\" \\\\ backslash", "--show-password"},
        password);
    ASSERT_EQ(escaped.exitStatus, 0) << escaped.err;
    EXPECT_NE(escaped.out.find("Password: p<a>&s\"s'w\n"), std::string::npos) << escaped.out;
}

TEST(CliSearch, MatchesTitleUrlAndNotesIgnoringCaseButNotUserNames) {
    const auto search = [](const std::string& text) {
        return runCli({"search", testDatabase, text}, "tulipfox\n").out;
    };
    // "Mailing list" has "bank" only in its user name, which search does not look at.
    EXPECT_EQ(search("BANK"), "Banking/Bank account\n");
    EXPECT_EQ(search("ZÜRICH"), "Internet/Café Zürich\n");
    EXPECT_EQ(search("seat 12a"), "Internet/Travel/Rail pass\n");
    EXPECT_EQ(search("forum.EXAMPLE"), "Internet/Example forum\n");
    EXPECT_EQ(search("example.com"),
              "Internet/Travel/Rail pass\neMail/Work mail\nBanking/Bank account\n");
    EXPECT_EQ(search("no such text"), "");
}

} // namespace
} // namespace vaultora::test
