#include <gtest/gtest.h>

#include <string>

#include "kdb/AesKeyTransform.h"
#include "kdb/Codec.h"
#include "kdb/MasterKey.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;
using testing::fromHex;

Bytes range(uint8_t first, std::size_t count) {
    Bytes bytes(count);
    for (std::size_t index = 0; index < count; ++index) {
        bytes[index] = static_cast<uint8_t>(first + index);
    }
    return bytes;
}

MasterKey password(const Bytes& masterSeed, uint64_t rounds) {
    MasterKey key;
    key.set_masterSeed(
        std::make_shared<ByteBuffer>(masterSeed.data(), static_cast<uint32_t>(masterSeed.size())));
    const Bytes transformSeed = range(100, 32);
    key.set_transformSeed(std::make_shared<ByteBuffer>(transformSeed.data(), 32));
    key.set_rounds(rounds);
    return key;
}

Bytes finalKey(const MasterKey& key, std::string_view text, TextEncoding coding, uint8_t version) {
    const SecureBytes result =
        key.createFinalKey32ForPasssword(secureBytesFromText(text), coding, version);
    return Bytes(result.begin(), result.end());
}

// FIPS 197 appendix C.3: AES-256 of 00112233...EEFF under the key 00 01 ... 1F.
TEST(AesKeyTransform, OneRoundIsThePublishedAes256Vector) {
    const Bytes key = range(0, 32);
    const Bytes block = fromHex("00112233445566778899aabbccddeeff");
    const Bytes expected = fromHex("8ea2b7ca516745bfeafc49904b496089");
    Bytes value = block;
    value.insert(value.end(), block.begin(), block.end());

    Bytes library = value;
    AesKeyTransform::transformWithCipherLibrary(key.data(), library.data(), 1);
    EXPECT_EQ(Bytes(library.begin(), library.begin() + 16), expected);
    EXPECT_EQ(Bytes(library.begin() + 16, library.end()), expected);

    if (!AesKeyTransform::aesInstructionsAvailable()) {
        GTEST_SKIP() << "no AES instructions on this processor";
    }
    Bytes instructions = value;
    AesKeyTransform::transformWithAesInstructions(key.data(), instructions.data(), 1);
    EXPECT_EQ(instructions, library);
}

TEST(AesKeyTransform, BothImplementationsAgreeBitForBit) {
    if (!AesKeyTransform::aesInstructionsAvailable()) {
        GTEST_SKIP() << "no AES instructions on this processor";
    }
    const Bytes key = fromHex("c3d1a7f00e3b9c2211f4a0b85de2769bc0ffee00112233445566778899aabbcc");
    for (const uint64_t rounds : {0ull, 1ull, 2ull, 3ull, 1000ull, 6001ull}) {
        Bytes library = range(7, 32);
        Bytes instructions = library;
        AesKeyTransform::transformWithCipherLibrary(key.data(), library.data(), rounds);
        AesKeyTransform::transformWithAesInstructions(key.data(), instructions.data(), rounds);
        EXPECT_EQ(instructions, library) << rounds;
        // An independent round-by-round reference, one cipher call per round.
        EXPECT_EQ(library, testing::aesEcbRounds(key, range(7, 32), rounds)) << rounds;
    }
}

// Expected keys were computed with an independent AES and SHA-256 implementation.
TEST(MasterKey, DerivesTheVersionTwoKeyFromUtf8) {
    const MasterKey key = password(range(0, 32), 1000);
    EXPECT_EQ(finalKey(key, "correct horse \u20ac", TextEncoding::UTF8, 4),
              fromHex("cc51609b6c365863da98cf8fab919eac3bc465897fb0b89e8022c384c6e2afe1"));
}

TEST(MasterKey, DerivesTheVersionOneKeyFromWindows1252) {
    const MasterKey key = password(range(0, 16), 1000);
    EXPECT_EQ(finalKey(key, "p\u00e4ssw\u00f6rd\u20ac", TextEncoding::Windows1252, 3),
              fromHex("bc2d286002cb185821a4dec0742f52a23e825cccbae561581a33a75e5b058465"));
}

TEST(MasterKey, EmptyPasswordAndNoRounds) {
    EXPECT_EQ(finalKey(password(range(0, 16), 0), "", TextEncoding::Windows1252, 3),
              fromHex("e307ed5a75e13580b7f20394207180137f3f772150f8524bd1b893a3ca8d25ab"));
    EXPECT_EQ(finalKey(password(range(0, 32), 0), "", TextEncoding::UTF8, 4),
              fromHex("44ae3e3ac22a365ccbc2d30bd8a33bfa06fcee4d1b1eb680a053b58906ec8e65"));
}

