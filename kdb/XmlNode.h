#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ElementName.h"

namespace vaultora::kdb {

class KdbxEntry;
class KdbxGroup;
class NodeArena;
class RandomStream;

struct Attribute {
    std::string_view name;
    std::string_view value;
};

// One XML element. A node owns its children; parent links do not own. Children form a
// circular singly linked list through the nodes themselves (the last child links to the
// first), so a node costs no extra heap block for its child list and appends in constant time.
//
// A node lives in the arena of its tree (see NodeArena) or, when made outside a tree, on the
// heap; its texts and attributes live where it does, and a node only takes children of the
// same storage. Texts are kept at their exact length: the parser gathers an element's text
// and stores it once, when the element closes. A tree releases its arena nodes all at once,
// without running their destructors, so a node taken out of a tree lives no longer than the
// tree.
class XmlNode {
public:
    explicit XmlNode(ElementName name, NodeArena* arena = nullptr);
    virtual ~XmlNode();
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    // Deleting a node gives its storage back to where it came from: the arena or the heap.
    void operator delete(XmlNode* node, std::destroying_delete_t) noexcept;

    class ChildIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = XmlNode*;
        using difference_type = std::ptrdiff_t;
        using pointer = XmlNode* const*;
        using reference = XmlNode* const&;

        ChildIterator() = default;
        ChildIterator(XmlNode* current, const XmlNode* last) : m_current(current), m_last(last) {}
        reference operator*() const { return m_current; }
        ChildIterator& operator++() {
            m_current = m_current == m_last ? nullptr : m_current->m_nextSibling;
            return *this;
        }
        ChildIterator operator++(int) {
            ChildIterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const ChildIterator& other) const { return m_current == other.m_current; }

    private:
        XmlNode* m_current = nullptr;
        const XmlNode* m_last = nullptr;
    };

    // The nodes of a ring: a circular list through the nodes' sibling links, known by its last
    // node (the children of a node, or a group's sub-groups or entries).
    class ChildRange {
    public:
        explicit ChildRange(const XmlNode* last) : m_last(last) {}
        [[nodiscard]] ChildIterator begin() const {
            return {m_last ? m_last->m_nextSibling : nullptr, m_last};
        }
        [[nodiscard]] ChildIterator end() const { return {}; }
        [[nodiscard]] bool empty() const { return m_last == nullptr; }

    private:
        const XmlNode* m_last;
    };

    // Appends the child and makes this node its parent. Throws std::invalid_argument for a
    // child of another storage.
    void addChild(std::unique_ptr<XmlNode> child);
    // Removes the child and clears its parent; nothing happens when it is not a child here.
    std::unique_ptr<XmlNode> removeChild(XmlNode& child);
    // Stores the value under the name, replacing an earlier value of that name.
    void addAttribute(std::string_view name, std::string_view value);
    [[nodiscard]] const std::string_view* attribute(std::string_view name) const;

    // A node whose children were packed (see packChildren) builds them again on this first
    // look, so it must not be looked at from two threads at once before that.
    [[nodiscard]] ChildRange _children() const { return ChildRange(lastChild()); }
    [[nodiscard]] XmlNode* firstChild() const {
        XmlNode* const last = lastChild();
        return last ? last->m_nextSibling : nullptr;
    }
    [[nodiscard]] std::size_t childCount() const;
    [[nodiscard]] std::span<const Attribute> _attributes() const;
    [[nodiscard]] std::string_view _text() const { return m_text; }
    void set_text(std::string_view text);
    void appendText(std::string_view text);
    // Moves the text out, for a parent that keeps it as a field and drops this node. The
    // bytes stay in the node's storage and now belong to the caller, a node of the same
    // storage, which releases them with releaseText.
    [[nodiscard]] std::string_view takeText() noexcept;
    [[nodiscard]] ElementName _name() const { return m_name; }
    void set_name(ElementName name) { m_name = name; }
    [[nodiscard]] XmlNode* _parent() const { return m_parent; }
    void set_parent(XmlNode* parent) { m_parent = parent; }
    [[nodiscard]] NodeArena* arena() const noexcept { return m_arena; }

    [[nodiscard]] virtual KdbxGroup* asGroup() noexcept { return nullptr; }
    [[nodiscard]] virtual KdbxEntry* asEntry() noexcept { return nullptr; }

    // Runs once when the element closes, after all of its children: unmasks a protected
    // value. Groups and entries extend it to take their fields from their children.
    virtual void postProcess(RandomStream* stream);

    // Clears the parent links of this node and of every node below it.
    void breakCyclcReference();

    [[nodiscard]] virtual std::string description() const;

protected:
    enum class Secret : uint8_t { No, Yes };

