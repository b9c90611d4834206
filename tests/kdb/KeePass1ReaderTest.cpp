#include <gtest/gtest.h>

#include <memory>

#include "kdb/FormatDetector.h"
#include "kdb/KeePass1Group.h"
#include "kdb/KeePass1Reader.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/KeePass1FileWriter.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;
using testing::KeePass1FileWriter;

constexpr const char* kPassword = "p\u00e4ssw\u00f6rd\u20ac";
const Bytes kPasswordCp1252 = testing::fromHex("70e4737377f6726480");

std::shared_ptr<DatabaseTree> open(const Bytes& file, const char* password = kPassword) {
    auto source =
        std::make_unique<MappedFileSource>(std::make_shared<const std::vector<uint8_t>>(file));
    auto reader = FormatDetector::readerFor(*source);
    return reader->load(std::move(source), secureBytesFromText(password));
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// A file of groups with the given levels, named A, B, C, ... and numbered from 1.
Bytes fileWithLevels(std::initializer_list<std::optional<uint16_t>> levels,
                     const KeePass1FileWriter& writer = KeePass1FileWriter()) {
    Bytes payload;
    uint32_t id = 1;
    for (const auto& level : levels) {
        const std::string name(1, static_cast<char>('A' + id - 1));
        const Bytes record = KeePass1FileWriter::group(id++, name, level);
        payload.insert(payload.end(), record.begin(), record.end());
    }
    return writer.file(payload, static_cast<uint32_t>(levels.size()), 0, kPasswordCp1252);
}

std::vector<std::string> names(const std::vector<DatabaseGroup*>& groups) {
    std::vector<std::string> result;
    for (const DatabaseGroup* group : groups) {
        result.emplace_back(group->getGroupName());
    }
    return result;
}

TEST(KeePass1Reader, BuildsTheTreeFromLevelsAndFilesEntriesByGroupId) {
    const Bytes payload = concat({
        KeePass1FileWriter::group(1, "A", 0),
        KeePass1FileWriter::group(2, "B", 1),
        KeePass1FileWriter::group(3, "C", 2),
        KeePass1FileWriter::group(4, "D", 1),
        KeePass1FileWriter::group(5, "E", 0),
        KeePass1FileWriter::entry(3, "mail", "me", "s\u00e9cret"),
        KeePass1FileWriter::entry(5, "bank", "you", "pin"),
        KeePass1FileWriter::entry(99, "lost", "nobody", "x"),
    });
    const auto tree = open(KeePass1FileWriter().file(payload, 5, 3, kPasswordCp1252));
    const DatabaseGroup* root = tree->getRoot();
    EXPECT_EQ(root->getGroupName(), "$ROOT$");
    ASSERT_EQ(names(root->getSubGroups()), (std::vector<std::string>{"A", "E"}));
    const DatabaseGroup* a = root->getSubGroups()[0];
    ASSERT_EQ(names(a->getSubGroups()), (std::vector<std::string>{"B", "D"}));
    const DatabaseGroup* c = a->getSubGroups()[0]->getSubGroups()[0];
    EXPECT_EQ(c->getGroupName(), "C");
    EXPECT_EQ(c->getParent()->getParent(), a);

    ASSERT_EQ(c->getEntries().size(), 1u);
    const DatabaseEntry* mail = c->getEntries()[0];
    EXPECT_EQ(mail->getEntryName(), "mail");
    EXPECT_EQ(mail->getUserName(), "me");
    EXPECT_EQ(mail->getPassword(), "s\u00e9cret");
    EXPECT_EQ(mail->_image(), 1u);
    EXPECT_EQ(mail->getParent(), c);
    EXPECT_EQ(root->getSubGroups()[1]->getEntries()[0]->getEntryName(), "bank");
    // The entry naming group 99 is in no group at all.
    EXPECT_TRUE(a->getEntries().empty());
    EXPECT_TRUE(a->getSubGroups()[1]->getEntries().empty());
}

TEST(KeePass1Reader, AcceptsMinorVersionsAndExtraFlagBits) {
    KeePass1FileWriter writer;
    writer.version = 0x00030004;
    writer.flags = 3;
    EXPECT_EQ(open(fileWithLevels({0}, writer))->getRoot()->getSubGroups().size(), 1u);
}

TEST(KeePass1Reader, RefusesOtherVersionsAndCiphers) {
    for (const uint32_t version : {0x00040000u, 0x00020000u}) {
        KeePass1FileWriter writer;
        writer.version = version;
        EXPECT_KDB_ERROR(open(fileWithLevels({0}, writer)), "Unsupported", "UnsupportedVersion");
    }
    for (const uint32_t flags : {0u, 1u, 4u}) {
        KeePass1FileWriter writer;
        writer.flags = flags;
        EXPECT_KDB_ERROR(open(fileWithLevels({0}, writer)), "Unsupported", "UnsupportedAlgorithm");
    }
}

// Flags with Twofish alone select Twofish-CBC; with AES as well, the file is read as AES.
TEST(KeePass1Reader, ReadsTwofishFilesAndPrefersAesWhenBothFlagsAreSet) {
    for (const uint32_t flags : {8u, 9u, 10u, 11u}) {
        KeePass1FileWriter writer;
        writer.flags = flags;
        EXPECT_EQ(open(fileWithLevels({0}, writer))->getRoot()->getSubGroups().size(), 1u) << flags;
        EXPECT_KDB_ERROR(open(fileWithLevels({0}, writer), "wrong"), "DecryptError",
                         "DecryptError");
    }
}

TEST(KeePass1Reader, RefusesGroupStructuresTheLevelsCannotDescribe) {
    EXPECT_KDB_ERROR(open(fileWithLevels({0, 2})), "InvalidData", "InvalidTree");
    EXPECT_KDB_ERROR(open(fileWithLevels({1})), "InvalidData", "InvalidTree");
    EXPECT_KDB_ERROR(open(fileWithLevels({})), "InvalidData", "InvalidTree");
    EXPECT_KDB_ERROR(open(fileWithLevels({0, std::nullopt})), "InvalidData", "InvalidTree");
    EXPECT_KDB_ERROR(open(fileWithLevels({0, 1, 2, 0, 2})), "InvalidData", "InvalidTree");
}

TEST(KeePass1Reader, EntriesGoToTheFirstGroupWithTheirIdAndMetaEntriesAreNotListed) {
    Bytes meta;
    KeePass1FileWriter::numberField(meta, 0x0002, 7, 4);
    KeePass1FileWriter::numberField(meta, 0x0003, 0, 4);
    KeePass1FileWriter::textField(meta, 0x0004, "Meta-Info");
    KeePass1FileWriter::textField(meta, 0x0005, "$");
    KeePass1FileWriter::textField(meta, 0x0006, "SYSTEM");
    KeePass1FileWriter::textField(meta, 0x0008, "KPX_CUSTOM_ICONS_4");
    KeePass1FileWriter::textField(meta, 0x000D, "bin-stream");
    KeePass1FileWriter::field(meta, 0x000E, testing::fromHex("01020304"));
    KeePass1FileWriter::endField(meta);
    const Bytes payload =
        concat({KeePass1FileWriter::group(7, "first", 0), KeePass1FileWriter::group(7, "second", 0),
                KeePass1FileWriter::entry(7, "listed", "u", "p"), meta});
    const auto tree = open(KeePass1FileWriter().file(payload, 2, 2, kPasswordCp1252));
    auto* first = dynamic_cast<KeePass1Group*>(tree->getRoot()->getSubGroups()[0]);
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->getEntries().size(), 1u);
    EXPECT_EQ(first->getEntries()[0]->getEntryName(), "listed");
    ASSERT_EQ(first->_metaEntries().size(), 1u);
    const KeePass1Entry* stored = first->_metaEntries()[0];
    EXPECT_EQ(stored->_binarySize(), 4u);
    ASSERT_NE(stored->_binary(), nullptr);
    EXPECT_EQ(stored->_binary()->getBinary()->_bytes()[3], 4);
    EXPECT_TRUE(tree->getRoot()->getSubGroups()[1]->getEntries().empty());
}

