#include "XmlNode.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "Base64.h"
#include "DatabaseError.h"
#include "RandomStream.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {

const std::array<ElementName::Record, 12>& knownRecords() {
    static const std::array<ElementName::Record, 12> records{{
        {"", KnownName::Other},
        {"Root", KnownName::Root},
        {"Group", KnownName::Group},
        {"Entry", KnownName::Entry},
        {"Meta", KnownName::Meta},
        {"UUID", KnownName::UUID},
        {"Name", KnownName::Name},
        {"IconID", KnownName::IconID},
        {"Notes", KnownName::Notes},
        {"String", KnownName::String},
        {"Key", KnownName::Key},
        {"Value", KnownName::Value},
    }};
    return records;
}

bool isSpace(char character) noexcept {
    return character == ' ' || (character >= '\t' && character <= '\r');
}

} // namespace

ElementName ElementName::known(KnownName id) noexcept {
    return ElementName(&knownRecords()[static_cast<std::size_t>(id)]);
}

ElementName NameTable::intern(std::string_view text) {
    for (const ElementName::Record& record : knownRecords()) {
        if (record.id != KnownName::Other && record.text == text) {
            return ElementName(&record);
        }
    }
    if (auto found = m_index.find(text); found != m_index.end()) {
        return ElementName(found->second);
    }
    m_records.push_back({std::string(text), KnownName::Other});
    const ElementName::Record& record = m_records.back();
    m_index.emplace(record.text, &record);
    return ElementName(&record);
}

XmlNode::XmlNode(ElementName name) : m_name(name) {}

XmlNode::~XmlNode() {
    // Only elements with attributes can carry an unmasked value; whatever of it is left in
    // the text buffer (a short text moved out leaves its bytes behind) goes with the node.
    if (m_attributes) {
        m_text.wipe();
    }
    std::vector<XmlNode*> owned;
    XmlNode::releaseOwned(owned);
    destroyAll(owned);
}

void XmlNode::releaseOwned(std::vector<XmlNode*>& owned) {
    XmlNode* const last = m_lastChild;
    if (last == nullptr) {
        return;
    }
    XmlNode* current = last->m_nextSibling;
    m_lastChild = nullptr;
    while (current != nullptr) {
        XmlNode* const next = current == last ? nullptr : current->m_nextSibling;
        current->m_nextSibling = nullptr;
        current->m_parent = nullptr;
        owned.push_back(current);
        current = next;
    }
}

