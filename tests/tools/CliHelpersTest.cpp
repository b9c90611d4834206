#include <gtest/gtest.h>

#include <unistd.h>

#include <sstream>
#include <string>

#include "CliError.h"
#include "CommandLine.h"
#include "JsonWriter.h"
#include "PasswordInput.h"
#include "TextMatch.h"
#include "TreePath.h"

namespace vaultora::cli {
namespace {

TEST(QuoteJson, EscapesQuotesBackslashesAndControlCharacters) {
    EXPECT_EQ(quoteJson("a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(quoteJson("\n\r\t\b\f"), R"("\n\r\t\b\f")");
    EXPECT_EQ(quoteJson(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\x7f\"");
    EXPECT_EQ(quoteJson(std::string("nul\0byte", 8)), R"("nul\u0000byte")");
    EXPECT_EQ(quoteJson("</script>"), R"("</script>")");
}

TEST(QuoteJson, KeepsUtf8AndReplacesMalformedBytes) {
    EXPECT_EQ(quoteJson("Grüße 😀 ключ"), "\"Grüße 😀 ключ\"");
    EXPECT_EQ(quoteJson("\xff"), R"("\ufffd")");
    EXPECT_EQ(quoteJson("caf\xc3"), R"("caf\ufffd")");               // cut short
    EXPECT_EQ(quoteJson("\xc0\xaf"), R"("\ufffd\ufffd")");           // overlong "/"
    EXPECT_EQ(quoteJson("\xed\xa0\x80"), R"("\ufffd\ufffd\ufffd")"); // surrogate
}

TEST(JsonWriter, WritesIndentedDocumentsWithEmptyContainersInline) {
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.key("name");
    json.value("x");
    json.key("groups");
    json.beginArray();
    json.endArray();
    json.key("list");
    json.beginArray();
    json.value("a");
    json.beginObject();
    json.endObject();
    json.endArray();
    json.endObject();
    json.finish();
    EXPECT_EQ(out.str(), "{\n  \"name\": \"x\",\n  \"groups\": [],\n  \"list\": [\n    \"a\",\n"
                         "    {}\n  ]\n}\n");
}

TEST(JsonWriter, WritesLongValuesAndDeepNestingWholeAndInOrder) {
    // Far beyond the size in which the writer hands its output to the stream.
    std::string longValue;
    std::string longQuoted = "\"";
    for (int index = 0; index < 100000; ++index) {
        longValue += "a\"\xe2\x82\xac";
        longQuoted += "a\\\"\xe2\x82\xac";
    }
    longQuoted += "\"";
    constexpr std::size_t kDepth = 2000;
    std::ostringstream out;
    {
        JsonWriter json(out);
        json.beginObject();
        json.key("k");
        json.value(longValue);
        json.key("deep");
        for (std::size_t level = 0; level < kDepth; ++level) {
            json.beginArray();
        }
        json.value("x");
        for (std::size_t level = 0; level < kDepth; ++level) {
            json.endArray();
        }
        json.endObject();
        json.finish();
    }
    std::string expected = "{\n  \"k\": " + longQuoted + ",\n  \"deep\": [";
    for (std::size_t level = 2; level <= kDepth; ++level) {
        expected += "\n" + std::string(2 * level, ' ') + "[";
    }
    expected += "\n" + std::string(2 * (kDepth + 1), ' ') + "\"x\"";
    for (std::size_t level = kDepth; level >= 1; --level) {
        expected += "\n" + std::string(2 * level, ' ') + "]";
    }
    expected += "\n}\n";
    EXPECT_EQ(out.str(), expected);
}

TEST(TreePath, SplitsOnSlashesAndHonoursEscapes) {
    EXPECT_EQ(splitPath(""), std::vector<std::string>{});
    EXPECT_EQ(splitPath("/a//b/"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(splitPath(R"(a\/b/c\\d)"), (std::vector<std::string>{"a/b", "c\\d"}));
    EXPECT_EQ(splitPath(escapePathName("x/y\\z")), std::vector<std::string>{"x/y\\z"});
}

TEST(TextMatch, IgnoresCaseBeyondAscii) {
    EXPECT_TRUE(containsIgnoringCase("Bank account", "BANK"));
    EXPECT_TRUE(containsIgnoringCase("Café Zürich", "CAFÉ ZÜRICH"));
    EXPECT_TRUE(containsIgnoringCase("ПАРОЛЬ", "пароль"));
    EXPECT_TRUE(containsIgnoringCase("anything", ""));
    EXPECT_FALSE(containsIgnoringCase("", "a"));
    EXPECT_FALSE(containsIgnoringCase("Cafe", "café"));
    EXPECT_TRUE(containsIgnoringCase("bad \xff byte", "BYTE"));
}

TEST(CommandLine, SeparatesCommandArgumentsAndOptions) {
    const Invocation invocation =
        parseCommandLine({"show", "db.kdbx", "--show-password", "--", "--x"});
    EXPECT_EQ(invocation.command, "show");
    EXPECT_EQ(invocation.arguments, (std::vector<std::string>{"db.kdbx", "--x"}));
    EXPECT_TRUE(invocation.hasOption("--show-password"));
    EXPECT_FALSE(invocation.hasOption("--json"));
}

TEST(CommandLine, SpellsOutShortOptionsAndKeepsOtherDashWordsPositional) {
    const Invocation clustered = parseCommandLine({"ls", "-Rf", "db.kdbx"});
    EXPECT_TRUE(clustered.hasOption("--recursive"));
    EXPECT_TRUE(clustered.hasOption("--flatten"));
    EXPECT_EQ(clustered.arguments, (std::vector<std::string>{"db.kdbx"}));

    const Invocation single = parseCommandLine({"ls", "db.kdbx", "-R"});
    EXPECT_TRUE(single.hasOption("--recursive"));
    EXPECT_FALSE(single.hasOption("--flatten"));

    // A letter that is no option, a lone dash and anything after "--" stay arguments.
    const Invocation positional = parseCommandLine({"ls", "-Rx", "-", "--", "-f"});
    EXPECT_TRUE(positional.options.empty());
    EXPECT_EQ(positional.arguments, (std::vector<std::string>{"-Rx", "-", "-f"}));
}

// Feeds text into a pipe and reads the password from its other end.
vaultora::kdb::SecureBytes passwordFromPipe(const std::string& text) {
    int ends[2];
    EXPECT_EQ(pipe(ends), 0);
    EXPECT_EQ(write(ends[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(ends[1]);
    try {
        vaultora::kdb::SecureBytes password = readMasterPassword(ends[0], -1);
        close(ends[0]);
        return password;
    } catch (...) {
        close(ends[0]);
        throw;
    }
}

TEST(PasswordInput, ReadsTheFirstLineFromANonTerminal) {
    EXPECT_EQ(passwordFromPipe("secret\nsecond\n"), vaultora::kdb::secureBytesFromText("secret"));
    EXPECT_EQ(passwordFromPipe("crlf\r\n"), vaultora::kdb::secureBytesFromText("crlf"));
    EXPECT_EQ(passwordFromPipe("no line end"), vaultora::kdb::secureBytesFromText("no line end"));
    EXPECT_EQ(passwordFromPipe("\n"), vaultora::kdb::SecureBytes{});
    EXPECT_EQ(passwordFromPipe("Grüße €\n"), vaultora::kdb::secureBytesFromText("Grüße €"));
    EXPECT_THROW((void)passwordFromPipe(""), CliError);
}

} // namespace
} // namespace vaultora::cli