TEST(KeePass1Reader, ReadsOddButValidFields) {
    Bytes group;
    KeePass1FileWriter::field(group, 0x0000, Bytes(10, 0xEE));
    KeePass1FileWriter::numberField(group, 0x0001, 1, 4);
    KeePass1FileWriter::field(group, 0x0002, testing::textBytes("no terminator"));
    // A 6-byte level field: the level is read at its width and the rest is skipped.
    KeePass1FileWriter::numberField(group, 0x0008, 0, 6);
    KeePass1FileWriter::field(group, 0x0003, testing::fromHex("2edf397efb"));
    KeePass1FileWriter::endField(group);
    Bytes entry;
    KeePass1FileWriter::numberField(entry, 0x0002, 1, 4);
    KeePass1FileWriter::field(entry, 0x0004, {});
    KeePass1FileWriter::field(entry, 0x0006, testing::fromHex("ff fe 00"));
    KeePass1FileWriter::field(entry, 0x0007, testing::fromHex("61 00 62"));
    KeePass1FileWriter::endField(entry);
    const auto tree =
        open(KeePass1FileWriter().file(concat({group, entry}), 1, 1, kPasswordCp1252));
    auto* read = dynamic_cast<KeePass1Group*>(tree->getRoot()->getSubGroups()[0]);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->getGroupName(), "no terminator");
    EXPECT_EQ(read->getCreation(), KeePass1Date::kNeverExpires);
    ASSERT_EQ(read->getEntries().size(), 1u);
    const DatabaseEntry* stored = read->getEntries()[0];
    EXPECT_EQ(stored->getEntryName(), "");
    EXPECT_EQ(stored->getUserName(), "");
    EXPECT_EQ(stored->getPassword(), "a");
}

