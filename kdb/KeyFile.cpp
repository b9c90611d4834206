#include "KeyFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include "Base64.h"
#include "DatabaseError.h"
#include "Sha256.h"

namespace vaultora::kdb {

namespace {

[[noreturn]] void invalidKeyFile(const char* reason) {
    throw DatabaseError("InvalidKeyFile", reason);
}

int hexDigit(unsigned char character) noexcept {
    if (character >= '0' && character <= '9') {
        return character - '0';
    }
    if (character >= 'a' && character <= 'f') {
        return character - 'a' + 10;
    }
    if (character >= 'A' && character <= 'F') {
        return character - 'A' + 10;
    }
    return -1;
}

// The bytes of an even number of hexadecimal digits, or nothing.
std::optional<SecureBytes> decodeHex(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    SecureBytes bytes(text.size() / 2);
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        const int high = hexDigit(static_cast<unsigned char>(text[2 * index]));
        const int low = hexDigit(static_cast<unsigned char>(text[2 * index + 1]));
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes[index] = static_cast<unsigned char>(high * 16 + low);
    }
    return bytes;
}

// The key rules every version shares: 32 bytes as they are, 64 hexadecimal characters
// decoded, anything else hashed whole.
SecureBytes keyFromBytes(const SecureBytes& contents) {
    if (contents.size() == 32) {
        return contents;
    }
    if (contents.size() == 64) {
        const std::string_view text(reinterpret_cast<const char*>(contents.data()), 64);
        if (std::optional<SecureBytes> decoded = decodeHex(text)) {
            return *std::move(decoded);
        }
    }
    SecureBytes key(32);
    sha256(contents.data(), contents.size(), key.data());
    return key;
}

struct DocumentFree {
    void operator()(xmlDoc* document) const noexcept { xmlFreeDoc(document); }
};

struct XmlTextFree {
    void operator()(xmlChar* text) const noexcept { xmlFree(text); }
};

bool named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

const xmlNode* childNamed(const xmlNode* parent, const char* name) {
    for (const xmlNode* child = parent->children; child != nullptr; child = child->next) {
        if (named(child, name)) {
            return child;
        }
    }
    return nullptr;
}

// The text of an element with every white-space character removed; it holds key material,
// so the copy is wiped.
SecureBytes compactText(const xmlNode* node) {
    const std::unique_ptr<xmlChar, XmlTextFree> content(xmlNodeGetContent(node));
    SecureBytes text;
    if (content) {
        const std::size_t length = std::strlen(reinterpret_cast<const char*>(content.get()));
        for (std::size_t index = 0; index < length; ++index) {
            if (!std::isspace(content.get()[index])) {
                text.push_back(content.get()[index]);
            }
        }
        secureWipe(content.get(), length);
    }
    return text;
}

std::string attribute(const xmlNode* node, const char* name) {
    const std::unique_ptr<xmlChar, XmlTextFree> value(
        xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)));
    return value ? std::string(reinterpret_cast<const char*>(value.get())) : std::string();
}

// Only content whose first character (after a byte order mark and white space) opens markup
// is given to the XML parser, so that a large binary key file is hashed without a parse.
bool looksLikeXml(const SecureBytes& contents) {
    std::size_t position = 0;
    if (contents.size() >= 3 && contents[0] == 0xEF && contents[1] == 0xBB && contents[2] == 0xBF) {
        position = 3;
    }
    while (position < contents.size() && std::isspace(contents[position])) {
        ++position;
    }
    return position < contents.size() && contents[position] == '<';
}

// The key of an XML key file, or nothing when the content is not such a file.
std::optional<SecureBytes> keyFromXml(const SecureBytes& contents) {
    if (!looksLikeXml(contents) || contents.size() > 1024 * 1024) {
        return std::nullopt;
    }
    xmlInitParser();
    const std::unique_ptr<xmlDoc, DocumentFree> document(xmlReadMemory(
        reinterpret_cast<const char*>(contents.data()), static_cast<int>(contents.size()), nullptr,
        nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
    if (root == nullptr || !named(root, "KeyFile")) {
        return std::nullopt;
    }
    // Key files have no document type declaration; one that declares entities could make
    // reading the text of an element expand them without bound, so such a file is hashed
    // like any other.
    if (document->intSubset != nullptr || document->extSubset != nullptr) {
        return std::nullopt;
    }
    const xmlNode* meta = childNamed(root, "Meta");
    const xmlNode* version = meta != nullptr ? childNamed(meta, "Version") : nullptr;
    const xmlNode* key = childNamed(root, "Key");
    const xmlNode* data = key != nullptr ? childNamed(key, "Data") : nullptr;
    if (version == nullptr || data == nullptr) {
        invalidKeyFile("InvalidKeyFileStructure");
    }
    const SecureBytes versionText = compactText(version);
    const std::string_view versionView(reinterpret_cast<const char*>(versionText.data()),
                                       versionText.size());
    const std::string_view major = versionView.substr(0, versionView.find('.'));
    const SecureBytes text = compactText(data);
    const std::string_view textView(reinterpret_cast<const char*>(text.data()), text.size());

    if (major == "1") {
        std::vector<uint8_t> decoded = Base64::decode(textView);
        SecureBytes keyBytes(decoded.begin(), decoded.end());
        secureWipe(decoded.data(), decoded.size());
        if (keyBytes.empty()) {
            invalidKeyFile("InvalidKeyFileData");
        }
        return keyBytes;
    }
    if (major == "2") {
        std::optional<SecureBytes> keyBytes = decodeHex(textView);
        if (!keyBytes || keyBytes->empty()) {
            invalidKeyFile("InvalidKeyFileData");
        }
        // The Hash attribute is the first four bytes of the key's SHA-256, in hexadecimal.
        const std::string statedHash = attribute(data, "Hash");
        if (!statedHash.empty()) {
            const std::optional<SecureBytes> stated = decodeHex(statedHash);
            Sha256Digest actual{};
            sha256(keyBytes->data(), keyBytes->size(), actual.data());
            if (!stated || stated->size() != 4 ||
                !std::equal(stated->begin(), stated->end(), actual.begin())) {
                invalidKeyFile("KeyFileHashMismatch");
            }
        }
        return keyBytes;
    }
    invalidKeyFile("UnsupportedKeyFileVersion");
}

} // namespace

SecureBytes KeyFile::keyForVersion2(const SecureBytes& contents) {
    if (std::optional<SecureBytes> key = keyFromXml(contents)) {
        return *std::move(key);
    }
    return keyFromBytes(contents);
}

SecureBytes KeyFile::keyForVersion1(const SecureBytes& contents) {
    return keyFromBytes(contents);
}

} // namespace vaultora::kdb
