#include "NodeArena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "PageWarmer.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {

constexpr std::size_t kHugePageSize = 2 * 1024 * 1024;
constexpr std::size_t kLargestBlockSize = 32 * 1024 * 1024;
constexpr std::size_t kPageSize = 4096;

std::size_t roundUp(std::size_t value, std::size_t multiple) {
    return (value + multiple - 1) / multiple * multiple;
}

} // namespace

NodeArena::~NodeArena() {
    for (const Block& block : m_blocks) {
        secureWipe(block.start, block.used);
        munmap(block.mapping, block.mappingSize);
    }
}

NodeArena::Block& NodeArena::addBlock(std::size_t minimumSize) {
    const bool huge = minimumSize >= kHugePageSize;
    const std::size_t size = roundUp(minimumSize, huge ? kHugePageSize : kPageSize);
    // A huge page needs an aligned address: map a huge page more and use its aligned part.
    const std::size_t mappingSize = huge ? size + kHugePageSize : size;
    // Room for the block first, so that a failure cannot lose the mapping.
    m_blocks.reserve(m_blocks.size() + 1);
    void* const mapping =
        mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) {
        throw std::bad_alloc();
    }
    auto* start = static_cast<char*>(mapping);
    if (huge) {
        start = reinterpret_cast<char*>(
            roundUp(reinterpret_cast<std::uintptr_t>(mapping), kHugePageSize));
        // Only a hint: without huge pages the block works the same, on small pages.
        madvise(start, size, MADV_HUGEPAGE);
    }
    m_blocks.push_back({static_cast<char*>(mapping), mappingSize, start, size, 0});
    return m_blocks.back();
}

void* NodeArena::allocate(std::size_t size, std::size_t alignment) {
    if (size == 0) {
        size = 1;
    }
    // Far beyond any memory, and the block arithmetic below must not wrap.
    if (size > SIZE_MAX / 4) {
        throw std::bad_alloc();
    }
    for (FreeList& list : m_freeLists) {
        if (list.size == size && list.head != nullptr) {
            void* const storage = list.head;
            std::memcpy(&list.head, storage, sizeof(void*));
            return storage;
        }
    }
    if (m_current != SIZE_MAX) {
        Block& block = m_blocks[m_current];
        const std::size_t offset = roundUp(block.used, alignment);
        if (offset <= block.capacity && size <= block.capacity - offset) {
            block.used = offset + size;
            if (reinterpret_cast<std::uintptr_t>(block.start) + block.used >= m_warmTrigger) {
                warmAhead(block);
            }
            return block.start + offset;
        }
    }
    // A quarter of a block or more gets a block of its own, so that the rest of the current
    // block is not left unused.
    if (size >= m_nextBlockSize / 4) {
        Block& own = addBlock(size);
        own.used = size;
        return own.start;
    }
    Block& block = addBlock(m_nextBlockSize);
    m_current = m_blocks.size() - 1;
    m_nextBlockSize = std::min(m_nextBlockSize * 2, kLargestBlockSize);
    block.used = size;
    m_warmTrigger = UINTPTR_MAX;
    if (m_warmer != nullptr) {
        warmAhead(block);
    }
    return block.start;
}

void NodeArena::setPageWarmer(PageWarmer* warmer) noexcept {
    m_warmer = warmer;
    m_warmTrigger = UINTPTR_MAX;
    if (warmer != nullptr && m_current != SIZE_MAX) {
        warmAhead(m_blocks[m_current]);
    }
}

void NodeArena::warmAhead(const Block& block) noexcept {
    m_warmTrigger = UINTPTR_MAX;
    // Small blocks are cheap to fault in as they are used.
    if (m_warmer == nullptr || block.capacity < kHugePageSize) {
        return;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(block.start);
    const std::uintptr_t end = start + block.capacity;
    // The huge page after the one the allocations are in; when they reach it, the next.
    const std::uintptr_t from = roundUp(start + block.used + 1, kHugePageSize);
    if (from >= end) {
        return;
    }
    const std::uintptr_t to = std::min(end, from + kHugePageSize);
    m_warmer->warm(reinterpret_cast<char*>(from), reinterpret_cast<char*>(to));
    m_warmTrigger = from;
}

void NodeArena::recycle(void* storage, std::size_t size) noexcept {
    if (storage == nullptr || size < sizeof(void*)) {
        return;
    }
    for (FreeList& list : m_freeLists) {
        if (list.size == size || list.size == 0) {
            list.size = size;
            std::memcpy(storage, &list.head, sizeof(void*));
            list.head = storage;
            return;
        }
    }
    // More sizes than lists: the storage stays unused until the arena goes.
}

std::size_t NodeArena::bytesInUse() const noexcept {
    std::size_t total = 0;
    for (const Block& block : m_blocks) {
        total += block.used;
    }
    return total;
}

} // namespace vaultora::kdb
