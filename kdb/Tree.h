#pragma once

#include <memory>

#include "Node.h"

namespace kdb {

// Owns the node of the document element and the names its nodes use.
class Tree {
public:
    Tree() = default;
    virtual ~Tree() = default;
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    [[nodiscard]] Node* _root() const { return m_root.get(); }
    void set_root(std::unique_ptr<Node> root) { m_root = std::move(root); }
    [[nodiscard]] NameTable& names() { return m_names; }

private:
    // Declared before the root so that the nodes go before the names they point to.
    NameTable m_names;
    std::unique_ptr<Node> m_root;
};

} // namespace kdb
