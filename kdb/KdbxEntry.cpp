#include "KdbxEntry.h"

#include <algorithm>
#include <memory>

#include "KdbxGroup.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {

char foldCase(char character) noexcept {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                : character;
}

bool lessIgnoringCase(std::string_view left, std::string_view right) noexcept {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) {
                                            return static_cast<unsigned char>(foldCase(a)) <
                                                   static_cast<unsigned char>(foldCase(b));
                                        });
}

} // namespace

KdbxEntry::KdbxEntry(ElementName name, NodeArena* arena) : XmlNode(name, arena) {}

KdbxEntry::~KdbxEntry() {
    releaseText(m_uuid, Secret::No);
    releaseText(m_title, Secret::No);
    releaseText(m_username, Secret::No);
    releaseText(m_password, Secret::Yes);
    releaseText(m_url, Secret::No);
    releaseText(m_comment, Secret::No);
    releaseCustomAttributes();
}

DatabaseGroup* KdbxEntry::getParent() const {
    return _parent() != nullptr ? _parent()->asGroup() : nullptr;
}

void KdbxEntry::setParent(DatabaseGroup* parent) {
    set_parent(dynamic_cast<KdbxGroup*>(parent));
}

void KdbxEntry::replaceText(std::string_view& field, std::string_view text, Secret secret) {
    const std::string_view stored = storeText(text);
    releaseText(field, secret);
    field = stored;
}

void KdbxEntry::setEntryName(std::string_view text) {
    replaceText(m_title, text, Secret::No);
}

void KdbxEntry::setUserName(std::string_view text) {
    replaceText(m_username, text, Secret::No);
}

void KdbxEntry::setPassword(std::string_view text) {
    replaceText(m_password, text, Secret::Yes);
}

void KdbxEntry::setURL(std::string_view text) {
    replaceText(m_url, text, Secret::No);
}

void KdbxEntry::setComments(std::string_view text) {
    replaceText(m_comment, text, Secret::No);
}

void KdbxEntry::set_uuid(std::string_view uuid) {
    replaceText(m_uuid, uuid, Secret::No);
}

uint32_t KdbxEntry::getNumberOfCustomAttributes() const {
    return m_customAttributeCount;
}

std::string_view KdbxEntry::getCustomAttributeName(uint32_t index) const {
    return index < m_customAttributeCount ? m_customAttributes[index].name : std::string_view();
}

std::string_view KdbxEntry::getCustomAttributeValue(uint32_t index) const {
    return index < m_customAttributeCount ? m_customAttributes[index].value : std::string_view();
}

void KdbxEntry::postProcess(RandomStream* stream) {
    XmlNode::postProcess(stream);
    std::vector<CustomAttribute> customAttributes;
    try {
        sortOutChildren([this, &customAttributes](std::unique_ptr<XmlNode>& child) {
            switch (child->_name().id()) {
            case KnownName::UUID:
                releaseText(m_uuid, Secret::No);
                m_uuid = child->takeText();
                child.reset();
                break;
            case KnownName::IconID:
                m_image = iconNumber(child->_text());
                child.reset();
                break;
            case KnownName::Notes:
                releaseText(m_comment, Secret::No);
                m_comment = child->takeText();
                child.reset();
                break;
            case KnownName::String:
                processString(*child, customAttributes);
                child.reset();
                break;
            default:
                break;
            }
        });
        if (!customAttributes.empty()) {
            setCustomAttributes(customAttributes);
        }
        packChildren();
    } catch (...) {
        for (CustomAttribute& attribute : customAttributes) {
            releaseText(attribute.name, Secret::No);
            releaseText(attribute.value, Secret::Yes);
        }
        throw;
    }
}

void KdbxEntry::processString(XmlNode& field, std::vector<CustomAttribute>& customAttributes) {
    XmlNode* key = nullptr;
    XmlNode* value = nullptr;
    for (XmlNode* child : field._children()) {
        if (child->_name().id() == KnownName::Key) {
            key = child;
        } else if (child->_name().id() == KnownName::Value) {
            value = child;
        }
    }
    // A field without a name or without a value says nothing; it is left out.
    if (key == nullptr || value == nullptr) {
        return;
    }
    const std::string_view name = key->_text();
    std::string_view* standard = name == "Notes"      ? &m_comment
                                 : name == "Password" ? &m_password
                                 : name == "Title"    ? &m_title
                                 : name == "URL"      ? &m_url
                                 : name == "UserName" ? &m_username
                                                      : nullptr;
    if (standard != nullptr) {
        releaseText(*standard, standard == &m_password ? Secret::Yes : Secret::No);
        *standard = value->takeText();
    } else {
        customAttributes.reserve(customAttributes.size() + 1);
        customAttributes.push_back({key->takeText(), value->takeText()});
    }
}

void KdbxEntry::setCustomAttributes(std::vector<CustomAttribute>& attributes) {
    // A later field of the same name replaces an earlier one: after a stable sort by name,
    // the last of each run of equal names is the latest in the document.
    std::stable_sort(attributes.begin(), attributes.end(),
                     [](const CustomAttribute& left, const CustomAttribute& right) {
                         return left.name < right.name;
                     });
    std::size_t kept = 0;
    for (std::size_t index = 0; index < attributes.size(); ++index) {
        if (index + 1 < attributes.size() && attributes[index + 1].name == attributes[index].name) {
            releaseText(attributes[index].name, Secret::No);
            releaseText(attributes[index].value, Secret::Yes);
            continue;
        }
        attributes[kept++] = attributes[index];
    }
    attributes.resize(kept);
    std::stable_sort(attributes.begin(), attributes.end(),
                     [](const CustomAttribute& left, const CustomAttribute& right) {
                         return lessIgnoringCase(left.value, right.value);
                     });
    auto* const stored = static_cast<CustomAttribute*>(
        allocateStorage(kept * sizeof(CustomAttribute), alignof(CustomAttribute)));
    std::uninitialized_copy(attributes.begin(), attributes.end(), stored);
    releaseCustomAttributes();
    m_customAttributes = stored;
    m_customAttributeCount = static_cast<uint32_t>(kept);
    // The texts belong to the entry now.
    attributes.clear();
}

void KdbxEntry::releaseCustomAttributes() noexcept {
    for (uint32_t index = 0; index < m_customAttributeCount; ++index) {
        releaseText(m_customAttributes[index].name, Secret::No);
        releaseText(m_customAttributes[index].value, Secret::Yes);
    }
    if (m_customAttributes != nullptr) {
        releaseStorage(m_customAttributes, m_customAttributeCount * sizeof(CustomAttribute));
    }
    m_customAttributes = nullptr;
    m_customAttributeCount = 0;
}

std::string KdbxEntry::description() const {
    std::string text = "[UUID:";
    text.append(m_uuid).append(" title:").append(m_title).append(" \nusername:");
    text.append(m_username).append(" \npassword:").append(m_password).append(" \nurl:");
    return text.append(m_url).append(" \ncomment:").append(m_comment).append("]");
}

} // namespace vaultora::kdb
