#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>

#include "kdb/DatabaseOpener.h"
#include "kdb/KeyDerivation.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/Kdbx4FileWriter.h"
#include "tests/kdb/support/TestCrypto.h"

namespace vaultora::kdb {
namespace {

using testing::Bytes;

// A format-4.1 database written by kdbxweb (Argon2id, AES-256, ChaCha20 inner stream,
// attachments in the inner header).
const char* const kFixture = "/kdbxweb/argon2id-aes-4.1.kdbx";
const char* const kPassword = "four-point-one \xF0\x9F\x98\x80";

Bytes fixtureBytes() {
    std::ifstream file(std::string(VAULTORA_FIXTURES_DIR) + kFixture, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(file), {}};
}

std::shared_ptr<DatabaseTree> open(const Bytes& file, const char* password = kPassword) {
    return openDatabase(std::make_unique<MappedFileSource>(std::make_shared<const Bytes>(file)),
                        secureBytesFromText(password));
}

// Where the data of header field `wanted` starts, or (for the end field, 0) where the header
// ends: signatures, version, then fields of id, 4-byte length and data.
std::size_t headerOffset(const Bytes& file, uint8_t wanted) {
    std::size_t offset = 12;
    for (;;) {
        const uint8_t id = file.at(offset);
        const uint32_t length = file.at(offset + 1) | (file.at(offset + 2) << 8) |
                                (file.at(offset + 3) << 16) |
                                (static_cast<uint32_t>(file.at(offset + 4)) << 24);
        if (id == wanted && id != 0) {
            return offset + 5;
        }
        offset += 5 + length;
        if (id == 0) {
            return offset;
        }
    }
}

Bytes flipped(Bytes file, std::size_t offset) {
    file.at(offset) ^= 0x01;
    return file;
}

TEST(Format4Reader, NamesEachDamageByWhereItIs) {
    const Bytes file = fixtureBytes();
    ASSERT_NE(open(file), nullptr);
    const std::size_t header = headerOffset(file, 0);
    // A byte of the master seed, or the stored hash of the header: the file is damaged.
    EXPECT_KDB_ERROR(open(flipped(file, headerOffset(file, 4))), "InvalidHeader",
                     "HeaderHashMismatch");
    EXPECT_KDB_ERROR(open(flipped(file, header + 3)), "InvalidHeader", "HeaderHashMismatch");
    // The stored HMAC of the header is what a wrong key fails.
    EXPECT_KDB_ERROR(open(flipped(file, header + 40)), "DecryptError", "DecryptError");
    EXPECT_KDB_ERROR(open(file, "four-point-one"), "DecryptError", "DecryptError");
    // The first block's HMAC, size (which the HMAC covers) and data.
    const std::size_t firstBlock = header + 64;
    EXPECT_KDB_ERROR(open(flipped(file, firstBlock)), "InvalidData", "InvalidBlockHmac");
    EXPECT_KDB_ERROR(open(flipped(file, firstBlock + 32)), "InvalidData", "InvalidBlockHmac");
    EXPECT_KDB_ERROR(open(flipped(file, firstBlock + 40)), "InvalidData", "InvalidBlockHmac");
    // A size beyond the data left, or with the sign bit set, is refused without reserving it.
    Bytes huge = file;
    huge.at(firstBlock + 35) = 0x7F;
    EXPECT_KDB_ERROR(open(huge), "InvalidData", "InvalidBlock");
    Bytes negative = file;
    negative.at(firstBlock + 35) = 0x80;
    EXPECT_KDB_ERROR(open(negative), "InvalidData", "InvalidBlock");
    // Trailing bytes after the last (empty) block are not read.
    Bytes longer = file;
    longer.push_back(0);
    EXPECT_NE(open(longer), nullptr);
}

TEST(Format4Reader, MajorVersionsAboveFourAreUnsupported) {
    Bytes file = fixtureBytes();
    file.at(10) = 0x05;
    EXPECT_KDB_ERROR(open(file), "Unsupported", "UnsupportedVersion");
}

const Bytes kXml = testing::textBytes(
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><KeePassFile><Meta><Generator>test</Generator>"
    "</Meta><Root><Group><Name>Written</Name><Entry><String><Key>Title</Key><Value>One</Value>"
    "</String></Entry></Group></Root></KeePassFile>");

std::string firstGroupName(const std::shared_ptr<DatabaseTree>& tree) {
    const auto groups = tree->getRoot()->getSubGroups();
    return groups.empty() ? std::string() : std::string(groups.front()->getGroupName());
}

TEST(Format4Reader, InnerHeadersWithBinariesAndEitherStreamOpen) {
    for (const uint32_t stream : {2u, 3u}) {
        for (const bool compress : {false, true}) {
            testing::Kdbx4FileWriter writer;
            writer.innerStreamId = stream;
            writer.compress = compress;
            writer.blockSize = 1000;
            writer.binaries = {Bytes(1 << 20, 0x42), Bytes{}, testing::textBytes("small")};
            EXPECT_EQ(firstGroupName(open(writer.file(testing::textBytes("pw"), kXml), "pw")),
                      "Written")
                << stream << " " << compress;
        }
    }
    testing::Kdbx4FileWriter version40;
    version40.fileVersion = 0x00040000;
    EXPECT_EQ(firstGroupName(open(version40.file(testing::textBytes("pw"), kXml), "pw")),
              "Written");
}

Bytes innerField(uint8_t id, const Bytes& data, std::optional<uint32_t> statedLength = {}) {
    Bytes field = {id};
    testing::appendLE(field, statedLength.value_or(static_cast<uint32_t>(data.size())), 4);
    field.insert(field.end(), data.begin(), data.end());
    return field;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

TEST(Format4Reader, NamesEachDamageOfTheInnerHeader) {
    const testing::Kdbx4FileWriter writer;
    const Bytes password = testing::textBytes("pw");
    const Bytes streamId = innerField(1, {3, 0, 0, 0});
    const Bytes streamKey = innerField(2, Bytes(64, 7));
    const Bytes end = innerField(0, {});
    const auto openPayload = [&](const Bytes& payload) {
        return open(writer.fileWithPayload(password, payload), "pw");
    };
    // Unknown fields of later versions are passed over.
    EXPECT_EQ(firstGroupName(
                  openPayload(concat({streamId, innerField(9, {1, 2, 3}), streamKey, end, kXml}))),
              "Written");
    // No stream id: protected values cannot be read.
    EXPECT_KDB_ERROR(openPayload(concat({streamKey, end, kXml})), "Unsupported",
                     "UnsupportedRandomStreamID");
    EXPECT_KDB_ERROR(openPayload(concat({innerField(1, {3, 0}), streamKey, end, kXml})),
                     "InvalidData", "InvalidInnerHeader");
    // Lengths beyond the payload, with the sign bit set, or a header cut short.
    EXPECT_KDB_ERROR(openPayload(concat({streamId, innerField(3, {1}, 0x7FFFFFFF)})), "InvalidData",
                     "InvalidInnerHeader");
    EXPECT_KDB_ERROR(openPayload(concat({streamId, innerField(2, {1}, 0x7FFFFFFF)})), "InvalidData",
                     "InvalidInnerHeader");
    EXPECT_KDB_ERROR(openPayload(concat({streamId, innerField(3, {1}, 0x80000001)})), "InvalidData",
                     "InvalidInnerHeader");
    EXPECT_KDB_ERROR(openPayload(Bytes{1, 4, 0}), "InvalidData", "InvalidInnerHeader");
    EXPECT_KDB_ERROR(openPayload(Bytes{}), "InvalidData", "InvalidInnerHeader");
}

TEST(KeyDerivation, RefusesUnknownOrIncompleteParameters) {
    const Bytes unknownId(16, 0x42);
    Bytes dictionary = {0x00, 0x01, 0x42};
    testing::appendLE(dictionary, 5, 4);
    dictionary.insert(dictionary.end(), {'$', 'U', 'U', 'I', 'D'});
    testing::appendLE(dictionary, 16, 4);
    Bytes aesOnlyId = dictionary;
    dictionary.insert(dictionary.end(), unknownId.begin(), unknownId.end());
    dictionary.push_back(0);
    EXPECT_KDB_ERROR(
        static_cast<void>(KeyDerivation::fromDictionary(VariantDictionary::parse(dictionary))),
        "Unsupported", "UnsupportedKdf");
    // AES-KDF without its rounds and seed.
    aesOnlyId.insert(aesOnlyId.end(), KeyDerivation::kAesKdfId.begin(),
                     KeyDerivation::kAesKdfId.end());
    aesOnlyId.push_back(0);
    EXPECT_KDB_ERROR(
        static_cast<void>(KeyDerivation::fromDictionary(VariantDictionary::parse(aesOnlyId))),
        "InvalidHeader", "InvalidKdfParameters");
}

Argon2Parameters smallArgon2() {
    Argon2Parameters parameters;
    parameters.salt = Bytes(32, 7);
    parameters.memoryBytes = 64 * 1024;
    parameters.iterations = 1;
    parameters.parallelism = 1;
    return parameters;
}

TEST(KeyDerivation, RefusesAbsurdArgon2ResourcesBeforeAllocating) {
    EXPECT_LE(KeyDerivation::argon2MemoryLimit(), uint64_t{4} << 30);
    Argon2Parameters huge = smallArgon2();
    huge.memoryBytes = (uint64_t{4} << 30) + 1024;
    EXPECT_KDB_ERROR(static_cast<void>(KeyDerivation::transform(huge, SecureBytes(32), nullptr)),
                     "ResourceLimit", "KdfMemoryTooLarge");
    huge.memoryBytes = UINT64_MAX;
    EXPECT_KDB_ERROR(static_cast<void>(KeyDerivation::transform(huge, SecureBytes(32), nullptr)),
                     "ResourceLimit", "KdfMemoryTooLarge");
    // Other values the library refuses are a damaged header.
    Argon2Parameters odd = smallArgon2();
    odd.version = 0x11;
    EXPECT_KDB_ERROR(static_cast<void>(KeyDerivation::transform(odd, SecureBytes(32), nullptr)),
                     "InvalidHeader", "InvalidKdfParameters");
    odd = smallArgon2();
    odd.salt = Bytes(4, 1);
    EXPECT_KDB_ERROR(static_cast<void>(KeyDerivation::transform(odd, SecureBytes(32), nullptr)),
                     "InvalidHeader", "InvalidKdfParameters");
    odd = smallArgon2();
    odd.iterations = uint64_t{1} << 33;
    EXPECT_KDB_ERROR(static_cast<void>(KeyDerivation::transform(odd, SecureBytes(32), nullptr)),
                     "InvalidHeader", "InvalidKdfParameters");
    // Many lanes need no more threads than the processor has, and still give the result.
    Argon2Parameters lanes = smallArgon2();
    lanes.parallelism = 64;
    lanes.memoryBytes = 64 * 8 * 1024;
    EXPECT_EQ(KeyDerivation::transform(lanes, SecureBytes(32), nullptr).size(), 32u);
}

// Runs the derivation while another thread sets the cancel flag after a short while; the
// derivation must stop with the named error long before it would have finished.
void expectCancelledPromptly(const KdfParameters& parameters) {
    CancelFlag flag;
    std::thread canceller([&flag] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        flag.cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_KDB_ERROR(
        static_cast<void>(KeyDerivation::transform(parameters, SecureBytes(32), &flag)),
        "Cancelled", "Cancelled");
    canceller.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(KeyDerivation, CancellingStopsTheAesRoundsAndArgon2) {
    AesKdfParameters aes;
    aes.rounds = uint64_t{1} << 40;
    expectCancelledPromptly(aes);
    // About a second of work if it were not cancelled; the library cannot be interrupted, so
    // the abandoned run finishes on its own thread.
    Argon2Parameters argon2 = smallArgon2();
    argon2.memoryBytes = 8 << 20;
    argon2.iterations = 100;
    expectCancelledPromptly(argon2);
}

TEST(Format4Reader, AnOpenWhoseFlagIsSetStopsBeforeTheTree) {
    CancelFlag flag;
    flag.cancel();
    Credentials credentials = Credentials::withPassword(secureBytesFromText(kPassword));
    credentials.cancelFlag = &flag;
    const Bytes file = fixtureBytes();
    EXPECT_KDB_ERROR(
        static_cast<void>(openDatabase(
            std::make_unique<MappedFileSource>(std::make_shared<const Bytes>(file)), credentials)),
        "Cancelled", "Cancelled");
}

} // namespace
} // namespace vaultora::kdb
