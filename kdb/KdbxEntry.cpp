#include "KdbxEntry.h"

#include <algorithm>

#include "KdbxGroup.h"
#include "SecureBytes.h"

namespace vaultora::kdb {

namespace {

void wipe(std::string& text) noexcept {
    // The whole capacity, so that bytes of a longer earlier value go as well.
    secureWipe(text.data(), text.capacity());
}

char foldCase(char character) noexcept {
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a')
                                                : character;
}

bool lessIgnoringCase(const std::string& left, const std::string& right) noexcept {
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end(),
                                        [](char a, char b) {
                                            return static_cast<unsigned char>(foldCase(a)) <
                                                   static_cast<unsigned char>(foldCase(b));
                                        });
}

} // namespace

KdbxEntry::KdbxEntry(ElementName name) : XmlNode(name) {}

KdbxEntry::~KdbxEntry() {
    wipe(m_password);
    for (CustomAttribute& attribute : m_customAttributes) {
        wipe(attribute.value);
    }
}

DatabaseGroup* KdbxEntry::getParent() const {
    return _parent() != nullptr ? _parent()->asGroup() : nullptr;
}

void KdbxEntry::setParent(DatabaseGroup* parent) {
    set_parent(dynamic_cast<KdbxGroup*>(parent));
}

void KdbxEntry::setPassword(const std::string& text) {
    wipe(m_password);
    m_password = text;
}

uint32_t KdbxEntry::getNumberOfCustomAttributes() const {
    return static_cast<uint32_t>(m_customAttributes.size());
}

std::string KdbxEntry::getCustomAttributeName(uint32_t index) const {
    return index < m_customAttributes.size() ? m_customAttributes[index].name : std::string();
}

std::string KdbxEntry::getCustomAttributeValue(uint32_t index) const {
    return index < m_customAttributes.size() ? m_customAttributes[index].value : std::string();
}

void KdbxEntry::postProcess(RandomStream* stream) {
    XmlNode::postProcess(stream);
    std::vector<CustomAttribute> customAttributes;
    sortOutChildren([this, &customAttributes](std::unique_ptr<XmlNode>& child) {
        switch (child->_name().id()) {
        case KnownName::UUID:
            m_uuid = child->takeText();
            child.reset();
            break;
        case KnownName::IconID:
            m_image = iconNumber(child->_text());
            child.reset();
            break;
        case KnownName::Notes:
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
        setCustomAttributes(std::move(customAttributes));
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
    std::string* standard = name == "Notes"      ? &m_comment
                            : name == "Password" ? &m_password
                            : name == "Title"    ? &m_title
                            : name == "URL"      ? &m_url
                            : name == "UserName" ? &m_username
                                                 : nullptr;
    if (standard == &m_password) {
        wipe(m_password);
    }
    if (standard != nullptr) {
        *standard = value->takeText();
    } else {
        customAttributes.push_back({key->takeText(), value->takeText()});
    }
}

void KdbxEntry::setCustomAttributes(std::vector<CustomAttribute> attributes) {
    // A later field of the same name replaces an earlier one: after a stable sort by name,
    // the last of each run of equal names is the latest in the document.
    std::stable_sort(attributes.begin(), attributes.end(),
                     [](const CustomAttribute& left, const CustomAttribute& right) {
                         return left.name < right.name;
                     });
    std::vector<CustomAttribute> latest;
    latest.reserve(attributes.size());
    for (std::size_t index = 0; index < attributes.size(); ++index) {
        if (index + 1 < attributes.size() && attributes[index + 1].name == attributes[index].name) {
            wipe(attributes[index].value);
            continue;
        }
        latest.push_back(std::move(attributes[index]));
    }
    std::stable_sort(latest.begin(), latest.end(),
                     [](const CustomAttribute& left, const CustomAttribute& right) {
                         return lessIgnoringCase(left.value, right.value);
                     });
    m_customAttributes = std::move(latest);
}

std::string KdbxEntry::description() const {
    return "[UUID:" + m_uuid + " title:" + m_title + " \nusername:" + m_username +
           " \npassword:" + m_password + " \nurl:" + m_url + " \ncomment:" + m_comment + "]";
}

} // namespace vaultora::kdb
