#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>

#include "kdb/DecryptingSource.h"
#include "kdb/GzipInflatingSource.h"
#include "kdb/HashedBlockSource.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/KdbxFileWriter.h"
#include "tests/kdb/support/LimitedSource.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;
using testing::LimitedSource;

const Bytes kKey =
    testing::fromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
const Bytes kIv = testing::fromHex("000102030405060708090a0b0c0d0e0f");

Bytes pattern(std::size_t size) {
    Bytes data(size);
    for (std::size_t index = 0; index < size; ++index) {
        data[index] = static_cast<uint8_t>((index * 7 + index / 251) & 0xFF);
    }
    return data;
}

std::unique_ptr<DecryptingSource> decryptor(Bytes cipher, const Bytes& key = kKey,
                                            uint32_t endAfter = UINT32_MAX) {
    return std::make_unique<DecryptingSource>(
        std::make_unique<LimitedSource>(std::move(cipher), endAfter),
        std::span<const uint8_t, 32>(key.data(), 32), std::span<const uint8_t, 16>(kIv.data(), 16));
}

// Reads everything in pieces of the given size.
Bytes drain(InputSource& source, uint32_t piece) {
    Bytes out;
    Bytes buffer(piece);
    for (;;) {
        const uint32_t got = source.readBytes(buffer.data(), piece);
        out.insert(out.end(), buffer.begin(), buffer.begin() + got);
        if (got < piece) {
            return out;
        }
    }
}

TEST(DecryptingSource, PublishedCbcVectorDecrypts) {
    // NIST SP 800-38A F.2.5, CBC-AES256 (first block), followed by the padding block the
    // reference cipher appends.
    const Bytes plain = testing::fromHex("6bc1bee22e409f96e93d7e117393172a");
    const Bytes cipher = testing::aesCbcEncrypt(kKey, kIv, plain);
    EXPECT_EQ(Bytes(cipher.begin(), cipher.begin() + 16),
              testing::fromHex("f58c4c04d6e5f1ba779eabfb5f7bfbd6"));
    auto source = decryptor(cipher);
    EXPECT_EQ(drain(*source, 7), plain);
}

TEST(DecryptingSource, RoundTripsAcrossSliceBoundaries) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{15}, std::size_t{16},
                                   std::size_t{DecryptingSource::kSliceSize - 16},
                                   std::size_t{DecryptingSource::kSliceSize - 1},
                                   std::size_t{DecryptingSource::kSliceSize + 100},
                                   std::size_t{3 * DecryptingSource::kSliceSize + 5}}) {
        const Bytes plain = pattern(size);
        auto source = decryptor(testing::aesCbcEncrypt(kKey, kIv, plain));
        EXPECT_EQ(drain(*source, 100000), plain) << size;
        uint8_t byte = 0;
        EXPECT_EQ(source->readBytes(&byte, 1), 0u);
    }
}

TEST(DecryptingSource, CipherTextOfExactlyOneSliceNeedsTheFinishingRefill) {
    // Plain text of one slice minus one byte pads out to exactly 524288 bytes of cipher text.
    const Bytes plain = pattern(DecryptingSource::kSliceSize - 1);
    Bytes cipher = testing::aesCbcEncrypt(kKey, kIv, plain);
    ASSERT_EQ(cipher.size(), DecryptingSource::kSliceSize);
    auto inner = std::make_unique<LimitedSource>(std::move(cipher));
    LimitedSource* observed = inner.get();
    DecryptingSource source(std::move(inner), std::span<const uint8_t, 32>(kKey.data(), 32),
                            std::span<const uint8_t, 16>(kIv.data(), 16));
    EXPECT_EQ(drain(source, 4096), plain);
    EXPECT_EQ(observed->readCalls(), 2u);
}

TEST(DecryptingSource, WrongKeyOrCutCipherTextIsDecryptError) {
    const Bytes plain = pattern(1000);
    const Bytes cipher = testing::aesCbcEncrypt(kKey, kIv, plain);
    Bytes wrongKey = kKey;
    wrongKey[0] ^= 1;
    // A wrong key gives garbage whose padding fails the check; with this key and data the
    // last byte decrypts to an invalid pad.
    EXPECT_KDB_ERROR(drain(*decryptor(cipher, wrongKey), 64), "DecryptError", "DecryptError");
    // A cipher text that is not a multiple of the block size cannot be finished.
    EXPECT_KDB_ERROR(drain(*decryptor(cipher, kKey, 1000), 64), "DecryptError", "DecryptError");
    // A cipher text that ends on a block boundary inside the data fails the padding check.
    EXPECT_KDB_ERROR(drain(*decryptor(cipher, kKey, 992), 64), "DecryptError", "DecryptError");
}

