// A crafted file may nest groups far deeper than the call stack allows; the commands that
// walk the whole tree must not recurse once per level. The tool runs here with a small stack
// so that a walk that recurses per level fails at a depth that keeps the output small.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "tests/kdb/support/KdbxFileWriter.h"

namespace vaultora::test {
namespace {

std::filesystem::path writeDeepDatabase(int depth) {
    std::string xml = "<?xml version=\"1.0\"?><KeePassFile><Root><Group><Name>top</Name>"
                      "<Entry><String><Key>Title</Key><Value>near the top</Value></String>"
                      "</Entry>";
    for (int level = 0; level < depth; ++level) {
        xml += "<Group><Name>n</Name>";
    }
    for (int level = 0; level <= depth; ++level) {
        xml += "</Group>";
    }
    xml += "</Root></KeePassFile>";
    vaultora::kdb::testing::KdbxFileWriter writer;
    writer.rounds = 1;
    const vaultora::kdb::testing::Bytes file =
        writer.file(vaultora::kdb::testing::textBytes("p"), vaultora::kdb::testing::textBytes(xml));
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vaultora-deep-" + std::to_string(::getpid()));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
    return path;
}

// Runs "vaultora-cli COMMAND DATABASE [TEXT]" with the password "p" and a 256 KiB stack.
int runWithSmallStack(const std::string& command, const std::filesystem::path& database,
                      const std::string& text = {}) {
    const std::string line = "ulimit -s 256 && echo p | '" VAULTORA_CLI_PATH "' " + command + " '" +
                             database.string() + "' " + text + " > /dev/null";
    return std::system(line.c_str());
}

TEST(CliDeepNesting, ExportSearchAndListWalkDeepTreesWithoutRecursion) {
    const std::filesystem::path database = writeDeepDatabase(5000);
    EXPECT_EQ(runWithSmallStack("export --json", database), 0);
    EXPECT_EQ(runWithSmallStack("search", database, "top"), 0);
    EXPECT_EQ(runWithSmallStack("ls -R -f", database), 0);
    std::filesystem::remove(database);
}

} // namespace
} // namespace vaultora::test
