// A version-1 tree whose groups nest one inside the other, and a thread with a small stack to
// walk it on: a walk that recursed once per level would overflow that stack at once.
#pragma once

#include "kdb/KeePass1Entry.h"
#include "kdb/KeePass1Group.h"

#include <pthread.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace vaultora::kdb::testing {

// depth groups below the returned root; the deepest holds one entry named entryName.
inline std::unique_ptr<KeePass1Group> deepGroupChain(int depth, const std::string& entryName) {
    auto root = std::make_unique<KeePass1Group>();
    root->setGroupName("root");
    KeePass1Group* parent = root.get();
    for (int level = 0; level < depth; ++level) {
        auto child = std::make_unique<KeePass1Group>();
        child->setGroupName("level");
        KeePass1Group* next = child.get();
        parent->addSubGroup(std::move(child));
        parent = next;
    }
    auto entry = KeePass1Entry::initWithNewUUID();
    entry->setEntryName(entryName);
    parent->addEntry(std::move(entry));
    return root;
}

// Runs work on a new thread with a 256 KiB stack and waits for it.
inline void runOnSmallStack(const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    auto* job = new std::function<void()>(work);
    const int created = pthread_create(
        &thread, &attributes,
        [](void* argument) -> void* {
            std::unique_ptr<std::function<void()>> owned(
                static_cast<std::function<void()>*>(argument));
            (*owned)();
            return nullptr;
        },
        job);
    pthread_attr_destroy(&attributes);
    if (created != 0) {
        delete job;
        throw std::runtime_error("cannot start a thread");
    }
    pthread_join(thread, nullptr);
}

} // namespace vaultora::kdb::testing
