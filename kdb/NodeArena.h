#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "ElementName.h"

namespace vaultora::kdb {

class PageWarmer;

// The storage of one parsed tree: the names its elements use, and its nodes and texts, carved out
// of large blocks and released all at once with the tree, so that opening a database costs no
// allocation per node and closing it no release per node. Large blocks are laid out on huge pages
// where the system offers them, which spares the page faults of the first touch.
//
// Everything the arena handed out is overwritten before its blocks go back to the system:
// the texts of a database (passwords among them) never outlive the tree in memory.
//
// Node storage given back while the tree is built (the fields a group or entry takes over and
// drops) is reused for the next node of the same size.
class NodeArena {
public:
    NodeArena() = default;
    ~NodeArena();
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    // Uninitialised storage, aligned to alignment (at most alignof(std::max_align_t)).
    [[nodiscard]] void* allocate(std::size_t size, std::size_t alignment);
    // Takes storage of a node back for reuse by a later allocation of the same size.
    void recycle(void* storage, std::size_t size) noexcept;

    // Makes a node in the arena; the arena is the last argument of the node's constructor.
    // Deleting the node (through its unique_ptr) recycles its storage.
    template <typename Node, typename... Arguments>
    [[nodiscard]] std::unique_ptr<Node> create(Arguments&&... arguments) {
        void* const storage = allocate(sizeof(Node), alignof(Node));
        try {
            return std::unique_ptr<Node>(::new (storage)
                                             Node(std::forward<Arguments>(arguments)..., this));
        } catch (...) {
            recycle(storage, sizeof(Node));
            throw;
        }
    }

    // While a warmer is set, the huge pages of the current block are faulted in by it one
    // ahead of the allocations. The warmer must be unset before it goes; the arena must
    // outlive its use by the warmer.
    void setPageWarmer(PageWarmer* warmer) noexcept;

    // Bytes handed out so far, the recycled ones included.
    [[nodiscard]] std::size_t bytesInUse() const noexcept;

    [[nodiscard]] NameTable& names() noexcept { return m_names; }
    [[nodiscard]] const NameTable& names() const noexcept { return m_names; }

private:
    struct Block {
        char* mapping;
        std::size_t mappingSize;
        char* start;
        std::size_t capacity;
        std::size_t used;
    };
    struct FreeList {
        std::size_t size = 0;
        void* head = nullptr;
    };

    Block& addBlock(std::size_t minimumSize);
    // Asks the warmer for the huge page after the one allocations have reached.
    void warmAhead(const Block& block) noexcept;

    std::vector<Block> m_blocks;
    // The block that small allocations come from: an index into m_blocks, since a block of
    // its own for one large allocation may be added after it.
    std::size_t m_current = SIZE_MAX;
    std::size_t m_nextBlockSize = 64 * 1024;
    std::array<FreeList, 4> m_freeLists{};
    NameTable m_names;
    PageWarmer* m_warmer = nullptr;
    // The address in the current block whose allocation calls warmAhead: never while no
    // warmer is set, so that allocating without one costs a comparison.
    std::uintptr_t m_warmTrigger = UINTPTR_MAX;
};

} // namespace vaultora::kdb