TEST(KeePass1Reader, UnknownFieldTypesAreParseErrors) {
    Bytes group = KeePass1FileWriter::group(1, "A", 0);
    Bytes strangeGroup;
    KeePass1FileWriter::field(strangeGroup, 0x000A, {});
    group.insert(group.begin(), strangeGroup.begin(), strangeGroup.end());
    EXPECT_KDB_ERROR(open(KeePass1FileWriter().file(group, 1, 0, kPasswordCp1252)), "ParseError",
                     "ParseGroup");

    Bytes entry;
    KeePass1FileWriter::field(entry, 0x000F, {});
    KeePass1FileWriter::endField(entry);
    EXPECT_KDB_ERROR(
        open(KeePass1FileWriter().file(concat({KeePass1FileWriter::group(1, "A", 0), entry}), 1, 1,
                                       kPasswordCp1252)),
        "ParseError", "ParseEntry");
}

TEST(KeePass1Reader, FieldsTooShortForTheirValueAreParseErrors) {
    Bytes shortId;
    KeePass1FileWriter::numberField(shortId, 0x0001, 1, 2);
    KeePass1FileWriter::numberField(shortId, 0x0008, 0, 2);
    KeePass1FileWriter::endField(shortId);
    EXPECT_KDB_ERROR(open(KeePass1FileWriter().file(shortId, 1, 0, kPasswordCp1252)), "ParseError",
                     "ParseGroup");
    Bytes shortDate;
    KeePass1FileWriter::numberField(shortDate, 0x0008, 0, 2);
    KeePass1FileWriter::field(shortDate, 0x0004, testing::fromHex("2edf39"));
    KeePass1FileWriter::endField(shortDate);
    EXPECT_KDB_ERROR(open(KeePass1FileWriter().file(shortDate, 1, 0, kPasswordCp1252)),
                     "ParseError", "ParseGroup");
}

TEST(KeePass1Reader, PayloadsShorterThanTheCountsAreParseErrors) {
    const Bytes oneGroup = KeePass1FileWriter::group(1, "A", 0);
    // Counts that the payload cannot hold at all fail before anything is read.
    EXPECT_KDB_ERROR(open(KeePass1FileWriter().file(oneGroup, 0xFFFFFFFFu, 0, kPasswordCp1252)),
                     "ParseError", "ParseGroup");
    EXPECT_KDB_ERROR(open(KeePass1FileWriter().file(oneGroup, 1, 0xFFFFFFFFu, kPasswordCp1252)),
                     "ParseError", "ParseEntry");
    // Counts that fit the size but not the records run into the end of the data.
    const Bytes padded = concat({oneGroup, Bytes(64, 0)});
    EXPECT_KDB_ERROR(open(KeePass1FileWriter().file(padded, 2, 0, kPasswordCp1252)), "ParseError",
                     "ParseGroup");
    // A record cut inside a field's data.
    Bytes cut;
    KeePass1FileWriter::numberField(cut, 0x0008, 0, 2);
    KeePass1FileWriter::field(cut, 0x0002, testing::textBytes("name"));
    cut.resize(cut.size() - 2);
    cut.insert(cut.end(), 0);
    EXPECT_KDB_ERROR(open(KeePass1FileWriter().file(cut, 1, 0, kPasswordCp1252)), "ParseError",
                     "ParseGroup");
}

TEST(KeePass1Reader, TruncatedHeaderIsNamed) {
    Bytes file = fileWithLevels({0});
    file.resize(60);
    EXPECT_KDB_ERROR(open(file), "InvalidHeader", "TruncatedHeader");
}

TEST(KeePass1Reader, ContentsHashIsNotCompared) {
    KeePass1FileWriter writer;
    writer.contentHash = Bytes(32, 0x00);
    EXPECT_EQ(open(fileWithLevels({0}, writer))->getRoot()->getSubGroups().size(), 1u);
}

TEST(KeePass1Reader, WrongPasswordFailsAsDecryptOrParseError) {
    try {
        static_cast<void>(open(fileWithLevels({0, 1, 1, 0}), "wrong"));
        FAIL() << "a wrong password opened the file";
    } catch (const DatabaseError& error) {
        EXPECT_TRUE(error.name() == "DecryptError" || error.name() == "ParseError") << error.what();
    }
}

TEST(KeePass1Reader, KeepsTheTreeAndHeaderOfTheLoad) {
    KeePass1Reader reader;
    const Bytes file = fileWithLevels({0});
    auto source =
        std::make_unique<MappedFileSource>(std::make_shared<const std::vector<uint8_t>>(file));
    source->setReadOffset(8);
    const auto tree = reader.load(std::move(source), secureBytesFromText(kPassword));
    EXPECT_EQ(reader.getKdbTree(), tree);
    EXPECT_EQ(reader._numGroups(), 1u);
    EXPECT_EQ(reader._rounds(), 50u);
    EXPECT_EQ(reader._contentHash()[0], 0xAB);
}

} // namespace
} // namespace vaultora::kdb
