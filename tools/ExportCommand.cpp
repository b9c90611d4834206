#include "Command.h"
#include "JsonWriter.h"
#include "kdb/GroupWalk.h"
#include "kdb/KdbxTree.h"

#include <vector>

namespace vaultora::cli {

namespace {

void writeEntry(const kdb::DatabaseEntry& entry, JsonWriter& json) {
    json.beginObject();
    json.key("title");
    json.value(entry.getEntryName());
    json.key("username");
    json.value(entry.getUserName());
    json.key("password");
    json.value(entry.getPassword());
    json.key("url");
    json.value(entry.getURL());
    json.key("notes");
    json.value(entry.getComments());
    json.key("custom");
    json.beginObject();
    const uint32_t customCount = entry.getNumberOfCustomAttributes();
    for (uint32_t index = 0; index < customCount; ++index) {
        json.key(entry.getCustomAttributeName(index));
        json.value(entry.getCustomAttributeValue(index));
    }
    json.endObject();
    json.endObject();
}

void beginGroup(const kdb::DatabaseGroup& group, JsonWriter& json) {
    json.beginObject();
    json.key("name");
    json.value(group.getGroupName());
    json.key("groups");
    json.beginArray();
}

void endGroup(const kdb::DatabaseGroup& group, JsonWriter& json) {
    json.endArray();
    json.key("entries");
    json.beginArray();
    for (const kdb::DatabaseEntry* entry : group.getEntries()) {
        writeEntry(*entry, json);
    }
    json.endArray();
    json.endObject();
}

// The first group, depth first, that the tree marks as its recycle bin; walked without
// recursion, as trees may be deep.
const kdb::DatabaseGroup* findRecycleBin(const kdb::DatabaseTree& tree) {
    const kdb::DatabaseGroup* found = nullptr;
    kdb::GroupWalk::walk(
        *tree.getRoot(),
        [&](const kdb::DatabaseGroup& group) {
            if (found == nullptr && tree.isRecycleBin(group)) {
                found = &group;
            }
        },
        [](const kdb::DatabaseGroup&) {});
    return found;
}

void writeGroup(const kdb::DatabaseGroup& root, JsonWriter& json) {
    kdb::GroupWalk::walk(
        root, [&json](const kdb::DatabaseGroup& group) { beginGroup(group, json); },
        [&json](const kdb::DatabaseGroup& group) { endGroup(group, json); });
}

} // namespace

// {"root": <group>} where a group is {"name", "groups", "entries"} in model order; 2.x
// databases add "recycle_bin", the name of their recycle-bin group or null.
ExitStatus runExport(const Invocation& invocation, CommandContext& context) {
    if (!invocation.hasOption("--json")) {
        throw CliError(ExitStatus::Usage, "usage: vaultora-cli export --json FILE");
    }
    const std::shared_ptr<kdb::DatabaseTree> tree = openDatabaseArgument(invocation, context);
    JsonWriter json(context.out);
    json.beginObject();
    json.key("root");
    writeGroup(*tree->getRoot(), json);
    if (dynamic_cast<const kdb::KdbxTree*>(tree.get()) != nullptr) {
        json.key("recycle_bin");
        if (const kdb::DatabaseGroup* bin = findRecycleBin(*tree)) {
            json.value(bin->getGroupName());
        } else {
            json.nullValue();
        }
    }
    json.endObject();
    json.finish();
    return ExitStatus::Success;
}

} // namespace vaultora::cli
