#include "KdbxTree.h"

#include "KdbxGroup.h"

namespace vaultora::kdb {

DatabaseGroup* KdbxTree::getRoot() const {
    if (_root() == nullptr) {
        return nullptr;
    }
    for (XmlNode* child : _root()->_children()) {
        if (child->_name().id() == KnownName::Root) {
            return child->asGroup();
        }
    }
    return nullptr;
}

bool KdbxTree::isRecycleBin(const DatabaseGroup& group) const {
    const auto* kdbxGroup = dynamic_cast<const KdbxGroup*>(&group);
    if (kdbxGroup == nullptr || kdbxGroup->_uuid().empty()) {
        return false;
    }
    const std::optional<std::string_view> recycleBin = getMetaInfo("RecycleBinUUID");
    return recycleBin && *recycleBin == kdbxGroup->_uuid();
}

std::optional<std::string_view> KdbxTree::getMetaInfo(std::string_view name) const {
    XmlNode* const meta = _root() != nullptr ? _root()->firstChild() : nullptr;
    if (meta == nullptr || meta->_name().id() != KnownName::Meta) {
        return std::nullopt;
    }
    for (XmlNode* child : meta->_children()) {
        if (child->_name().text() == name) {
            return child->_text();
        }
    }
    return std::nullopt;
}

} // namespace vaultora::kdb
