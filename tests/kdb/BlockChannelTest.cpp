#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "kdb/BlockChannel.h"

namespace vaultora::kdb {
namespace {

// Writes count numbers in order, handing blocks over as they fill; false once stopped.
bool writeNumbers(BlockChannel& channel, uint32_t count) {
    for (uint32_t number = 0; number < count; ++number) {
        channel.block().appendValue(number);
        if (!channel.handOverWhenFull()) {
            return false;
        }
    }
    return true;
}

TEST(BlockChannel, DeliversEveryBlockInOrderThenTheFailureThatEndedThem) {
    constexpr uint32_t kCount = 1000000; // about thirty blocks, far more than are on their way
    BlockChannel channel;
    std::thread maker([&channel] {
        writeNumbers(channel, kCount);
        channel.finish(std::make_exception_ptr(std::runtime_error("source failed")));
    });
    uint32_t expected = 0;
    bool inOrder = true;
    while (const WipingBuffer* block = channel.next()) {
        EXPECT_EQ(block->size() % sizeof(uint32_t), 0u);
        for (std::size_t offset = 0; offset + sizeof(uint32_t) <= block->size();
             offset += sizeof(uint32_t)) {
            uint32_t number = 0;
            std::memcpy(&number, block->data() + offset, sizeof(number));
            inOrder = inOrder && number == expected;
            ++expected;
        }
    }
    maker.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(expected, kCount);
    ASSERT_TRUE(channel.failure());
    EXPECT_THROW(std::rethrow_exception(channel.failure()), std::runtime_error);
}

TEST(BlockChannel, AStopReleasesAMakerThatWaitsAndEndsItsWork) {
    BlockChannel channel;
    bool madeEverything = true;
    std::thread maker([&channel, &madeEverything] {
        madeEverything = writeNumbers(channel, UINT32_MAX);
        channel.finish(nullptr);
    });
    ASSERT_NE(channel.next(), nullptr);
    ASSERT_NE(channel.next(), nullptr);
    channel.stop();
    maker.join();
    EXPECT_FALSE(madeEverything);
    EXPECT_TRUE(channel.stopped());
    EXPECT_FALSE(channel.failure());
}

} // namespace
} // namespace vaultora::kdb