TEST(DecryptingSource, SkipsForwardOnlyAndCannotBePositioned) {
    const Bytes plain = pattern(5000);
    auto source = decryptor(testing::aesCbcEncrypt(kKey, kIv, plain));
    EXPECT_EQ(source->moveReadOffset(0), 0u);
    EXPECT_EQ(source->moveReadOffset(4000), 0u);
    uint8_t byte = 0;
    ASSERT_EQ(source->readBytes(&byte, 1), 1u);
    EXPECT_EQ(byte, plain[4000]);
    EXPECT_KDB_ERROR(source->moveReadOffset(-1), "UnsupportedMethod", "moveReadOffset");
    EXPECT_KDB_ERROR(static_cast<void>(source->lengthOfRemainingReadbleBytes()),
                     "UnsupportedMethod", "lengthOfRemainingReadbleBytes");
    EXPECT_KDB_ERROR(source->setReadOffset(0), "UnsupportedMethod", "setReadOffset");
}

std::unique_ptr<GzipInflatingSource> inflater(Bytes compressed, uint32_t endAfter = UINT32_MAX) {
    return std::make_unique<GzipInflatingSource>(
        std::make_unique<LimitedSource>(std::move(compressed), endAfter));
}

TEST(GzipInflatingSource, InflatesGzipAndZlibStreams) {
    const Bytes plain = pattern(200000);
    for (const int windowBits : {31, 15}) {
        auto source = inflater(testing::deflateBytes(plain, windowBits));
        EXPECT_EQ(drain(*source, 5000), plain) << windowBits;
        uint8_t byte = 0;
        EXPECT_EQ(source->readBytes(&byte, 1), 0u);
    }
}

TEST(GzipInflatingSource, IgnoresAndNeverReadsTrailingBytes) {
    const Bytes plain = pattern(100);
    Bytes compressed = testing::deflateBytes(plain, 31);
    const std::size_t streamSize = compressed.size();
    compressed.insert(compressed.end(), 50000, 0xEE);
    auto inner = std::make_unique<LimitedSource>(std::move(compressed));
    LimitedSource* observed = inner.get();
    GzipInflatingSource source(std::move(inner));
    EXPECT_EQ(drain(source, 1000), plain);
    // One input slice of 16 KiB at most, never the rest of the trailing bytes.
    EXPECT_LE(observed->bytesRead(), streamSize + GzipInflatingSource::kInputSize);
    EXPECT_LT(observed->bytesRead(), 50000u);
}

TEST(GzipInflatingSource, CutOrCorruptStreamIsUnzipError) {
    const Bytes compressed = testing::deflateBytes(pattern(100000), 31);
    EXPECT_KDB_ERROR(
        drain(*inflater(compressed, static_cast<uint32_t>(compressed.size() / 2)), 999),
        "InvalidData", "UnzipError");
    EXPECT_KDB_ERROR(drain(*inflater({}), 10), "InvalidData", "UnzipError");
    Bytes corrupt = compressed;
    corrupt[0] ^= 0xFF; // no longer a gzip or zlib header
    EXPECT_KDB_ERROR(drain(*inflater(corrupt), 10), "InvalidData", "UnzipError");
    Bytes badChecksum = compressed;
    badChecksum[badChecksum.size() - 6] ^= 0x01; // the CRC-32 of the gzip trailer
    EXPECT_KDB_ERROR(drain(*inflater(badChecksum), 4096), "InvalidData", "UnzipError");
}

TEST(GzipInflatingSource, CannotBePositioned) {
    auto source = inflater(testing::deflateBytes(pattern(10), 31));
    EXPECT_KDB_ERROR(source->moveReadOffset(1), "UnsupportedMethod", "UnsupportedMethod");
    EXPECT_KDB_ERROR(source->setReadOffset(1), "UnsupportedMethod", "UnsupportedMethod");
    EXPECT_KDB_ERROR(static_cast<void>(source->lengthOfRemainingReadbleBytes()),
                     "UnsupportedMethod", "UnsupportedMethod");
}

