#include "XmlNode.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "Base64.h"
#include "DatabaseError.h"
#include "ElementPacking.h"
#include "NodeArena.h"
#include "RandomStream.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {

bool isSpace(char character) noexcept {
    return character == ' ' || (character >= '\t' && character <= '\r');
}

} // namespace

// The attributes of a node: a header and, right behind it, room for capacity attributes.
struct alignas(alignof(Attribute)) XmlNode::AttributeList {
    uint32_t count;
    uint32_t capacity;

    [[nodiscard]] Attribute* items() noexcept { return reinterpret_cast<Attribute*>(this + 1); }
    [[nodiscard]] static std::size_t bytesFor(uint32_t capacity) noexcept {
        return sizeof(AttributeList) + capacity * sizeof(Attribute);
    }
};

// Packed children in a node's storage: the ring of the children that stayed nodes, then the
// bytes of ElementPacking.
struct alignas(alignof(XmlNode*)) XmlNode::PackedChildren {
    XmlNode* lastNodeChild;
    std::size_t size;

    [[nodiscard]] char* bytes() noexcept { return reinterpret_cast<char*>(this + 1); }
    [[nodiscard]] static std::size_t bytesFor(std::size_t size) noexcept {
        return sizeof(PackedChildren) + size;
    }
};

namespace {

// What packing the children of a node needs, kept from node to node on the parsing thread
// so that packing allocates nothing once it has packed a few.
struct PackingScratch {
    ElementPacker packer;
    std::vector<XmlNode*> packed;
    std::vector<XmlNode*> staying;
};
thread_local PackingScratch t_packing;

// The packer's bytes hold texts of the database.
struct ClearOnExit {
    ElementPacker& packer;
    ~ClearOnExit() { packer.clear(); }
};

} // namespace

XmlNode::XmlNode(ElementName name, NodeArena* arena) : m_name(name), m_arena(arena) {}

XmlNode::~XmlNode() {
    // Only elements with attributes can carry an unmasked value.
    releaseText(m_text, m_attributes != nullptr ? Secret::Yes : Secret::No);
    if (m_attributes != nullptr) {
        for (uint32_t index = 0; index < m_attributes->count; ++index) {
            releaseText(m_attributes->items()[index].name, Secret::No);
            releaseText(m_attributes->items()[index].value, Secret::No);
        }
        releaseStorage(m_attributes, AttributeList::bytesFor(m_attributes->capacity));
    }
    std::vector<XmlNode*> owned;
    XmlNode::releaseOwned(owned);
    destroyAll(owned);
}

void XmlNode::operator delete(XmlNode* node, std::destroying_delete_t) noexcept {
    NodeArena* const arena = node->m_arena;
    const std::size_t size = node->storageSize();
    node->~XmlNode();
    if (arena != nullptr) {
        arena->recycle(node, size);
    } else {
        // Nodes outside an arena come from the global operator new; XmlNode is the first base
        // of every node class, so the node's address is the object's.
        ::operator delete(node);
    }
}

void* XmlNode::allocateStorage(std::size_t size, std::size_t alignment) {
    if (m_arena != nullptr) {
        return m_arena->allocate(size, alignment);
    }
    return ::operator new(size);
}

void XmlNode::releaseStorage(void* storage, std::size_t size) noexcept {
    if (m_arena != nullptr) {
        // Attribute lists of two are the size of a node, so most go to the next node.
        m_arena->recycle(storage, size);
    } else {
        ::operator delete(storage);
    }
}

std::string_view XmlNode::storeText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    if (text.size() > UINT32_MAX) {
        throw std::length_error("text too long");
    }
    auto* const copy = static_cast<char*>(allocateStorage(text.size(), 1));
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

void XmlNode::releaseText(std::string_view& text, Secret secret) noexcept {
    if (text.empty()) {
        text = {};
        return;
    }
    auto* const bytes = const_cast<char*>(text.data());
    if (secret == Secret::Yes) {
        secureWipe(bytes, text.size());
    }
    // In an arena a text stays until the arena goes: texts come in too many sizes to reuse.
    if (m_arena == nullptr) {
        ::operator delete(bytes);
    }
    text = {};
}

void XmlNode::set_text(std::string_view text) {
    const std::string_view stored = storeText(text);
    releaseText(m_text, m_attributes != nullptr ? Secret::Yes : Secret::No);
    m_text = stored;
}

void XmlNode::appendText(std::string_view text) {
    if (text.empty()) {
        return;
    }
    std::string joined;
    joined.reserve(m_text.size() + text.size());
    joined.append(m_text).append(text);
    set_text(joined);
    secureWipe(joined.data(), joined.size());
}

std::string_view XmlNode::takeText() noexcept {
    return std::exchange(m_text, std::string_view());
}

XmlNode* XmlNode::lastNodeChild() const noexcept {
    return childrenArePacked() ? packedChildren()->lastNodeChild
                               : reinterpret_cast<XmlNode*>(m_childLink);
}

