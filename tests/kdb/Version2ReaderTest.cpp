#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "kdb/Arc4RandomStream.h"
#include "kdb/FormatDetector.h"
#include "kdb/KdbxReader.h"
#include "kdb/MappedFileSource.h"
#include "kdb/Salsa20RandomStream.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/KdbxFileWriter.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;
using testing::KdbxFileWriter;
using Field = KdbxFileWriter::Field;

constexpr const char* kPassword = "pass \u00e4\u20ac";

const std::string kLongSecret(70, 'L');

// The document masks its protected values with the writer's inner stream, in document order.
Bytes document(const KdbxFileWriter& writer) {
    std::unique_ptr<Arc4RandomStream> arc4;
    std::unique_ptr<Salsa20RandomStream> salsa;
    if (writer.randomStreamId == 1) {
        arc4 = std::make_unique<Arc4RandomStream>(writer.protectedStreamKey.data(),
                                                  writer.protectedStreamKey.size());
    } else {
        salsa = std::make_unique<Salsa20RandomStream>(writer.protectedStreamKey.data(),
                                                      writer.protectedStreamKey.size());
    }
    const auto protect = [&](const std::string& text) {
        Bytes bytes(text.begin(), text.end());
        if (arc4) {
            arc4->applyKeyStream(bytes.data(), bytes.size());
        } else {
            salsa->applyKeyStream(bytes.data(), bytes.size());
        }
        return testing::base64Of(bytes);
    };
    const auto entry = [&](const std::string& title, const std::string& password) {
        return "<Entry><UUID>AAAAAAAAAAAAAAAAAAAAAQ==</UUID>"
               "<String><Key>Title</Key><Value>" +
               title +
               "</Value></String>"
               "<String><Key>Password</Key><Value Protected=\"True\">" +
               protect(password) + "</Value></String></Entry>";
    };
    // Protected values are unmasked in this order: 5 bytes, 70 bytes, 6 bytes.
    const std::string first = entry("first", "s\u00e9cr");
    const std::string second = entry("long", kLongSecret);
    const std::string third = entry("third", "after!");
    const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>"
                            "<KeePassFile><Meta><Generator>test</Generator></Meta><Root>"
                            "<Group><UUID>AAAAAAAAAAAAAAAAAAAAAA==</UUID><Name>Top</Name>" +
                            first + second + third + "</Group></Root></KeePassFile>";
    return testing::textBytes(xml);
}

Bytes file(const KdbxFileWriter& writer) {
    return writer.file(testing::textBytes(kPassword), document(writer));
}

Bytes file(const KdbxFileWriter& writer, const std::vector<Field>& fields) {
    return writer.file(testing::textBytes(kPassword), document(writer), fields);
}

std::shared_ptr<DatabaseTree> open(const Bytes& bytes, const char* password = kPassword) {
    auto source =
        std::make_unique<MappedFileSource>(std::make_shared<const std::vector<uint8_t>>(bytes));
    auto reader = FormatDetector::readerFor(*source);
    return reader->load(std::move(source), secureBytesFromText(password));
}

void expectDocument(const std::shared_ptr<DatabaseTree>& tree) {
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(tree->getRoot(), nullptr);
    ASSERT_EQ(tree->getRoot()->getSubGroups().size(), 1u);
    const DatabaseGroup* top = tree->getRoot()->getSubGroups()[0];
    EXPECT_EQ(top->getGroupName(), "Top");
    const auto entries = top->getEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0]->getEntryName(), "first");
    EXPECT_EQ(entries[0]->getPassword(), "s\u00e9cr");
    EXPECT_EQ(entries[1]->getPassword(), kLongSecret);
    EXPECT_EQ(entries[2]->getPassword(), "after!");
}

std::vector<Field> without(std::vector<Field> fields, uint8_t id) {
    std::erase_if(fields, [id](const Field& field) { return field.id == id; });
    return fields;
}

std::vector<Field> replaced(std::vector<Field> fields, Field replacement) {
    for (auto& field : fields) {
        if (field.id == replacement.id) {
            field = replacement;
        }
    }
    return fields;
}

Bytes word(uint64_t value, unsigned width) {
    Bytes bytes;
    testing::appendLE(bytes, value, width);
    return bytes;
}

TEST(KdbxReader, OpensCompressedFileWithSalsa20ProtectedValues) {
    expectDocument(open(file(KdbxFileWriter())));
}

