#include "Kdb4Tree.h"

#include "Kdb4Group.h"

namespace kdb {

KdbGroup* Kdb4Tree::getRoot() const {
    if (_root() == nullptr) {
        return nullptr;
    }
    for (Node* child : _root()->_children()) {
        if (child->_name().id() == KnownName::Root) {
            return child->asGroup();
        }
    }
    return nullptr;
}

bool Kdb4Tree::isRecycleBin(const KdbGroup& group) const {
    const auto* kdb4Group = dynamic_cast<const Kdb4Group*>(&group);
    if (kdb4Group == nullptr || kdb4Group->_uuid().empty()) {
        return false;
    }
    const std::optional<std::string_view> recycleBin = getMetaInfo("RecycleBinUUID");
    return recycleBin && *recycleBin == kdb4Group->_uuid();
}

std::optional<std::string_view> Kdb4Tree::getMetaInfo(std::string_view name) const {
    Node* const meta = _root() != nullptr ? _root()->firstChild() : nullptr;
    if (meta == nullptr || meta->_name().id() != KnownName::Meta) {
        return std::nullopt;
    }
    for (Node* child : meta->_children()) {
        if (child->_name().text() == name) {
            return child->_text();
        }
    }
    return std::nullopt;
}

} // namespace kdb
