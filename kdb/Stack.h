#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace vaultora::kdb {

// A plain last-in-first-out stack of references. Pointer is a raw or smart pointer type;
// its default value stands for "nothing" on an empty stack.
template <typename Pointer> class Stack {
public:
    Stack() { m_stack.reserve(8); }

    void push(Pointer object) { m_stack.push_back(std::move(object)); }

    // The top object, still valid for the caller after removal.
    Pointer pop() {
        if (m_stack.empty()) {
            return Pointer{};
        }
        Pointer top = std::move(m_stack.back());
        m_stack.pop_back();
        return top;
    }

    [[nodiscard]] Pointer peek() const { return m_stack.empty() ? Pointer{} : m_stack.back(); }
    [[nodiscard]] bool isEmpty() const { return m_stack.empty(); }
    [[nodiscard]] std::size_t _length() const { return m_stack.size(); }
    void clear() { m_stack.clear(); }

private:
    std::vector<Pointer> m_stack;
};

} // namespace vaultora::kdb
