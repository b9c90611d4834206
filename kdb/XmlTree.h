#pragma once

#include <memory>

#include "XmlNode.h"

namespace vaultora::kdb {

// Owns the node of the document element and the names its nodes use.
class XmlTree {
public:
    XmlTree() = default;
    virtual ~XmlTree() = default;
    XmlTree(const XmlTree&) = delete;
    XmlTree& operator=(const XmlTree&) = delete;

    [[nodiscard]] XmlNode* _root() const { return m_root.get(); }
    void set_root(std::unique_ptr<XmlNode> root) { m_root = std::move(root); }
    [[nodiscard]] NameTable& names() { return m_names; }

private:
    // Declared before the root so that the nodes go before the names they point to.
    NameTable m_names;
    std::unique_ptr<XmlNode> m_root;
};

} // namespace vaultora::kdb