TEST(KdbxReader, OpensUncompressedFileWithArc4ProtectedValuesInSmallBlocks) {
    KdbxFileWriter writer;
    writer.compress = false;
    writer.randomStreamId = 1;
    writer.blockSize = 100;
    expectDocument(open(file(writer)));
}

TEST(KdbxReader, AcceptsFileVersionsUpToMajorThreeInTheFormatThreeLayout) {
    for (const uint32_t version : {0x00030001u, 0x00020000u, 0x0003FFFFu}) {
        KdbxFileWriter writer;
        writer.fileVersion = version;
        expectDocument(open(file(writer)));
    }
    for (const uint32_t version : {0x00050000u, 0xFFFF0000u}) {
        KdbxFileWriter writer;
        writer.fileVersion = version;
        EXPECT_KDB_ERROR(open(file(writer)), "Unsupported", "UnsupportedVersion");
    }
}

TEST(KdbxReader, ToleratesOptionalAndOddlySizedHeaderFields) {
    const KdbxFileWriter writer;
    std::vector<Field> fields = without(writer.headerFields(), 2);
    fields.insert(fields.begin(), Field{1, {}});
    // A compression field stating 2 bytes still holds its 4-byte value.
    fields = replaced(fields, Field{3, word(1, 4), 2});
    fields = replaced(fields, Field{0, Bytes(4, 0x0D)});
    expectDocument(open(file(writer, fields)));
}

TEST(KdbxReader, DocumentWithoutRootOpensAsAnEmptyDatabase) {
    KdbxFileWriter writer;
    writer.rounds = 1;
    const std::string xml = "<?xml version=\"1.0\"?><KeePassFile><Meta><Generator>test"
                            "</Generator></Meta></KeePassFile>";
    const auto tree = open(writer.file(testing::textBytes(kPassword), testing::textBytes(xml)));
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(tree->getRoot(), nullptr);
    EXPECT_TRUE(tree->getRoot()->getSubGroups().empty());
    EXPECT_TRUE(tree->getRoot()->getEntries().empty());
}

TEST(KdbxReader, WrongPasswordIsDecryptError) {
    EXPECT_KDB_ERROR(open(file(KdbxFileWriter()), "wrong"), "DecryptError", "DecryptError");
    // A large payload whose first slice decrypts without a padding check still fails on
    // the start bytes.
    KdbxFileWriter writer;
    writer.compress = false;
    Bytes big = testing::textBytes("<x>");
    big.resize(700000, ' ');
    const Bytes bytes =
        writer.fileWithPayload(testing::textBytes(kPassword),
                               KdbxFileWriter::hashedBlocks(big, 65536), writer.headerFields());
    EXPECT_KDB_ERROR(open(bytes, "wrong"), "DecryptError", "DecryptError");
}

TEST(KdbxReader, StartBytesOfAnotherLengthNeverMatch) {
    const KdbxFileWriter writer;
    Bytes shortStart = writer.startBytes;
    shortStart.resize(16);
    EXPECT_KDB_ERROR(open(file(writer, replaced(writer.headerFields(), Field{9, shortStart}))),
                     "DecryptError", "DecryptError");
    EXPECT_KDB_ERROR(open(file(writer, without(writer.headerFields(), 9))), "DecryptError",
                     "DecryptError");
}

TEST(KdbxReader, MissingInnerStreamIdIsUnsupportedAfterThePasswordCheck) {
    KdbxFileWriter writer;
    writer.randomStreamId = 0;
    EXPECT_KDB_ERROR(open(file(writer)), "Unsupported", "UnsupportedRandomStreamID");
    EXPECT_KDB_ERROR(open(file(writer), "wrong"), "DecryptError", "DecryptError");
    EXPECT_KDB_ERROR(open(file(writer, without(writer.headerFields(), 10))), "Unsupported",
                     "UnsupportedRandomStreamID");
}

