#include <gtest/gtest.h>

#include "kdb/ChaCha20RandomStream.h"
#include "kdb/HmacBlockSource.h"
#include "kdb/KeyDerivation.h"
#include "kdb/PayloadCipher.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;
using testing::fromHex;

Bytes decryptAll(PayloadCipher& cipher, const Bytes& input, bool finish) {
    Bytes output(input.size() + 32);
    uint32_t produced =
        cipher.update(input.data(), static_cast<uint32_t>(input.size()), output.data());
    if (finish) {
        produced += cipher.finish(output.data() + produced);
    }
    output.resize(produced);
    return output;
}

// RFC 9106 section 5: password 32 x 01, salt 16 x 02, secret 8 x 03, associated data 12 x 04,
// 3 passes over 32 KiB in 4 lanes, version 0x13, 32-byte tag.
Argon2Parameters rfc9106Parameters(Argon2Parameters::Variant variant) {
    Argon2Parameters parameters;
    parameters.variant = variant;
    parameters.salt = Bytes(16, 0x02);
    parameters.secret = Bytes(8, 0x03);
    parameters.associatedData = Bytes(12, 0x04);
    parameters.memoryBytes = 32 * 1024;
    parameters.iterations = 3;
    parameters.parallelism = 4;
    parameters.version = 0x13;
    return parameters;
}

TEST(Argon2, MatchesTheRfc9106VectorsForArgon2dAndArgon2id) {
    const SecureBytes password(32, 0x01);
    const SecureBytes argon2d = KeyDerivation::transform(
        rfc9106Parameters(Argon2Parameters::Variant::Argon2d), password, nullptr);
    EXPECT_EQ(Bytes(argon2d.begin(), argon2d.end()),
              fromHex("512b391b6f1162975371d30919734294f868e3be3984f3c1a13a4db9fabe4acb"));
    const SecureBytes argon2id = KeyDerivation::transform(
        rfc9106Parameters(Argon2Parameters::Variant::Argon2id), password, nullptr);
    EXPECT_EQ(Bytes(argon2id.begin(), argon2id.end()),
              fromHex("0d640df58d78766c08c037a34a8b53c9d01ef0452d75b65eb52520e96b01e659"));
}

// RFC 8439 appendix A.1, test vector 1: the key stream of the all-zero key and nonce from
// block 0, which is where the payload cipher starts.
TEST(ChaCha20, PayloadCipherMatchesTheRfc8439ZeroKeyBlock) {
    const std::array<uint8_t, 32> key{};
    const std::array<uint8_t, 12> nonce{};
    const auto cipher = PayloadCipher::createChaCha20(key, nonce);
    EXPECT_EQ(decryptAll(*cipher, Bytes(64, 0), true),
              fromHex("76b8e0ada0f13d90405d6ae55386bd28bdd219b8a08ded1aa836efcc8b770dc7"
                      "da41597c5157488d7724e03fb8d84a376a43b8f41518a11cc387b669b2ee6586"));
}

// RFC 8439 section 2.4.2 encrypts from block counter 1, so the first 64 bytes of the cipher
// text given here pass block 0 by.
TEST(ChaCha20, PayloadCipherDecryptsTheRfc8439SunscreenText) {
    const Bytes key = fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    const Bytes nonce = fromHex("000000000000004a00000000");
    Bytes input(64, 0);
    const Bytes cipherText = fromHex(
        "6e2e359a2568f98041ba0728dd0d6981e97e7aec1d4360c20a27afccfd9fae0bf91b65c5524733ab8f593dab"
        "cd62b3571639d624e65152ab8f530c359f0861d807ca0dbf500d6a6156a38e088a22b65e52bc514d16ccf806"
        "818ce91ab77937365af90bbf74a35be6b40b8eedf2785e42874d");
    input.insert(input.end(), cipherText.begin(), cipherText.end());
    const auto cipher =
        PayloadCipher::createChaCha20(std::span<const uint8_t, 32>(key.data(), 32),
                                      std::span<const uint8_t, 12>(nonce.data(), 12));
    const Bytes plain = decryptAll(*cipher, input, true);
    const std::string text(plain.begin() + 64, plain.end());
    EXPECT_EQ(text, "Ladies and Gentlemen of the class of '99: If I could offer you only one tip "
                    "for the future, sunscreen would be it.");
}

