#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "kdb/WipingBuffer.h"

namespace vaultora::kdb {
namespace {

TEST(WipingBuffer, GrowsFromNothingKeepingItsBytesAndTakesEmptyWrites) {
    WipingBuffer buffer;
    buffer.append(nullptr, 0);
    EXPECT_TRUE(buffer.empty());
    std::string expected;
    // From no storage at all through several growths, with empty writes between.
    for (int index = 0; index < 2000; ++index) {
        const std::string piece = std::to_string(index) + ",";
        buffer.append(piece.data(), piece.size());
        buffer.append(std::string_view().data(), 0);
        expected += piece;
    }
    EXPECT_EQ(buffer.text(), expected);
    buffer.truncate(3);
    EXPECT_EQ(buffer.text(), expected.substr(0, 3));
    // A cut beyond the end keeps everything.
    buffer.truncate(100);
    EXPECT_EQ(buffer.size(), 3u);
    buffer.clear();
    EXPECT_TRUE(buffer.empty());
    buffer.appendValue(uint32_t{7});
    EXPECT_EQ(buffer.size(), sizeof(uint32_t));
}

} // namespace
} // namespace vaultora::kdb
