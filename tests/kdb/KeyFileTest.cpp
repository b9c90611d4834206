#include <gtest/gtest.h>

#include "kdb/CompositeKey.h"
#include "kdb/KeyFile.h"
#include "kdb/VariantDictionary.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;
using testing::fromHex;
using testing::sha256Of;

SecureBytes secure(const Bytes& bytes) {
    return SecureBytes(bytes.begin(), bytes.end());
}

Bytes plain(const SecureBytes& bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

const char* const kKeyHex = "0E4359396223ADAE54655EFBE0A0A4C157A0337B679DEF6B009B11ECB409F1F0";

std::string xmlVersion2(const std::string& hash) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<KeyFile>\n  <Meta><Version>2.0</Version>"
           "</Meta>\n  <Key>\n    <Data Hash=\"" +
           hash +
           "\">\n      0E435939 6223ADAE 54655EFB E0A0A4C1\n      57A0337B 679DEF6B 009B11EC "
           "B409F1F0\n    </Data>\n  </Key>\n</KeyFile>\n";
}

TEST(KeyFile, ReadsXmlVersionTwoAndChecksItsHash) {
    // FFCE3F02 is the first four bytes of the key's SHA-256, as kdbxweb wrote it.
    const std::string file = xmlVersion2("FFCE3F02");
    EXPECT_EQ(plain(KeyFile::keyForVersion2(secure(testing::textBytes(file)))), fromHex(kKeyHex));
    // A byte order mark and a lower-case hash change nothing.
    EXPECT_EQ(plain(KeyFile::keyForVersion2(
                  secure(testing::textBytes("\xEF\xBB\xBF" + xmlVersion2("ffce3f02"))))),
              fromHex(kKeyHex));
    EXPECT_KDB_ERROR(static_cast<void>(KeyFile::keyForVersion2(
                         secure(testing::textBytes(xmlVersion2("FFCE3F03"))))),
                     "InvalidKeyFile", "KeyFileHashMismatch");
}

TEST(KeyFile, ReadsXmlVersionOneAsBase64) {
    // The data decoded with base64(1) is the expected key.
    const std::string file =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<KeyFile><Meta><Version>1.00"
        "</Version></Meta><Key><Data>FcNiTvC6NQ2tCceG8Lh8441477NJDgtCsDCGTnSRLHc="
        "</Data></Key></KeyFile>";
    EXPECT_EQ(plain(KeyFile::keyForVersion2(secure(testing::textBytes(file)))),
              fromHex("15c3624ef0ba350dad09c786f0b87ce38d78efb3490e0b42b030864e74912c77"));
    // The 1.x format never read XML key files: it hashes them whole.
    EXPECT_EQ(plain(KeyFile::keyForVersion1(secure(testing::textBytes(file)))),
              sha256Of(testing::textBytes(file)));
}

TEST(KeyFile, RefusesXmlKeyFilesOfOtherVersionsOrWithoutData) {
    EXPECT_KDB_ERROR(static_cast<void>(KeyFile::keyForVersion2(secure(testing::textBytes(
                         "<KeyFile><Meta><Version>3.0</Version></Meta><Key><Data>00</Data></Key>"
                         "</KeyFile>")))),
                     "InvalidKeyFile", "UnsupportedKeyFileVersion");
    EXPECT_KDB_ERROR(static_cast<void>(KeyFile::keyForVersion2(secure(testing::textBytes(
                         "<KeyFile><Meta><Version>2.0</Version></Meta></KeyFile>")))),
                     "InvalidKeyFile", "InvalidKeyFileStructure");
    EXPECT_KDB_ERROR(static_cast<void>(KeyFile::keyForVersion2(secure(testing::textBytes(
                         "<KeyFile><Meta><Version>2.0</Version></Meta><Key><Data>XYZ</Data></Key>"
                         "</KeyFile>")))),
                     "InvalidKeyFile", "InvalidKeyFileData");
}

