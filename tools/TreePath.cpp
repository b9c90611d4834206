#include "TreePath.h"

namespace vaultora::cli {

std::vector<std::string> splitPath(std::string_view path) {
    std::vector<std::string> names;
    std::string current;
    bool escaped = false;
    for (const char character : path) {
        if (escaped) {
            current.push_back(character);
            escaped = false;
        } else if (character == '\\') {
            escaped = true;
        } else if (character == '/') {
            if (!current.empty()) {
                names.push_back(std::move(current));
            }
            current.clear();
        } else {
            current.push_back(character);
        }
    }
    if (escaped) {
        current.push_back('\\');
    }
    if (!current.empty()) {
        names.push_back(std::move(current));
    }
    return names;
}

std::string escapePathName(std::string_view name) {
    std::string escaped;
    for (const char character : name) {
        if (character == '/' || character == '\\') {
            escaped.push_back('\\');
        }
        escaped.push_back(character);
    }
    return escaped;
}

kdb::DatabaseGroup* findGroup(kdb::DatabaseGroup& root, const std::vector<std::string>& names) {
    kdb::DatabaseGroup* group = &root;
    for (const std::string& name : names) {
        kdb::DatabaseGroup* next = nullptr;
        for (kdb::DatabaseGroup* child : group->getSubGroups()) {
            if (child->getGroupName() == name) {
                next = child;
                break;
            }
        }
        if (next == nullptr) {
            return nullptr;
        }
        group = next;
    }
    return group;
}

kdb::DatabaseEntry* findEntry(kdb::DatabaseGroup& root, const std::vector<std::string>& names) {
    if (names.empty()) {
        return nullptr;
    }
    kdb::DatabaseGroup* group = findGroup(root, {names.begin(), names.end() - 1});
    if (group == nullptr) {
        return nullptr;
    }
    for (kdb::DatabaseEntry* entry : group->getEntries()) {
        if (entry->getEntryName() == names.back()) {
            return entry;
        }
    }
    return nullptr;
}

std::string groupPathPrefix(const kdb::DatabaseGroup& group) {
    std::string path;
    for (const kdb::DatabaseGroup* current = &group; current->getParent() != nullptr;
         current = current->getParent()) {
        path = escapePathName(current->getGroupName()) + "/" + path;
    }
    return path;
}

} // namespace vaultora::cli
