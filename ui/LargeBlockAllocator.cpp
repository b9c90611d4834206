#include "ui/LargeBlockAllocator.h"

#include <cstdlib>
#include <limits>

#include <sys/mman.h>

namespace vaultora::ui::largeblock {

namespace {

constexpr std::size_t hugePageSize = std::size_t{2} << 20;

[[nodiscard]] bool isLarge(std::size_t bytes) {
    return bytes >= hugePageSize;
}

} // namespace

void* allocate(std::size_t bytes) {
    if (!isLarge(bytes)) {
        return ::operator new(bytes);
    }
    if (bytes > std::numeric_limits<std::size_t>::max() - hugePageSize) {
        throw std::bad_alloc();
    }
    // Whole huge pages, so that the last one is not left to small pages.
    const std::size_t rounded = (bytes + hugePageSize - 1) / hugePageSize * hugePageSize;
    void* block = std::aligned_alloc(hugePageSize, rounded);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
#if defined(MADV_HUGEPAGE)
    // Only a hint: without huge pages the block works the same, on small pages.
    static_cast<void>(madvise(block, rounded, MADV_HUGEPAGE));
#endif
    return block;
}

void release(void* block, std::size_t bytes) noexcept {
    if (!isLarge(bytes)) {
        ::operator delete(block);
        return;
    }
    std::free(block);
}

} // namespace vaultora::ui::largeblock