TEST(KeyFile, OtherFilesAreRawHexOrHashed) {
    Bytes raw(32);
    for (std::size_t index = 0; index < raw.size(); ++index) {
        raw[index] = static_cast<uint8_t>(255 - index);
    }
    const Bytes hex = testing::textBytes(kKeyHex);
    Bytes notHex = hex;
    notHex[10] = 'g';
    // XML of another root, and markup that does not parse, are files like any other.
    const Bytes otherXml = testing::textBytes("<Other><Key><Data>00</Data></Key></Other>");
    const Bytes brokenXml = testing::textBytes("<KeyFile><Meta>");
    for (const auto read : {&KeyFile::keyForVersion1, &KeyFile::keyForVersion2}) {
        EXPECT_EQ(plain(read(secure(raw))), raw);
        EXPECT_EQ(plain(read(secure(hex))), fromHex(kKeyHex));
        EXPECT_EQ(plain(read(secure(notHex))), sha256Of(notHex));
        EXPECT_EQ(plain(read(secure(Bytes(33, 1)))), sha256Of(Bytes(33, 1)));
        EXPECT_EQ(plain(read(SecureBytes{})), sha256Of(Bytes{}));
        EXPECT_EQ(plain(read(secure(otherXml))), sha256Of(otherXml));
        EXPECT_EQ(plain(read(secure(brokenXml))), sha256Of(brokenXml));
    }
}

