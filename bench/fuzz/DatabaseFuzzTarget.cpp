// libFuzzer entry point: the format detector with both readers behind it. The shapes of the
// inputs, and how the rounds a file asks for are capped, are described in FuzzInput.h.
#include "kdb/DatabaseError.h"
#include "kdb/DatabaseModel.h"
#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"
#include "tests/kdb/support/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// Reads every text the model holds, so that a model left inconsistent by a load shows. The
// walk keeps its own stack: files may nest groups far deeper than a call stack allows.
std::size_t visit(const vaultora::kdb::DatabaseGroup& root) {
    std::size_t length = 0;
    std::vector<const vaultora::kdb::DatabaseGroup*> pending{&root};
    while (!pending.empty()) {
        const vaultora::kdb::DatabaseGroup* group = pending.back();
        pending.pop_back();
        length += group->getGroupName().size();
        for (const vaultora::kdb::DatabaseEntry* entry : group->getEntries()) {
            length += entry->getEntryName().size() + entry->getUserName().size() +
                      entry->getPassword().size() + entry->getURL().size() +
                      entry->getComments().size();
            for (uint32_t index = 0; index < entry->getNumberOfCustomAttributes(); ++index) {
                length += entry->getCustomAttributeName(index).size() +
                          entry->getCustomAttributeValue(index).size();
            }
        }
        for (const vaultora::kdb::DatabaseGroup* child : group->getSubGroups()) {
            pending.push_back(child);
        }
    }
    return length;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    auto database = vaultora::kdb::testing::decodeFuzzInput({data, size});
    if (!database) {
        return 0;
    }
    auto bytes = std::make_shared<const std::vector<uint8_t>>(std::move(database->file));
    auto source = std::make_unique<vaultora::kdb::MappedFileSource>(bytes);
    try {
        const std::shared_ptr<vaultora::kdb::DatabaseTree> tree = vaultora::kdb::openDatabase(
            std::move(source), vaultora::kdb::secureBytesFromText(database->password));
        if (tree && tree->getRoot() != nullptr) {
            static_cast<void>(visit(*tree->getRoot()));
        }
    } catch (const vaultora::kdb::DatabaseError&) {
        // Refusing a damaged file with the engine's error is the expected outcome.
    }
    return 0;
}