    // A copy of the text in this node's storage; release it with releaseText.
    [[nodiscard]] std::string_view storeText(std::string_view text);
    // Gives back a text of this node's storage (overwriting it first when it is secret) and
    // empties the view.
    void releaseText(std::string_view& text, Secret secret) noexcept;
    // Raw storage where the node lives, for what a node keeps besides texts.
    [[nodiscard]] void* allocateStorage(std::size_t size, std::size_t alignment);
    void releaseStorage(void* storage, std::size_t size) noexcept;

    // Walks the children in document order and hands each to visit as an owning pointer.
    // A child that visit leaves in the pointer stays, in its place; one that visit moves out
    // is taken over, and one that visit resets is destroyed.
    template <typename Visit> void sortOutChildren(Visit&& visit);

    // Hands every node this one owns over to the caller, so that a subtree is torn down
    // with an explicit work list instead of recursion however deep it is.
    virtual void releaseOwned(std::vector<XmlNode*>& owned);
    // Lists the nodes this one owns, leaving them in place.
    virtual void listOwned(std::vector<XmlNode*>& owned) const;
    // The size of the node's whole object, for the arena to reuse its storage.
    [[nodiscard]] virtual std::size_t storageSize() const noexcept { return sizeof(XmlNode); }

    // Keeps every child that is a plain element all the way down (no group or entry in it)
    // as a few bytes in the node's storage instead of as nodes: a database keeps a dozen such
    // elements per entry (times, colours, auto-type settings), and as nodes they would take
    // most of its memory. Children that are not plain stay nodes, in their places. The packed
    // children become nodes again, as they were, when first looked at. Only nodes of a tree's
    // arena pack, with names of the tree.
    void packChildren();
    [[nodiscard]] bool childrenArePacked() const noexcept { return (m_childLink & kPacked) != 0; }

    // Appends a node to the ring known by last, through the node's sibling link.
    static void appendToRing(XmlNode*& last, XmlNode* node) noexcept;
    // Unlinks the node from the ring; false when it is not in it.
    static bool removeFromRing(XmlNode*& last, XmlNode& node) noexcept;
    // Throws std::invalid_argument unless the node lives in the storage of this one.
    void requireSameStorage(const XmlNode& node) const;

    static void destroyAll(std::vector<XmlNode*>& owned) noexcept;

private:
    struct AttributeList;
    struct PackedChildren;

    static constexpr std::uintptr_t kPacked = 1;

    void appendDetached(XmlNode* child) noexcept;
    // The last child, after unpacking packed children.
    [[nodiscard]] XmlNode* lastChild() const {
        if (childrenArePacked()) {
            unpackChildren();
        }
        return reinterpret_cast<XmlNode*>(m_childLink);
    }
    // The last child of the ring of children that are nodes, without unpacking.
    [[nodiscard]] XmlNode* lastNodeChild() const noexcept;
    [[nodiscard]] PackedChildren* packedChildren() const noexcept {
        return reinterpret_cast<PackedChildren*>(m_childLink & ~kPacked);
    }
    void setLastChild(XmlNode* last) noexcept { m_childLink = reinterpret_cast<std::uintptr_t>(last); }
    void unpackChildren() const;
    void releasePackedChildren() noexcept;

    XmlNode* m_parent = nullptr;
    // The last child of the ring of children, or, with kPacked set, the children packed.
    std::uintptr_t m_childLink = 0;
    XmlNode* m_nextSibling = nullptr;
    ElementName m_name;
    NodeArena* m_arena;
    AttributeList* m_attributes = nullptr;
    std::string_view m_text;
};

template <typename Visit> void XmlNode::sortOutChildren(Visit&& visit) {
    XmlNode* const last = lastChild();
    if (last == nullptr) {
        return;
    }
    XmlNode* current = last->m_nextSibling;
    m_childLink = 0;
    while (current != nullptr) {
        XmlNode* const next = current == last ? nullptr : current->m_nextSibling;
        current->m_nextSibling = nullptr;
        std::unique_ptr<XmlNode> child(current);
        try {
            visit(child);
        } catch (...) {
            // Keep this child and those not yet visited, so they are not lost with the failure.
            if (child) {
                appendDetached(child.release());
            }
            for (XmlNode* rest = next; rest != nullptr;) {
                XmlNode* const following = rest == last ? nullptr : rest->m_nextSibling;
                appendDetached(rest);
                rest = following;
            }
            throw;
        }
        if (child) {
            appendDetached(child.release());
        }
        current = next;
    }
}

// Whether an attribute value reads as true: after leading white space, an optional sign and
// leading zeros, it begins with Y, y, T, t or a digit 1 to 9.
[[nodiscard]] bool attributeIsTrue(std::string_view value) noexcept;

} // namespace vaultora::kdb
