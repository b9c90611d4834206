#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "kdb/NodeArena.h"
#include "kdb/PageWarmer.h"

namespace vaultora::kdb {
namespace {

// Anonymous memory of its own, unmapped when the test ends.
class Mapping {
public:
    explicit Mapping(std::size_t size)
        : m_size(size), m_start(static_cast<char*>(mmap(nullptr, size, PROT_READ | PROT_WRITE,
                                                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0))) {}
    ~Mapping() { munmap(m_start, m_size); }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    [[nodiscard]] char* start() const { return m_start; }
    [[nodiscard]] std::size_t residentPages() const {
        const auto pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        std::vector<unsigned char> resident((m_size + pageSize - 1) / pageSize);
        mincore(m_start, m_size, resident.data());
        std::size_t count = 0;
        for (const unsigned char page : resident) {
            count += page & 1;
        }
        return count;
    }

private:
    std::size_t m_size;
    char* m_start;
};

// Polls until the condition holds; a warmer runs only when a core is idle, so this waits for
// progress rather than for a time.
template <typename Condition> bool eventually(Condition condition) {
    for (int attempt = 0; attempt < 3000; ++attempt) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

TEST(PageWarmer, FaultsInTheRangeAskedForAndChangesNoByte) {
    constexpr std::size_t kSize = 8 * 1024 * 1024;
    const auto pageSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    Mapping mapping(kSize);
    // The first page holds text already; the rest of the range has never been touched.
    std::memset(mapping.start(), 'k', pageSize);
    ASSERT_EQ(mapping.residentPages(), 1u);
    PageWarmer warmer;
    warmer.warm(mapping.start(), mapping.start() + kSize / 2);
    EXPECT_TRUE(eventually([&] { return mapping.residentPages() >= kSize / 2 / pageSize; }));
    EXPECT_EQ(mapping.start()[0], 'k');
    EXPECT_EQ(mapping.start()[pageSize - 1], 'k');
    EXPECT_EQ(mapping.start()[pageSize], 0);
    // The half not asked for stays untouched.
    EXPECT_LE(mapping.residentPages(), kSize / 2 / pageSize + 1);
}

TEST(PageWarmer, LeavesWhatAWriterWritesMeanwhileIntact) {
    constexpr std::size_t kSize = 64 * 1024 * 1024;
    Mapping mapping(kSize);
    PageWarmer warmer;
    warmer.warm(mapping.start(), mapping.start() + kSize);
    // Writes every byte while the warmer works through the same range.
    for (std::size_t offset = 0; offset < kSize; ++offset) {
        mapping.start()[offset] = static_cast<char>(offset * 31 % 251);
    }
    std::size_t wrong = 0;
    for (std::size_t offset = 0; offset < kSize; ++offset) {
        wrong += mapping.start()[offset] != static_cast<char>(offset * 31 % 251) ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(PageWarmer, AnArenaKeepsItsContentsWithAWarmerAndWithoutOne) {
    NodeArena arena;
    std::vector<std::pair<unsigned char*, std::size_t>> pieces;
    {
        PageWarmer warmer;
        arena.setPageWarmer(&warmer);
        // Past several blocks of the largest size, in pieces of many sizes.
        for (std::size_t index = 0; index < 400000; ++index) {
            const std::size_t size = 16 + index % 509;
            auto* piece = static_cast<unsigned char*>(arena.allocate(size, 8));
            std::memset(piece, static_cast<int>(index % 253), size);
            pieces.emplace_back(piece, size);
        }
        arena.setPageWarmer(nullptr);
    }
    for (std::size_t index = 0; index < 1000; ++index) {
        const std::size_t size = 16 + index % 509;
        auto* piece = static_cast<unsigned char*>(arena.allocate(size, 8));
        std::memset(piece, static_cast<int>(index % 253), size);
        pieces.emplace_back(piece, size);
    }
    std::size_t wrong = 0;
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        const auto expected =
            static_cast<unsigned char>((index < 400000 ? index : index - 400000) % 253);
        for (std::size_t offset = 0; offset < pieces[index].second; ++offset) {
            wrong += pieces[index].first[offset] != expected ? 1 : 0;
        }
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_GT(arena.bytesInUse(), 100u * 1024 * 1024);
}

} // namespace
} // namespace vaultora::kdb