// The published Twofish vectors for 256-bit keys: the first two lines of the table of the
// all-zero key (ECB_TBL.TXT), where each plain text is the previous cipher text, and the
// intermediate-value key (ECB_IVAL.TXT). With an all-zero IV, CBC decryption of the chained
// table gives zero blocks. The cipher holds back the last block it is given, so one more goes
// in behind.
TEST(Twofish, CbcDecryptionMatchesThePublishedVectors) {
    struct Vector {
        const char* key;
        const char* cipherText;
    };
    for (const Vector& vector :
         {Vector{"0000000000000000000000000000000000000000000000000000000000000000",
                 "57ff739d4dc92c1bd7fc01700cc8216fd43bb7556ea32e46f2a282b7d45b4e0d"},
          Vector{"0123456789abcdeffedcba987654321000112233445566778899aabbccddeeff",
                 "37527be0052334b89f0cfccae87cfa20"}}) {
        const Bytes key = fromHex(vector.key);
        const std::array<uint8_t, 16> iv{};
        const auto cipher =
            PayloadCipher::createTwofishCbc(std::span<const uint8_t, 32>(key.data(), 32), iv);
        Bytes input = fromHex(vector.cipherText);
        const std::size_t blocks = input.size();
        input.resize(blocks + 16, 0xAA);
        EXPECT_EQ(decryptAll(*cipher, input, false), Bytes(blocks, 0)) << vector.key;
    }
}

TEST(Twofish, CbcRoundTripStripsPaddingAndRefusesBadPadding) {
    const Bytes key(32, 0x11);
    const Bytes iv(16, 0x22);
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{15}, std::size_t{16}, std::size_t{1000}}) {
        Bytes plain(size);
        for (std::size_t index = 0; index < size; ++index) {
            plain[index] = static_cast<uint8_t>(index * 13);
        }
        const Bytes cipherText = testing::twofishCbcEncrypt(key, iv, plain);
        const auto cipher =
            PayloadCipher::createTwofishCbc(std::span<const uint8_t, 32>(key.data(), 32),
                                            std::span<const uint8_t, 16>(iv.data(), 16));
        // Fed in odd pieces, as the decrypting source's slices may cut blocks.
        Bytes output(cipherText.size() + 32);
        uint32_t produced = 0;
        for (std::size_t offset = 0; offset < cipherText.size(); offset += 7) {
            const auto piece =
                static_cast<uint32_t>(std::min<std::size_t>(7, cipherText.size() - offset));
            produced += cipher->update(cipherText.data() + offset, piece, output.data() + produced);
        }
        produced += cipher->finish(output.data() + produced);
        output.resize(produced);
        EXPECT_EQ(output, plain) << size;
    }
    const auto wrongKey = PayloadCipher::createTwofishCbc(
        std::array<uint8_t, 32>{}, std::span<const uint8_t, 16>(iv.data(), 16));
    const Bytes cipherText = testing::twofishCbcEncrypt(key, iv, Bytes(40, 7));
    EXPECT_THROW(static_cast<void>(decryptAll(*wrongKey, cipherText, true)), DatabaseError);
    const auto truncated = PayloadCipher::createTwofishCbc(
        std::span<const uint8_t, 32>(key.data(), 32), std::span<const uint8_t, 16>(iv.data(), 16));
    EXPECT_THROW(static_cast<void>(
                     decryptAll(*truncated, Bytes(cipherText.begin(), cipherText.end() - 1), true)),
                 DatabaseError);
}

// Computed with kdbxweb's HmacBlockTransform.getHmacKey, an independent implementation, for the
// base key 00 01 .. 3F.
TEST(HmacBlockSource, BlockKeysMatchAnIndependentWriter) {
    Sha512Digest base{};
    for (std::size_t index = 0; index < base.size(); ++index) {
        base[index] = static_cast<uint8_t>(index);
    }
    const auto hex = [](const Sha512Digest& digest) { return Bytes(digest.begin(), digest.end()); };
    EXPECT_EQ(hex(HmacBlockSource::blockKey(0, base)),
              fromHex("ec493092d6cc86d3c862fa9ac778991c2c6de619fb3d4e68f4a899fc00ff50f2"
                      "0216347b4fc2f0a494c232eb95efcf5fd39e790b56ab148d20f33ea53dc22a71"));
    EXPECT_EQ(hex(HmacBlockSource::blockKey(1, base)),
              fromHex("c546e6e20f9e3df0cf6d87777cd693b8787c45cabeb9141c6dd61f4a95c0da84"
                      "05fb037b4ad632eaccec272a913b12d9fcbed59d5a7625a04923b919febf8cf2"));
    EXPECT_EQ(hex(HmacBlockSource::blockKey(UINT64_MAX, base)),
              fromHex("62c57444af43913249d0d8fddbf9af9ca49123c0f8d30de413ca90ed2a1ef7bd"
                      "cb0e2f20a6b82906437a43ba35e8402d7f743a11531415a65395ed9b85b4d6b5"));
}

} // namespace
} // namespace vaultora::kdb
