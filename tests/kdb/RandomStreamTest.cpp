#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "kdb/Arc4RandomStream.h"
#include "kdb/Salsa20RandomStream.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;
using testing::fromHex;

// eSTREAM (ECRYPT) verified test vectors for Salsa20/20: 256-bit key, set 1, vector 0 (key
// 80 00 ... 00, nonce 0), key-stream bytes 0 to 511.
const Bytes kSalsaSet1Vector0 =
    fromHex("e3be8fdd8beca2e3ea8ef9475b29a6e7003951e1097a5c38d23b7a5fad9f6844"
            "b22c97559e2723c7cbbd3fe4fc8d9a0744652a83e72a9c461876af4d7ef1a117"
            "8da2b74eef1b6283e7e20166abcae538e9716e4669e2816b6b20c5c356802001"
            "cc1403a9a117d12a2669f456366d6ebb0f1246f1265150f793cdb4b253e348ae"
            "203d89bc025e802a7e0e00621d70aa36b7e07cb1e7d5b38d5e222b8b0e4b8407"
            "0142b1e29504767d76824850320b5368129fdd74e861b498e3be8d16f2d7d169"
            "57be81f47b17d9ae7c4ff15429a73e10acf250ed3a90a93c711308a74c6216a9"
            "ed84cd126da7f28e8abf8bb63517e1ca98e712f4fb2e1a6aed9fdc73291faa17"
            "958211c4ba2ebd5838c635edb81f513a91a294e194f1c039aeec657dce40aa7e"
            "7c0af57cacefa40c9f14b71a4b3456a63e162ec7d8d10b8ffb1810d71001b618"
            "2f9f73da53b85405c11f7b2d890fa8ae0c7f2e926d8a98c7ec4e91b65120e988"
            "349631a700c6facec3471cb0413656e75e309456584084d7e12c5b43a41c43ed"
            "9a048abd9b880da65f6a665a20fe7b77cd292fe62cae644b7f7df69f32bdb331"
            "903e6505ce44fdc293920c6a9ec7057e23df7dad298f82ddf4efb7fdc7bfc622"
            "696afcfd0cddcc83c7e77f11a649d79acdc3354e9635ff137e929933a0bd6f53"
            "77efa105a3a4266b7c0d089d08f1e855cc32b15b93784a36e56a76cc64bc8477");

std::unique_ptr<Salsa20RandomStream> publishedSalsa() {
    const Bytes unused(32, 0);
    auto stream = std::make_unique<Salsa20RandomStream>(unused.data(), unused.size());
    Bytes key(32, 0);
    key[0] = 0x80;
    const Bytes nonce(8, 0);
    stream->setKey(std::span<const uint8_t, 32>(key.data(), 32));
    stream->setIV(std::span<const uint8_t, 8>(nonce.data(), 8));
    return stream;
}

TEST(Salsa20RandomStream, MatchesThePublishedVectorAcrossBlockBoundaries) {
    const auto owner = publishedSalsa();
    Salsa20RandomStream& stream = *owner;
    // Values of 70, 70, 3, 5 and 364 bytes: the first spans blocks 0 and 1, the second
    // starts at byte 6 of block 1.
    Bytes produced;
    for (const std::size_t length : {70u, 70u, 3u, 5u, 364u}) {
        Bytes value(length, 0);
        stream.applyKeyStream(value.data(), value.size());
        produced.insert(produced.end(), value.begin(), value.end());
    }
    EXPECT_EQ(produced, kSalsaSet1Vector0);
}

TEST(Salsa20RandomStream, KeysWithTheHashOfTheKeyAndTheFixedNonce) {
    // Computed with an independent Salsa20 implementation: key SHA-256(01 02 ... 20), nonce
    // E8 30 09 4B 97 20 5D 2A, block counter 0.
    const Bytes key = fromHex("0102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f20");
    Salsa20RandomStream stream(key.data(), key.size());
    Bytes produced(80, 0);
    stream.applyKeyStream(produced.data(), produced.size());
    EXPECT_EQ(produced, fromHex("c5f0eb847cdbb963687bce03f9f58a216bbb9d594c2042d3d2e252af7f0ef082"
                                "66326aac9daa7af44927823d2c07526e85ad4f86ef182132020f24ca109e7578"
                                "2bb07c8523d863ae65f5af7efe9492ee"));
}

