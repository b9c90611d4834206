#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "CliRunner.h"
#include "tests/kdb/support/TestCrypto.h"

extern char** environ;

namespace vaultora::test {
namespace {

using vaultora::kdb::testing::Bytes;

const std::string fixtures = VAULTORA_FIXTURES_DIR;
const std::string keyOnlyDatabase = fixtures + "/kdbxweb/aeskdf-chacha20-hexkey-only.kdbx";
const std::string keyOnlyKeyFile = fixtures + "/kdbxweb/aeskdf-chacha20-hexkey-only.hex";
const std::string bothDatabase = fixtures + "/kdbxweb/argon2d-chacha20-keyfile-v2.kdbx";
const std::string bothKeyFile = fixtures + "/kdbxweb/argon2d-chacha20-keyfile-v2.keyx";
const std::string bothPassword = "P\xC3\xA4sswort mit Schl\xC3\xBCsseldatei\n";

Bytes readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(file), {}};
}

std::string temporaryFile(const std::string& name, const Bytes& contents) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("vaultora-cli-" + std::to_string(::getpid()) + "-" + name))
                                 .string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(contents.data()),
               static_cast<std::streamsize>(contents.size()));
    return path;
}

TEST(CliKeyFile, OpensWithTheKeyFileAloneOrWithThePassword) {
    const CliResult alone =
        runCli({"ls", "--no-password", "--key-file", keyOnlyKeyFile, keyOnlyDatabase}, "");
    EXPECT_EQ(alone.exitStatus, 0) << alone.err;
    EXPECT_EQ(alone.out, "AES-KDF hex key/\n");
    const CliResult both = runCli({"ls", "--key-file=" + bothKeyFile, bothDatabase}, bothPassword);
    EXPECT_EQ(both.exitStatus, 0) << both.err;
    EXPECT_EQ(both.out, "Argon2d ChaCha20/\n");
    const CliResult show = runCli({"show", "--key-file", bothKeyFile, bothDatabase,
                                   "Argon2d ChaCha20/Router", "--show-password"},
                                  bothPassword);
    EXPECT_EQ(show.exitStatus, 0) << show.err;
    EXPECT_NE(show.out.find("Password: r0uter!"), std::string::npos) << show.out;
}

TEST(CliKeyFile, WrongOrMissingKeyFilesFailWithTheirNames) {
    const CliResult missingKey = runCli({"ls", bothDatabase}, bothPassword);
    EXPECT_EQ(missingKey.exitStatus, 1);
    EXPECT_NE(missingKey.err.find("(DecryptError)"), std::string::npos) << missingKey.err;
    const CliResult otherKey =
        runCli({"ls", "--key-file", keyOnlyKeyFile, bothDatabase}, bothPassword);
    EXPECT_EQ(otherKey.exitStatus, 1);
    EXPECT_NE(otherKey.err.find("(DecryptError)"), std::string::npos) << otherKey.err;
    const CliResult unreadable =
        runCli({"ls", "--key-file", fixtures + "/no-such.key", bothDatabase}, bothPassword);
    EXPECT_EQ(unreadable.exitStatus, 1);
    EXPECT_NE(unreadable.err.find("cannot read the key file"), std::string::npos) << unreadable.err;

    // An XML key file whose hash does not match its key is refused by name.
    std::string xml;
    for (const uint8_t byte : readFile(bothKeyFile)) {
        xml.push_back(static_cast<char>(byte));
    }
    const std::size_t hash = xml.find("Hash=\"");
    ASSERT_NE(hash, std::string::npos);
    xml[hash + 6] = xml[hash + 6] == '0' ? '1' : '0';
    const std::string damaged = temporaryFile("damaged.keyx", Bytes(xml.begin(), xml.end()));
    const CliResult badHash = runCli({"ls", "--key-file", damaged, bothDatabase}, bothPassword);
    std::filesystem::remove(damaged);
    EXPECT_EQ(badHash.exitStatus, 1);
    EXPECT_NE(badHash.err.find("KeyFileHashMismatch (InvalidKeyFile)"), std::string::npos)
        << badHash.err;
}

TEST(CliKeyFile, OptionMistakesAreUsageErrors) {
    for (const std::vector<std::string>& call :
         std::vector<std::vector<std::string>>{{"ls", bothDatabase, "--key-file"},
                                               {"ls", "--no-password", bothDatabase},
                                               {"info", "--key-file", bothKeyFile, bothDatabase}}) {
        const CliResult result = runCli(call, bothPassword);
        EXPECT_EQ(result.exitStatus, 2) << testing::PrintToString(call) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

// The key-file-only fixture with its AES-KDF rounds raised to 2^40 and the header hash
// renewed: its key derivation would run for hours.
std::string endlessDatabase() {
    Bytes file = readFile(keyOnlyDatabase);
    const Bytes roundsItem = {0x05, 0x01, 0x00, 0x00, 0x00, 'R', 0x08, 0x00, 0x00, 0x00};
    const auto found = std::search(file.begin(), file.end(), roundsItem.begin(), roundsItem.end());
    if (found == file.end()) {
        return {};
    }
    const auto rounds = found + static_cast<std::ptrdiff_t>(roundsItem.size());
    std::fill(rounds, rounds + 8, 0);
    rounds[5] = 0x01;
    // The header's fields (id, 4-byte length, data) end with field 0; its SHA-256 follows.
    std::size_t offset = 12;
    for (uint8_t id = 1; id != 0;) {
        id = file.at(offset);
        offset += 5 + (file.at(offset + 1) | (file.at(offset + 2) << 8) |
                       (file.at(offset + 3) << 16) | (file.at(offset + 4) << 24));
    }
    const auto headerEnd = file.begin() + static_cast<std::ptrdiff_t>(offset);
    const Bytes hash = vaultora::kdb::testing::sha256Of(Bytes(file.begin(), headerEnd));
    std::copy(hash.begin(), hash.end(), headerEnd);
    return temporaryFile("endless.kdbx", file);
}

TEST(CliKeyFile, CtrlCDuringTheKeyDerivationStopsTheOpen) {
    const std::string database = endlessDatabase();
    ASSERT_FALSE(database.empty());
    const std::string errors = database + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> words = {VAULTORA_CLI_PATH, "ls",           "--no-password",
                                      "--key-file",      keyOnlyKeyFile, database};
    std::vector<char*> arguments;
    for (std::string& word : words) {
        arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, VAULTORA_CLI_PATH, &actions, nullptr, arguments.data(), environ),
              0);
    posix_spawn_file_actions_destroy(&actions);

    // Long enough to be inside the key derivation, far too short to finish it.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(::kill(child, SIGINT), 0);
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    pid_t ended = 0;
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        ADD_FAILURE() << "still deriving the key 5 s after Ctrl-C";
    }
    const Bytes message = readFile(errors);
    std::filesystem::remove(errors);
    std::filesystem::remove(database);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(std::string(message.begin(), message.end()), "vaultora-cli: cancelled (Cancelled)\n");
}

} // namespace
} // namespace vaultora::test