TEST(MasterKey, VersionsDifferOnlyByTheSecondHash) {
    const MasterKey key = password(range(0, 32), 10);
    const Bytes composite = testing::sha256Of(testing::textBytes("secret"));
    EXPECT_EQ(finalKey(key, "secret", TextEncoding::UTF8, 3),
              testing::deriveFinalKey(testing::textBytes("secret"), range(0, 32), range(100, 32),
                                      10, false));
    EXPECT_EQ(finalKey(key, "secret", TextEncoding::UTF8, 4),
              testing::deriveFinalKey(composite, range(0, 32), range(100, 32), 10, false));
}

TEST(MasterKey, MissingSeedsAreRefused) {
    MasterKey key;
    const SecureBytes text = secureBytesFromText("x");
    EXPECT_KDB_ERROR(
        static_cast<void>(key.createFinalKey32ForPasssword(text, TextEncoding::UTF8, 4)),
        "InvalidHeader", "InvalidMasterSeed");
    key.set_masterSeed(std::make_shared<ByteBuffer>(32));
    EXPECT_KDB_ERROR(
        static_cast<void>(key.createFinalKey32ForPasssword(text, TextEncoding::UTF8, 4)),
        "InvalidHeader", "InvalidTransformSeed");
    key.set_transformSeed(std::make_shared<ByteBuffer>(16));
    EXPECT_KDB_ERROR(
        static_cast<void>(key.createFinalKey32ForPasssword(text, TextEncoding::UTF8, 4)),
        "InvalidHeader", "InvalidTransformSeed");
}

TEST(Codec, EncodesWindows1252WithQuestionMarksForTheUnrepresentable) {
    const auto encode = [](std::string_view text) {
        const SecureBytes bytes = Codec::createByteBufferForString(text, TextEncoding::Windows1252);
        return Bytes(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(encode("p\u00e4ssw\u00f6rd\u20ac"), fromHex("70e4737377f6726480"));
    EXPECT_EQ(encode("\u2122\u0178\u00ff"), fromHex("999fff"));
    EXPECT_EQ(encode("\u4e2d\U0001F600"), fromHex("3f3f"));
    EXPECT_EQ(encode(std::string("a\xff"
                                 "b",
                                 3)),
              fromHex("613f62"));
    const SecureBytes utf8 = Codec::createByteBufferForString("\u00e4", TextEncoding::UTF8);
    EXPECT_EQ(Bytes(utf8.begin(), utf8.end()), fromHex("c3a4"));
}

TEST(Codec, LittleEndianReadersAndUtf8Check) {
    const auto data = std::make_shared<const std::vector<uint8_t>>(
        fromHex("01 0203 04050607 08090a0b0c0d0e0f ff"));
    testing::Bytes copy = *data;
    struct Source final : InputSource {
        explicit Source(Bytes bytes) : m_bytes(std::move(bytes)) {}
        uint32_t readBytes(void* destination, uint32_t length) override {
            const auto count =
                std::min<uint32_t>(length, static_cast<uint32_t>(m_bytes.size() - m_offset));
            std::copy_n(m_bytes.begin() + m_offset, count, static_cast<uint8_t*>(destination));
            m_offset += count;
            return count;
        }
        uint32_t lengthOfRemainingReadbleBytes() override { return 0; }
        uint32_t setReadOffset(uint32_t) override { return 0; }
        uint32_t moveReadOffset(int32_t) override { return 0; }
        Bytes m_bytes;
        std::size_t m_offset = 0;
    } source(copy);
    EXPECT_EQ(Codec::readInt8LE(source), 0x01);
    EXPECT_EQ(Codec::readInt16LE(source), 0x0302);
    EXPECT_EQ(Codec::readInt32LE(source), 0x07060504u);
    EXPECT_EQ(Codec::readInt64LE(source), 0x0f0e0d0c0b0a0908ull);
    EXPECT_EQ(Codec::readCompleteLE(source, 2), std::nullopt);

    const Bytes valid = fromHex("41 c3a4 e282ac f09f9880");
    EXPECT_TRUE(Codec::isValidUtf8(valid.data(), valid.size()));
    for (const char* invalid : {"c0af", "eda080", "f4908080", "e282", "80"}) {
        const Bytes bytes = fromHex(invalid);
        EXPECT_FALSE(Codec::isValidUtf8(bytes.data(), bytes.size())) << invalid;
    }
    const std::string empty;
    EXPECT_TRUE(Codec::emptyString(nullptr));
    EXPECT_TRUE(Codec::emptyString(&empty));
}

} // namespace
} // namespace vaultora::kdb