TEST(KdbxReader, HeaderFieldChecksAreNamed) {
    const KdbxFileWriter writer;
    const auto fields = writer.headerFields();
    const auto expectHeader = [&](const std::vector<Field>& changed, const char* name,
                                  const char* reason) {
        EXPECT_KDB_ERROR(open(file(writer, changed)), name, reason);
    };
    expectHeader(replaced(fields, Field{2, Bytes(15, 0)}), "InvalidHeader", "InvalidCipherId");
    expectHeader(replaced(fields, Field{2, Bytes(16, 0x42)}), "Unsupported", "UnsupportedCipher");
    expectHeader(replaced(fields, Field{3, word(2, 4)}), "InvalidHeader", "InvalidCompression");
    expectHeader(replaced(fields, Field{4, Bytes(16, 1)}), "InvalidHeader", "InvalidMasterSeed");
    expectHeader(replaced(fields, Field{5, Bytes(31, 1)}), "InvalidHeader", "InvalidTransformSeed");
    expectHeader(replaced(fields, Field{10, word(4, 4)}), "InvalidHeader", "InvalidCSRAlgorithm");
    std::vector<Field> unknown = fields;
    unknown.insert(unknown.begin(), Field{11, {}});
    expectHeader(unknown, "InvalidHeader", "InvalidField");
}

TEST(KdbxReader, RefusesMissingKeyParametersAndOddIvBeforeDerivingTheKey) {
    const KdbxFileWriter writer;
    const auto fields = writer.headerFields();
    EXPECT_KDB_ERROR(open(file(writer, replaced(fields, Field{7, Bytes(12, 0)}))), "InvalidHeader",
                     "InvalidEncryptionIV");
    EXPECT_KDB_ERROR(open(file(writer, without(fields, 7))), "InvalidHeader",
                     "InvalidEncryptionIV");
    EXPECT_KDB_ERROR(open(file(writer, without(fields, 4))), "InvalidHeader", "InvalidMasterSeed");
    EXPECT_KDB_ERROR(open(file(writer, without(fields, 5))), "InvalidHeader",
                     "InvalidTransformSeed");
    KdbxFileWriter arc4;
    arc4.randomStreamId = 1;
    EXPECT_KDB_ERROR(open(file(arc4, without(arc4.headerFields(), 8))), "InvalidHeader",
                     "InvalidProtectedStreamKey");
}

TEST(KdbxReader, TruncatedHeaderIsNamed) {
    const Bytes whole = file(KdbxFileWriter());
    for (const std::size_t size : {9u, 12u, 13u, 14u, 20u, 40u, 120u}) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_KDB_ERROR(open(cut), "InvalidHeader", "TruncatedHeader") << size;
    }
    // A comment that claims more bytes than the file holds.
    KdbxFileWriter writer;
    Bytes header;
    testing::appendLE(header, 0x9AA2D903, 4);
    testing::appendLE(header, 0xB54BFB67, 4);
    testing::appendLE(header, 0x00030001, 4);
    header.push_back(1);
    testing::appendLE(header, 0xFFFF, 2);
    header.resize(header.size() + 100, 0x20);
    EXPECT_KDB_ERROR(open(header), "InvalidHeader", "TruncatedHeader");
}

TEST(KdbxReader, DamagedPayloadsFailWithTheLayersErrors) {
    const KdbxFileWriter writer;
    Bytes cut = file(writer);
    cut.resize(cut.size() - 5);
    EXPECT_KDB_ERROR(open(cut), "DecryptError", "DecryptError");

    // A block hash that does not match its payload.
    const Bytes xml = document(writer);
    Bytes framed = KdbxFileWriter::hashedBlocks(testing::deflateBytes(xml, 31), 1 << 20);
    framed[4] ^= 0x01;
    EXPECT_KDB_ERROR(
        open(writer.fileWithPayload(testing::textBytes(kPassword), framed, writer.headerFields())),
        "InvalidData", "InvalidBlockHash");
}

TEST(KdbxReader, KeepsTheTreeAndTheHeaderValues) {
    KdbxFileWriter writer;
    writer.rounds = 77;
    const Bytes bytes = file(writer);
    auto source =
        std::make_unique<MappedFileSource>(std::make_shared<const std::vector<uint8_t>>(bytes));
    source->setReadOffset(8);
    KdbxReader reader;
    const auto tree = reader.load(std::move(source), secureBytesFromText(kPassword));
    EXPECT_EQ(reader.getKdbTree(), tree);
    EXPECT_EQ(reader._fileVersion(), 0x00030001u);
    EXPECT_EQ(reader._compressionAlgorithm(), 1u);
    EXPECT_EQ(reader._randomStreamID(), 2u);
    EXPECT_EQ(reader._password()._rounds(), 77u);
    ASSERT_NE(reader._cipherUUID(), nullptr);
    EXPECT_EQ(*reader._cipherUUID(), *UUID::getAESUUID());
}

} // namespace
} // namespace vaultora::kdb
