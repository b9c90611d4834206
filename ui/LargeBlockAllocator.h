// The allocator of the search's large arrays: the folded texts of a whole tree, a million
// results. A block of two megabytes or more lies on huge pages where the system grants them,
// because a million results written to fresh 4 KiB pages cost more page faults than the search
// itself. Blocks that hold copies of secrets are wiped before they go back.
#pragma once

#include "kdb/SecureBytes.h"

#include <cstddef>
#include <limits>
#include <new>

namespace vaultora::ui {

enum class WipeOnRelease { No, Yes };

namespace largeblock {

[[nodiscard]] void* allocate(std::size_t bytes);
void release(void* block, std::size_t bytes) noexcept;

} // namespace largeblock

template <typename T, WipeOnRelease wipe = WipeOnRelease::No> struct LargeBlockAllocator {
    using value_type = T;
    template <typename U> struct rebind { using other = LargeBlockAllocator<U, wipe>; };

    LargeBlockAllocator() noexcept = default;
    template <typename U> LargeBlockAllocator(const LargeBlockAllocator<U, wipe>&) noexcept {}

    [[nodiscard]] T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(largeblock::allocate(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept {
        if constexpr (wipe == WipeOnRelease::Yes) {
            kdb::secureWipe(block, count * sizeof(T));
        }
        largeblock::release(block, count * sizeof(T));
    }
    template <typename U> bool operator==(const LargeBlockAllocator<U, wipe>&) const noexcept {
        return true;
    }
};

} // namespace vaultora::ui
