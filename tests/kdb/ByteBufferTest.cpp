#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "kdb/ByteBuffer.h"
#include "kdb/DatabaseError.h"
#include "kdb/MappedFileSource.h"
#include "kdb/MemoryAttachmentContainer.h"
#include "kdb/Stack.h"
#include "kdb/UUID.h"
#include "tests/kdb/support/ExpectKdbError.h"
#include "tests/kdb/support/LimitedSource.h"

namespace vaultora::kdb {
namespace {

using testing::LimitedSource;

std::shared_ptr<const std::vector<uint8_t>> bytes(std::vector<uint8_t> content) {
    return std::make_shared<const std::vector<uint8_t>>(std::move(content));
}

TEST(ByteBuffer, EmptyBuffersHashToOneAndPrintNothing) {
    const ByteBuffer first(0);
    const ByteBuffer second(0);
    EXPECT_EQ(first.hash(), 1u);
    EXPECT_EQ(first.description(), "");
    EXPECT_EQ(first, second);
}

TEST(ByteBuffer, HashAndTextFormFollowTheBytes) {
    const uint8_t content[] = {0x0A, 0xFF};
    const ByteBuffer buffer(content, 2);
    EXPECT_EQ(buffer.hash(), (1u * 17 + 0x0A) * 17 + 0xFF);
    EXPECT_EQ(buffer.description(), "0A FF ");
}

TEST(ByteBuffer, EqualityNeedsSameRecordedLengthAndBytes) {
    const uint8_t content[] = {1, 2, 3};
    const uint8_t other[] = {1, 2, 4};
    ByteBuffer longer(content, 3);
    EXPECT_FALSE(longer == ByteBuffer(other, 3));
    EXPECT_FALSE(longer == ByteBuffer(content, 2));
    longer.set_size(2);
    EXPECT_EQ(longer, ByteBuffer(content, 2));
    EXPECT_EQ(longer.capacity(), 3u);
    EXPECT_KDB_ERROR(longer.set_size(4), "AppError", "BufferSize");
}

TEST(ByteBuffer, FillFromSourceLeavesUndeliveredBytesZero) {
    MappedFileSource source(bytes({7, 8, 9}));
    const ByteBuffer buffer(5, source);
    EXPECT_EQ(buffer._size(), 5u);
    EXPECT_EQ(buffer.delivered(), 3u);
    EXPECT_EQ(buffer, ByteBuffer(std::array<uint8_t, 5>{7, 8, 9, 0, 0}.data(), 5));
}

TEST(ByteBuffer, ReadUpToAllocatesOnlyWhatArrives) {
    LimitedSource source(std::vector<uint8_t>(3000, 0x5A));
    const auto buffer = ByteBuffer::readUpTo(source, UINT32_MAX);
    EXPECT_EQ(buffer->_size(), 3000u);
    EXPECT_LT(buffer->capacity(), 4u << 20);
    EXPECT_EQ(buffer->_bytes()[2999], 0x5A);
}

TEST(UUID, EqualsPlainBufferWithSameBytesAndPrintsGrouped) {
    std::array<uint8_t, 16> content{};
    for (uint8_t index = 0; index < 16; ++index) {
        content[index] = index;
    }
    const UUID identifier(content);
    const ByteBuffer plain(content.data(), 16);
    EXPECT_TRUE(identifier == plain);
    EXPECT_TRUE(plain == identifier);
    EXPECT_EQ(identifier.hash(), plain.hash());
    EXPECT_EQ(identifier.description(), "00010203-0405-0607-0809-0A0B0C0D0E0F");
}

TEST(UUID, ShortIdentifierPrintsZerosBeyondItsBytes) {
    MappedFileSource source(bytes({0xAB, 0xCD}));
    const UUID identifier(2, source);
    EXPECT_EQ(identifier.description(), "ABCD0000-0000-0000-0000-000000000000");
}

TEST(UUID, FreshIdentifiersDiffer) {
    const UUID first;
    const UUID second;
    EXPECT_EQ(first._size(), 16u);
    EXPECT_FALSE(first == second);
}

TEST(UUID, AesIdentifierIsOneSharedInstance) {
    const auto first = UUID::getAESUUID();
    std::shared_ptr<const UUID> fromThread;
    std::thread other([&fromThread] { fromThread = UUID::getAESUUID(); });
    other.join();
    EXPECT_EQ(first.get(), UUID::getAESUUID().get());
    EXPECT_EQ(first.get(), fromThread.get());
    EXPECT_EQ(first->description(), "31C1F2E6-BF71-4350-BE58-05216AFC5AFF");
}

TEST(MappedFileSource, ShortReadAtTheEndThenZero) {
    MappedFileSource source(bytes({1, 2, 3, 4, 5}));
    std::array<uint8_t, 10> target{};
    EXPECT_EQ(source.setReadOffset(2), 2u);
    EXPECT_EQ(source.readBytes(target.data(), 10), 3u);
    EXPECT_EQ(target[0], 3);
    EXPECT_EQ(target[2], 5);
    EXPECT_EQ(source.readBytes(target.data(), 10), 0u);
    EXPECT_EQ(source.lengthOfRemainingReadbleBytes(), 0u);
}

TEST(MappedFileSource, PositioningClampsToTheContent) {
    MappedFileSource source(bytes({1, 2, 3, 4, 5}));
    EXPECT_EQ(source.setReadOffset(100), 5u);
    EXPECT_EQ(source.moveReadOffset(-2), 3u);
    EXPECT_EQ(source.getRemainingBufferToRead().size(), 2u);
    EXPECT_EQ(source.getRemainingBufferToRead()[0], 4);
    EXPECT_EQ(source.moveReadOffset(-10), 0u);
    EXPECT_EQ(source.moveReadOffset(INT32_MAX), 5u);
}

TEST(MappedFileSource, MapsAFileAndTreatsAMissingOneAsEmpty) {
    char path[] = "/tmp/vaultora-wrapper-XXXXXX";
    const int descriptor = mkstemp(path);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(write(descriptor, "abcdef", 6), 6);
    close(descriptor);
    {
        MappedFileSource source{std::string(path)};
        EXPECT_TRUE(source.isMapped());
        std::array<char, 6> target{};
        EXPECT_EQ(source.readBytes(target.data(), 6), 6u);
        EXPECT_EQ(std::string(target.data(), 6), "abcdef");
    }
    unlink(path);
    MappedFileSource missing{std::string(path)};
    EXPECT_FALSE(missing.isMapped());
    EXPECT_EQ(missing.lengthOfRemainingReadbleBytes(), 0u);
    uint8_t target = 0;
    EXPECT_EQ(missing.readBytes(&target, 1), 0u);
}

TEST(MemoryAttachmentContainer, StoresOnceAndNeverConsumesTheSourceAgain) {
    MemoryAttachmentContainer container;
    EXPECT_EQ(container.getBinary(), nullptr);
    EXPECT_EQ(container.getSize(), 0u);
    MappedFileSource source(bytes({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(container.storeBinary(source, 3), 3u);
    EXPECT_EQ(container.storeBinary(source, 2), 0u);
    EXPECT_EQ(source._offset(), 3u);
    ASSERT_NE(container.getBinary(), nullptr);
    EXPECT_EQ(container.getSize(), 3u);
    EXPECT_EQ(container.getBinary()->_bytes()[2], 3);
}

TEST(MemoryAttachmentContainer, StoresOnlyTheBytesThatArrive) {
    MemoryAttachmentContainer container;
    MappedFileSource source(bytes({1, 2}));
    EXPECT_EQ(container.storeBinary(source, 4000000000u), 2u);
    EXPECT_EQ(container.getSize(), 2u);
}

TEST(Stack, EmptyStackGivesNothing) {
    Stack<std::shared_ptr<int>> stack;
    EXPECT_EQ(stack.pop(), nullptr);
    EXPECT_EQ(stack.peek(), nullptr);
    EXPECT_TRUE(stack.isEmpty());
    EXPECT_EQ(stack._length(), 0u);
    stack.push(std::make_shared<int>(4));
    EXPECT_EQ(*stack.peek(), 4);
    const auto top = stack.pop();
    EXPECT_EQ(*top, 4);
    EXPECT_TRUE(stack.isEmpty());
}

} // namespace
} // namespace vaultora::kdb