void XmlNode::listOwned(std::vector<XmlNode*>& owned) const {
    for (XmlNode* child : _children()) {
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

void XmlNode::appendDetached(XmlNode* child) noexcept {
    child->m_parent = this;
    if (m_lastChild == nullptr) {
        child->m_nextSibling = child;
    } else {
        child->m_nextSibling = m_lastChild->m_nextSibling;
        m_lastChild->m_nextSibling = child;
    }
    m_lastChild = child;
}

void XmlNode::addChild(std::unique_ptr<XmlNode> child) {
    if (child) {
        appendDetached(child.release());
    }
}

std::unique_ptr<XmlNode> XmlNode::removeChild(XmlNode& child) {
    if (m_lastChild == nullptr || child.m_parent != this) {
        return nullptr;
    }
    XmlNode* previous = m_lastChild;
    while (previous->m_nextSibling != &child) {
        previous = previous->m_nextSibling;
        if (previous == m_lastChild) {
            return nullptr;
        }
    }
    if (previous == &child) {
        m_lastChild = nullptr;
    } else {
        previous->m_nextSibling = child.m_nextSibling;
        if (m_lastChild == &child) {
            m_lastChild = previous;
        }
    }
    child.m_nextSibling = nullptr;
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

NodeText::HeapBlock NodeText::heap() const noexcept {
    HeapBlock block;
    std::memcpy(&block, m_bytes, sizeof block);
    return block;
}

void NodeText::setHeap(const HeapBlock& block) noexcept {
    std::memcpy(m_bytes, &block, sizeof block);
    m_bytes[kTagOffset] = kOnHeap;
}

std::string_view NodeText::view() const noexcept {
    if (onHeap()) {
        const HeapBlock block = heap();
        return {block.data, block.size};
    }
    return {reinterpret_cast<const char*>(m_bytes), m_bytes[kTagOffset]};
}

void NodeText::append(std::string_view text) {
    if (text.empty()) {
        return;
    }
    const std::string_view current = view();
    const std::size_t size = current.size() + text.size();
    if (size > UINT32_MAX) {
        throw std::length_error("text too long");
    }
    if (!onHeap() && size <= kInlineCapacity) {
        std::memcpy(m_bytes + current.size(), text.data(), text.size());
        m_bytes[kTagOffset] = static_cast<unsigned char>(size);
        return;
    }
    HeapBlock block = onHeap() ? heap() : HeapBlock{nullptr, 0, 0};
    if (size > block.capacity) {
        // The first block fits the text exactly, since most texts arrive in one piece; later
        // growth doubles so that text split over many pieces costs linear time.
        const std::size_t capacity =
            current.empty() ? size
                            : std::min<std::size_t>(std::max(size, 2 * current.size()), UINT32_MAX);
        char* data = new char[capacity];
        std::memcpy(data, current.data(), current.size());
        secureWipe(const_cast<char*>(current.data()), current.size());
        release();
        block = {data, static_cast<uint32_t>(current.size()), static_cast<uint32_t>(capacity)};
    }
    std::memcpy(block.data + block.size, text.data(), text.size());
    block.size = static_cast<uint32_t>(size);
    setHeap(block);
}

void NodeText::assign(std::string_view text) {
    clear();
    append(text);
}

void NodeText::clear() noexcept {
    release();
    m_bytes[kTagOffset] = 0;
}

void NodeText::wipe() noexcept {
    if (onHeap()) {
        const HeapBlock block = heap();
        secureWipe(block.data, block.capacity);
    } else {
        secureWipe(m_bytes, kInlineCapacity);
    }
}

void NodeText::release() noexcept {
    if (onHeap()) {
        delete[] heap().data;
        m_bytes[kTagOffset] = 0;
    }
}

std::string XmlNode::takeText() {
    std::string text(m_text.view());
    m_text.wipe();
    m_text.clear();
    return text;
}

void XmlNode::releaseLayoutWhitespace() noexcept {
    for (const char character : m_text.view()) {
        if (!isSpace(character)) {
            return;
        }
    }
    m_text.clear();
}

void XmlNode::addAttribute(std::string name, std::string value) {
    if (!m_attributes) {
        m_attributes = std::make_unique<std::vector<Attribute>>();
        m_attributes->reserve(2);
    }
    for (Attribute& attribute : *m_attributes) {
        if (attribute.name == name) {
            attribute.value = std::move(value);
            return;
        }
    }
    m_attributes->push_back({std::move(name), std::move(value)});
}

const std::string* XmlNode::attribute(std::string_view name) const {
    if (m_attributes) {
        for (const Attribute& attribute : *m_attributes) {
            if (attribute.name == name) {
                return &attribute.value;
            }
        }
    }
    return nullptr;
}

const std::vector<Attribute>& XmlNode::_attributes() const {
    static const std::vector<Attribute> none;
    return m_attributes ? *m_attributes : none;
}

void XmlNode::postProcess(RandomStream* stream) {
    const std::string* protectedFlag = attribute("Protected");
    if (protectedFlag == nullptr || !attributeIsTrue(*protectedFlag)) {
        return;
    }
    const std::vector<uint8_t> masked = Base64::decode(m_text.view());
    if (masked.empty()) {
        // Nothing to unmask: the text is not Base64 of any bytes, and no key stream is used.
        m_text.clear();
        return;
    }
    if (stream == nullptr) {
        throw DatabaseError("AppError", "MissingRandomStream");
    }
    std::string plain = stream->xorBytes(masked.data(), masked.size());
    m_text.assign(plain);
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
    text.append(m_text.view());
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