std::unique_ptr<HashedBlockSource> unblocker(Bytes framed, uint32_t endAfter = UINT32_MAX) {
    return std::make_unique<HashedBlockSource>(
        std::make_unique<LimitedSource>(std::move(framed), endAfter));
}

Bytes block(uint32_t index, const Bytes& payload, Bytes hash) {
    Bytes out;
    testing::appendLE(out, index, 4);
    out.insert(out.end(), hash.begin(), hash.end());
    testing::appendLE(out, payload.size(), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Bytes terminator(uint32_t index, Bytes hash = Bytes(32, 0)) {
    return block(index, {}, hash);
}

TEST(HashedBlockSource, RoundTripsManyBlocksAndEndsAtTheTerminator) {
    const Bytes plain = pattern(10000);
    auto source = unblocker(testing::KdbxFileWriter::hashedBlocks(plain, 777));
    EXPECT_EQ(drain(*source, 1000), plain);
    uint8_t byte = 0;
    EXPECT_EQ(source->readBytes(&byte, 1), 0u);
    EXPECT_EQ(drain(*unblocker(testing::KdbxFileWriter::hashedBlocks({}, 10)), 10), Bytes{});
}

TEST(HashedBlockSource, OutOfSequenceIndexIsRejected) {
    const Bytes payload = pattern(10);
    Bytes framed = block(1, payload, testing::sha256Of(payload));
    const Bytes end = terminator(2);
    framed.insert(framed.end(), end.begin(), end.end());
    EXPECT_KDB_ERROR(drain(*unblocker(framed), 10), "InvalidData", "InvalidBlockIndex");
}

TEST(HashedBlockSource, HashMismatchesAreRejected) {
    const Bytes payload = pattern(10);
    Bytes wrongHash = testing::sha256Of(payload);
    wrongHash[31] ^= 1;
    EXPECT_KDB_ERROR(drain(*unblocker(block(0, payload, wrongHash)), 10), "InvalidData",
                     "InvalidBlockHash");
    Bytes badEnd(32, 0);
    badEnd[5] = 1;
    EXPECT_KDB_ERROR(drain(*unblocker(terminator(0, badEnd)), 10), "InvalidData",
                     "InvalidBlockHash");
}

TEST(HashedBlockSource, TruncationsAreNamed) {
    const Bytes framed = testing::KdbxFileWriter::hashedBlocks(pattern(100), 100);
    // Inside the hash of the first block.
    EXPECT_KDB_ERROR(drain(*unblocker(framed, 20), 10), "InvalidData", "InvalidBlockHashSize");
    // Inside the payload of the first block.
    EXPECT_KDB_ERROR(drain(*unblocker(framed, 60), 10), "InvalidData", "InvalidBlock");
    // After the first block, before the terminator.
    EXPECT_KDB_ERROR(drain(*unblocker(framed, 140), 1000), "InvalidData", "InvalidBlock");
}

TEST(HashedBlockSource, OversizedBlockFailsWithoutAllocatingItsSize) {
    Bytes framed;
    testing::appendLE(framed, 0, 4);
    framed.insert(framed.end(), 32, 0x11);
    testing::appendLE(framed, 0xFFFFFFF0u, 4);
    framed.insert(framed.end(), 100, 0x22);
    EXPECT_KDB_ERROR(drain(*unblocker(framed), 10), "InvalidData", "InvalidBlock");
}

TEST(HashedBlockSource, CannotBePositioned) {
    auto source = unblocker(testing::KdbxFileWriter::hashedBlocks(pattern(10), 10));
    EXPECT_KDB_ERROR(source->moveReadOffset(1), "UnsupportedMethod", "UnsupportedMethod");
    EXPECT_KDB_ERROR(source->setReadOffset(1), "UnsupportedMethod", "UnsupportedMethod");
    EXPECT_KDB_ERROR(static_cast<void>(source->lengthOfRemainingReadbleBytes()),
                     "UnsupportedMethod", "UnsupportedMethod");
}

} // namespace
} // namespace vaultora::kdb
