#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vaultora::kdb {

// Overwrites memory in a way the optimiser may not remove.
void secureWipe(void* data, std::size_t length) noexcept;

// Allocator that wipes every block before giving it back, so that secrets held in a
// container do not linger in freed heap memory (also across reallocations).
template <typename T> struct WipingAllocator {
    using value_type = T;

    WipingAllocator() noexcept = default;
    template <typename U> WipingAllocator(const WipingAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) { return std::allocator<T>{}.allocate(count); }
    void deallocate(T* pointer, std::size_t count) noexcept {
        secureWipe(pointer, count * sizeof(T));
        std::allocator<T>{}.deallocate(pointer, count);
    }
    template <typename U> bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
};

// Master passwords (UTF-8) and key material live in this type, never in std::string.
using SecureBytes = std::vector<unsigned char, WipingAllocator<unsigned char>>;

inline SecureBytes secureBytesFromText(std::string_view text) {
    return SecureBytes(text.begin(), text.end());
}

} // namespace vaultora::kdb