TEST(Salsa20RandomStream, UnmasksTextAndRejectsInvalidUtf8) {
    const auto owner = publishedSalsa();
    Salsa20RandomStream& stream = *owner;
    const std::string secret = "p\u00e4ss";
    Bytes masked(secret.begin(), secret.end());
    for (std::size_t index = 0; index < masked.size(); ++index) {
        masked[index] ^= kSalsaSet1Vector0[index];
    }
    EXPECT_EQ(stream.xorBytes(masked.data(), masked.size()), secret);
    EXPECT_EQ(stream.xorBytes(nullptr, 0), "");
    // Masked 0xFF is not valid UTF-8 once unmasked; the stream still advances by one byte.
    const uint8_t invalid = static_cast<uint8_t>(0xFF ^ kSalsaSet1Vector0[masked.size()]);
    EXPECT_EQ(stream.xorBytes(&invalid, 1), "");
    const uint8_t next = static_cast<uint8_t>('A' ^ kSalsaSet1Vector0[masked.size() + 1]);
    EXPECT_EQ(stream.xorBytes(&next, 1), "A");
}

TEST(Salsa20RandomStream, WordHelpers) {
    const Bytes bytes = fromHex("0001020304");
    EXPECT_EQ(Salsa20RandomStream::uint8To32Little(bytes.data(), 1), 0x04030201u);
    EXPECT_EQ(Salsa20RandomStream::rotl(0x80000001u, 1), 0x00000003u);
    EXPECT_EQ(Salsa20RandomStream::rotl(0x12345678u, 32), 0x12345678u);
}

// RFC 6229 section 2, key 01 02 03 04 05: key-stream bytes at the listed offsets.
TEST(Arc4RandomStream, DropsTheFirst512BytesOfThePublishedKeyStream) {
    const Bytes key = fromHex("0102030405");
    Arc4RandomStream stream(key.data(), key.size());
    const auto next = [&stream](std::size_t length) {
        Bytes value(length, 0);
        stream.applyKeyStream(value.data(), value.size());
        return value;
    };
    EXPECT_EQ(next(16), fromHex("64598444 32a7da92 3cfb3eb4 980661f6")); // offset 512
    static_cast<void>(next(752 - 528));
    EXPECT_EQ(next(16), fromHex("ec10327b de2beefd 18f92776 80457e22")); // 752
    EXPECT_EQ(next(16), fromHex("eb62638d 4f0ba1fe 9fca20e0 5bf8ff2b")); // 768
    static_cast<void>(next(1008 - 784));
    EXPECT_EQ(next(16), fromHex("45129048 e6a0ed0b 56b49033 8f078da5")); // 1008
    // Offset 1024 is the first byte of the second generated block.
    EXPECT_EQ(next(16), fromHex("30abbcc7 c20b0160 9f23ee2d 5f6bb7df")); // 1024
    static_cast<void>(next(2032 - 1040));
    EXPECT_EQ(next(32), fromHex("1eb14a0c 13b3bf47 fa2a0ba9 3ad45b8b cc582f8b a9f265e2 b1be9112 "
                                "e975d2d7")); // 2032, crossing into the third block
}

TEST(Arc4RandomStream, SplitCallsEqualOneCall) {
    const Bytes key = fromHex("0102030405060708");
    Arc4RandomStream whole(key.data(), key.size());
    Arc4RandomStream split(key.data(), key.size());
    const std::string text = "abcdefgh";
    Bytes masked(text.begin(), text.end());
    Bytes copy = masked;
    whole.applyKeyStream(masked.data(), 8);
    const std::string head = split.xorBytes(masked.data(), 3);
    const std::string tail = split.xorBytes(masked.data() + 3, 5);
    EXPECT_EQ(head + tail, text);
    EXPECT_NE(masked, copy);
}

TEST(Arc4RandomStream, RefusesAnEmptyKey) {
    EXPECT_KDB_ERROR(Arc4RandomStream(nullptr, 0), "InvalidHeader", "InvalidProtectedStreamKey");
}

} // namespace
} // namespace vaultora::kdb