// Entities that would expand to gigabytes if the text of Data were read with them.
TEST(KeyFile, XmlWithADocumentTypeIsHashedWithoutExpandingEntities) {
    std::string file =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE KeyFile [\n<!ENTITY a0 \"0123456789ABCDEF\">\n";
    for (int level = 1; level <= 12; ++level) {
        file += "<!ENTITY a" + std::to_string(level) + " \"";
        for (int copy = 0; copy < 10; ++copy) {
            file += "&a" + std::to_string(level - 1) + ";";
        }
        file += "\">\n";
    }
    file +=
        "]>\n<KeyFile><Meta><Version>2.0</Version></Meta><Key><Data>&a12;</Data></Key></KeyFile>\n";
    const Bytes bytes = testing::textBytes(file);
    EXPECT_EQ(plain(KeyFile::keyForVersion2(secure(bytes))), sha256Of(bytes));
    // Even a harmless declaration makes the file an ordinary one.
    const Bytes declared = testing::textBytes(
        "<?xml version=\"1.0\"?>\n<!DOCTYPE KeyFile [<!ENTITY key \"" + std::string(kKeyHex) +
        "\">]>\n<KeyFile><Meta><Version>2.0</Version></Meta><Key><Data>&key;</Data></Key>"
        "</KeyFile>\n");
    EXPECT_EQ(plain(KeyFile::keyForVersion2(secure(declared))), sha256Of(declared));
}

Bytes concat(const Bytes& first, const Bytes& second) {
    Bytes joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    return joined;
}

TEST(CompositeKey, CombinesPasswordAndKeyFileAsEachFormatDefines) {
    const Bytes keyFile(32, 0x5A);
    Credentials both;
    both.passwordUtf8 = secureBytesFromText("pässword");
    both.keyFileContents = secure(keyFile);
    Credentials keyAlone;
    keyAlone.keyFileContents = secure(keyFile);
    const Credentials passwordAlone = Credentials::withPassword(secureBytesFromText("pässword"));

    const Bytes utf8 = testing::textBytes("pässword");
    const Bytes windows1252 = {'p', 0xE4, 's', 's', 'w', 'o', 'r', 'd'};
    // 2.x: always a hash over the components.
    EXPECT_EQ(plain(CompositeKey::forVersion2(passwordAlone)), sha256Of(sha256Of(utf8)));
    EXPECT_EQ(plain(CompositeKey::forVersion2(keyAlone)), sha256Of(keyFile));
    EXPECT_EQ(plain(CompositeKey::forVersion2(both)), sha256Of(concat(sha256Of(utf8), keyFile)));
    // 1.x: the password hash or the key file key alone; both are hashed together.
    EXPECT_EQ(plain(CompositeKey::forVersion1(passwordAlone)), sha256Of(windows1252));
    EXPECT_EQ(plain(CompositeKey::forVersion1(keyAlone)), keyFile);
    EXPECT_EQ(plain(CompositeKey::forVersion1(both)),
              sha256Of(concat(sha256Of(windows1252), keyFile)));
    // An empty password beside a key file: a component in 2.x, nothing in 1.x.
    Credentials emptyPassword;
    emptyPassword.passwordUtf8 = SecureBytes{};
    emptyPassword.keyFileContents = secure(keyFile);
    EXPECT_EQ(plain(CompositeKey::forVersion2(emptyPassword)),
              sha256Of(concat(sha256Of(Bytes{}), keyFile)));
    EXPECT_EQ(plain(CompositeKey::forVersion1(emptyPassword)), keyFile);
}

Bytes item(uint8_t type, std::string_view name, const Bytes& value) {
    Bytes bytes = {type};
    testing::appendLE(bytes, name.size(), 4);
    bytes.insert(bytes.end(), name.begin(), name.end());
    testing::appendLE(bytes, value.size(), 4);
    bytes.insert(bytes.end(), value.begin(), value.end());
    return bytes;
}

TEST(VariantDictionary, ReadsEveryTypeAndRefusesDamage) {
    Bytes bytes = {0x00, 0x01};
    for (const Bytes& each :
         {item(0x04, "u32", fromHex("78563412")), item(0x05, "u64", fromHex("0100000000000080")),
          item(0x08, "bool", {1}), item(0x0C, "i32", fromHex("ffffffff")),
          item(0x0D, "i64", fromHex("feffffffffffffff")),
          item(0x18, "text", testing::textBytes("ü")), item(0x42, "bytes", {9, 8, 7})}) {
        bytes.insert(bytes.end(), each.begin(), each.end());
    }
    bytes.push_back(0);
    const VariantDictionary dictionary = VariantDictionary::parse(bytes);
    EXPECT_EQ(dictionary.size(), 7u);
    EXPECT_EQ(dictionary.get<uint32_t>("u32"), 0x12345678u);
    EXPECT_EQ(dictionary.get<uint64_t>("u64"), 0x8000000000000001ull);
    EXPECT_EQ(dictionary.get<bool>("bool"), true);
    EXPECT_EQ(dictionary.get<int32_t>("i32"), -1);
    EXPECT_EQ(dictionary.get<int64_t>("i64"), -2);
    EXPECT_EQ(dictionary.get<std::string>("text"), "\xC3\xBC");
    EXPECT_EQ(dictionary.get<VariantDictionary::Bytes>("bytes"), (Bytes{9, 8, 7}));
    EXPECT_EQ(dictionary.get<uint32_t>("absent"), std::nullopt);
    EXPECT_KDB_ERROR(static_cast<void>(dictionary.get<uint64_t>("u32")), "InvalidHeader",
                     "InvalidVariantDictionary");

    // Every cut of the bytes, a later incompatible version, a wrong width and an unknown type.
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_KDB_ERROR(static_cast<void>(VariantDictionary::parse({bytes.data(), length})),
                         "InvalidHeader", "InvalidVariantDictionary")
            << length;
    }
    Bytes later = bytes;
    later[1] = 0x02;
    EXPECT_KDB_ERROR(static_cast<void>(VariantDictionary::parse(later)), "InvalidHeader",
                     "InvalidVariantDictionary");
    Bytes minor = bytes;
    minor[0] = 0xFF;
    EXPECT_EQ(VariantDictionary::parse(minor).size(), 7u);
    Bytes wide = {0x00, 0x01};
    const Bytes wrongWidth = item(0x04, "u32", {1, 2});
    wide.insert(wide.end(), wrongWidth.begin(), wrongWidth.end());
    wide.push_back(0);
    EXPECT_KDB_ERROR(static_cast<void>(VariantDictionary::parse(wide)), "InvalidHeader",
                     "InvalidVariantDictionary");
    Bytes unknown = {0x00, 0x01};
    const Bytes unknownType = item(0x07, "x", {1});
    unknown.insert(unknown.end(), unknownType.begin(), unknownType.end());
    unknown.push_back(0);
    EXPECT_KDB_ERROR(static_cast<void>(VariantDictionary::parse(unknown)), "InvalidHeader",
                     "InvalidVariantDictionary");
    // A length field with the sign bit set is not a huge length.
    Bytes negative = {0x00, 0x01, 0x42, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_KDB_ERROR(static_cast<void>(VariantDictionary::parse(negative)), "InvalidHeader",
                     "InvalidVariantDictionary");
}

} // namespace
} // namespace vaultora::kdb