void XmlNode::packChildren() {
    XmlNode* const last = reinterpret_cast<XmlNode*>(m_childLink);
    if (m_arena == nullptr || childrenArePacked() || last == nullptr) {
        return;
    }
    PackingScratch& scratch = t_packing;
    scratch.packer.clear();
    const ClearOnExit clear{scratch.packer};
    scratch.packed.clear();
    scratch.staying.clear();
    for (XmlNode* child : ChildRange(last)) {
        if (scratch.packer.pack(*child, m_arena->names())) {
            scratch.packed.push_back(child);
        } else {
            scratch.packer.packNodeMark();
            scratch.staying.push_back(child);
        }
    }
    if (scratch.packed.empty()) {
        return;
    }
    const std::string_view bytes = scratch.packer.bytes();
    auto* const packed = static_cast<PackedChildren*>(
        m_arena->allocate(PackedChildren::bytesFor(bytes.size()), alignof(PackedChildren)));
    packed->size = bytes.size();
    std::memcpy(packed->bytes(), bytes.data(), bytes.size());
    packed->lastNodeChild = nullptr;
    for (XmlNode* child : scratch.staying) {
        appendToRing(packed->lastNodeChild, child);
    }
    m_childLink = reinterpret_cast<std::uintptr_t>(packed) | kPacked;
    for (XmlNode* child : scratch.packed) {
        child->m_parent = nullptr;
        child->m_nextSibling = nullptr;
    }
    destroyAll(scratch.packed);
}

void XmlNode::unpackChildren() const {
    auto* const self = const_cast<XmlNode*>(this);
    PackedChildren* const packed = packedChildren();
    std::vector<std::unique_ptr<XmlNode>> children;
    unpackElements({packed->bytes(), packed->size}, *m_arena, children);

    std::vector<XmlNode*> nodes;
    for (XmlNode* node : ChildRange(packed->lastNodeChild)) {
        nodes.push_back(node);
    }
    XmlNode* last = nullptr;
    std::size_t nextNode = 0;
    for (std::unique_ptr<XmlNode>& child : children) {
        XmlNode* const node = child ? child.release()
                              : nextNode < nodes.size() ? nodes[nextNode++]
                                                        : nullptr;
        if (node != nullptr) {
            node->m_parent = self;
            appendToRing(last, node);
        }
    }
    // Only when the bytes miscount their marks; the nodes are not lost.
    while (nextNode < nodes.size()) {
        appendToRing(last, nodes[nextNode++]);
    }
    secureWipe(packed->bytes(), packed->size);
    self->setLastChild(last);
}

void XmlNode::releasePackedChildren() noexcept {
    if (!childrenArePacked()) {
        return;
    }
    PackedChildren* const packed = packedChildren();
    secureWipe(packed->bytes(), packed->size);
    setLastChild(packed->lastNodeChild);
}

void XmlNode::releaseOwned(std::vector<XmlNode*>& owned) {
    releasePackedChildren();
    XmlNode* const last = reinterpret_cast<XmlNode*>(m_childLink);
    if (last == nullptr) {
        return;
    }
    XmlNode* current = last->m_nextSibling;
    m_childLink = 0;
    while (current != nullptr) {
        XmlNode* const next = current == last ? nullptr : current->m_nextSibling;
        current->m_nextSibling = nullptr;
        current->m_parent = nullptr;
        owned.push_back(current);
        current = next;
    }
}

void XmlNode::listOwned(std::vector<XmlNode*>& owned) const {
    for (XmlNode* child : ChildRange(lastNodeChild())) {
        owned.push_back(child);
    }
}

void XmlNode::destroyAll(std::vector<XmlNode*>& owned) noexcept {
    // Each node gives up what it owns before it is deleted, so no destructor recurses.
    while (!owned.empty()) {
        XmlNode* const node = owned.back();
        owned.pop_back();
        node->releaseOwned(owned);
        delete node;
    }
}

void XmlNode::appendToRing(XmlNode*& last, XmlNode* node) noexcept {
    if (last == nullptr) {
        node->m_nextSibling = node;
    } else {
        node->m_nextSibling = last->m_nextSibling;
        last->m_nextSibling = node;
    }
    last = node;
}

bool XmlNode::removeFromRing(XmlNode*& last, XmlNode& node) noexcept {
    if (last == nullptr) {
        return false;
    }
    XmlNode* previous = last;
    while (previous->m_nextSibling != &node) {
        previous = previous->m_nextSibling;
        if (previous == last) {
            return false;
        }
    }
    if (previous == &node) {
        last = nullptr;
    } else {
        previous->m_nextSibling = node.m_nextSibling;
        if (last == &node) {
            last = previous;
        }
    }
    node.m_nextSibling = nullptr;
    return true;
}

void XmlNode::requireSameStorage(const XmlNode& node) const {
    if (node.m_arena != m_arena) {
        throw std::invalid_argument("a node takes children of its own storage only");
    }
}

void XmlNode::appendDetached(XmlNode* child) noexcept {
    child->m_parent = this;
    XmlNode* last = reinterpret_cast<XmlNode*>(m_childLink);
    appendToRing(last, child);
    setLastChild(last);
}

