#pragma once

#include <memory>

#include "NodeArena.h"
#include "XmlNode.h"

namespace vaultora::kdb {

// Owns the arena that holds the nodes of a document and the names they use, and the node of
// the document element. The nodes are released with the arena, all at once: no node is
// visited when the tree goes, however many there are or however deep they nest.
class XmlTree {
public:
    XmlTree() = default;
    virtual ~XmlTree() = default;
    XmlTree(const XmlTree&) = delete;
    XmlTree& operator=(const XmlTree&) = delete;

    [[nodiscard]] XmlNode* _root() const { return m_root; }
    // The root must live in this tree's arena (std::invalid_argument otherwise).
    void set_root(std::unique_ptr<XmlNode> root);
    [[nodiscard]] NameTable& names() { return m_arena.names(); }
    [[nodiscard]] NodeArena& arena() { return m_arena; }

private:
    // Declared first: the arena goes last, after everything that points into it.
    NodeArena m_arena;
    // Not owned by a pointer that would delete it: the arena holds it.
    XmlNode* m_root = nullptr;
};

inline void XmlTree::set_root(std::unique_ptr<XmlNode> root) {
    if (root && root->arena() != &m_arena) {
        throw std::invalid_argument("the root of a tree lives in the tree's arena");
    }
    m_root = root.release();
}

} // namespace vaultora::kdb
