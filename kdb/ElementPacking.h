#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "SecureBytes.h"
#include "XmlNode.h"

namespace vaultora::kdb {

class NodeArena;

// The bytes that plain elements are kept in when their parent packs its children (see
// XmlNode::packChildren). An element is written as its name's number in the tree's name table,
// its text, its attributes and its children, each count and length as a variable-length
// number: a leaf with a short text takes four bytes besides the text, where a node takes 72.
//
class ElementPacker {
public:
    ElementPacker() = default;
    ElementPacker(const ElementPacker&) = delete;
    ElementPacker& operator=(const ElementPacker&) = delete;
    ~ElementPacker() { clear(); }

    // Writes the element and everything below it after the bytes so far, and says true; says
    // false, with the bytes as they were, when the subtree holds a group or an entry (which
    // stay nodes) or a name that the table does not hold. No recursion, however deep.
    [[nodiscard]] bool pack(const XmlNode& element, const NameTable& names);
    // Writes the mark of a child that stays a node, at its place among the packed ones.
    void packNodeMark();

    [[nodiscard]] std::string_view bytes() const noexcept {
        return {reinterpret_cast<const char*>(m_bytes.data()), m_bytes.size()};
    }
    // Wipes the bytes, which hold texts of the database, and starts again.
    void clear() noexcept;

private:
    SecureBytes m_bytes;
    // The nodes still to write, kept between calls so that packing allocates nothing once
    // it has packed a few.
    std::vector<const XmlNode*> m_pending;
};

// Makes the packed elements nodes again, in the arena and with the names of the table: one
// node per packed element, in order, and an empty pointer for each mark. Throws
// std::invalid_argument for bytes that packElement did not write.
void unpackElements(std::string_view bytes, NodeArena& arena,
                    std::vector<std::unique_ptr<XmlNode>>& children);

} // namespace vaultora::kdb