void XmlNode::addChild(std::unique_ptr<XmlNode> child) {
    if (child) {
        requireSameStorage(*child);
        if (childrenArePacked()) {
            unpackChildren();
        }
        appendDetached(child.release());
    }
}

std::unique_ptr<XmlNode> XmlNode::removeChild(XmlNode& child) {
    if (child.m_parent != this) {
        return nullptr;
    }
    XmlNode* last = lastChild();
    if (!removeFromRing(last, child)) {
        return nullptr;
    }
    setLastChild(last);
    child.m_parent = nullptr;
    return std::unique_ptr<XmlNode>(&child);
}

std::size_t XmlNode::childCount() const {
    std::size_t count = 0;
    for ([[maybe_unused]] XmlNode* child : _children()) {
        ++count;
    }
    return count;
}

void XmlNode::addAttribute(std::string_view name, std::string_view value) {
    if (m_attributes != nullptr) {
        for (uint32_t index = 0; index < m_attributes->count; ++index) {
            Attribute& attribute = m_attributes->items()[index];
            if (attribute.name == name) {
                const std::string_view stored = storeText(value);
                releaseText(attribute.value, Secret::No);
                attribute.value = stored;
                return;
            }
        }
    }
    if (m_attributes == nullptr || m_attributes->count == m_attributes->capacity) {
        const uint32_t capacity = m_attributes == nullptr ? 2 : 2 * m_attributes->capacity;
        auto* const grown = static_cast<AttributeList*>(
            allocateStorage(AttributeList::bytesFor(capacity), alignof(Attribute)));
        grown->count = 0;
        grown->capacity = capacity;
        if (m_attributes != nullptr) {
            std::memcpy(static_cast<void*>(grown->items()), m_attributes->items(),
                        m_attributes->count * sizeof(Attribute));
            grown->count = m_attributes->count;
            releaseStorage(m_attributes, AttributeList::bytesFor(m_attributes->capacity));
        }
        m_attributes = grown;
    }
    std::string_view storedName = storeText(name);
    std::string_view storedValue;
    try {
        storedValue = storeText(value);
    } catch (...) {
        releaseText(storedName, Secret::No);
        throw;
    }
    m_attributes->items()[m_attributes->count++] = {storedName, storedValue};
}

const std::string_view* XmlNode::attribute(std::string_view name) const {
    if (m_attributes != nullptr) {
        for (uint32_t index = 0; index < m_attributes->count; ++index) {
            const Attribute& attribute = m_attributes->items()[index];
            if (attribute.name == name) {
                return &attribute.value;
            }
        }
    }
    return nullptr;
}

std::span<const Attribute> XmlNode::_attributes() const {
    if (m_attributes == nullptr) {
        return {};
    }
    return {m_attributes->items(), m_attributes->count};
}

void XmlNode::postProcess(RandomStream* stream) {
    const std::string_view* protectedFlag = attribute("Protected");
    if (protectedFlag == nullptr || !attributeIsTrue(*protectedFlag)) {
        return;
    }
    const std::vector<uint8_t> masked = Base64::decode(m_text);
    if (masked.empty()) {
        // Nothing to unmask: the text is not Base64 of any bytes, and no key stream is used.
        releaseText(m_text, Secret::No);
        return;
    }
    if (stream == nullptr) {
        throw DatabaseError("AppError", "MissingRandomStream");
    }
    std::string plain = stream->xorBytes(masked.data(), masked.size());
    // The plain value is never longer than its Base64 text, so it takes the text's place.
    if (plain.empty()) {
        releaseText(m_text, Secret::No);
    } else if (plain.size() <= m_text.size()) {
        auto* const bytes = const_cast<char*>(m_text.data());
        std::memcpy(bytes, plain.data(), plain.size());
        secureWipe(bytes + plain.size(), m_text.size() - plain.size());
        m_text = std::string_view(bytes, plain.size());
    } else {
        set_text(plain);
    }
    secureWipe(plain.data(), plain.capacity());
}

void XmlNode::breakCyclcReference() {
    // Walks with an explicit work list: documents may nest deeper than the call stack allows.
    std::vector<XmlNode*> pending{this};
    while (!pending.empty()) {
        XmlNode* const node = pending.back();
        pending.pop_back();
        node->m_parent = nullptr;
        node->listOwned(pending);
    }
}

std::string XmlNode::description() const {
    std::string text = "<" + m_name.text() + ">";
    text.append(m_text);
    return text + "<" + m_name.text() + "/>";
}

bool attributeIsTrue(std::string_view value) noexcept {
    std::size_t position = 0;
    while (position < value.size() && isSpace(value[position])) {
        ++position;
    }
    if (position < value.size() && (value[position] == '+' || value[position] == '-')) {
        ++position;
    }
    while (position < value.size() && value[position] == '0') {
        ++position;
    }
    if (position == value.size()) {
        return false;
    }
    const char first = value[position];
    return first == 'Y' || first == 'y' || first == 'T' || first == 't' ||
           (first >= '1' && first <= '9');
}

} // namespace vaultora::kdb
