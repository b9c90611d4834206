#include "Command.h"
#include "JsonWriter.h"
#include "kdb/GroupWalk.h"

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

void writeGroup(const kdb::DatabaseGroup& root, JsonWriter& json) {
    kdb::GroupWalk::walk(
        root, [&json](const kdb::DatabaseGroup& group) { beginGroup(group, json); },
        [&json](const kdb::DatabaseGroup& group) { endGroup(group, json); });
}

} // namespace

// {"root": <group>} where a group is {"name", "groups", "entries"} in model order.
ExitStatus runExport(const Invocation& invocation, CommandContext& context) {
    if (!invocation.hasOption("--json")) {
        throw CliError(ExitStatus::Usage, "usage: vaultora-cli export --json FILE");
    }
    const std::shared_ptr<kdb::DatabaseTree> tree =
        openDatabaseArgument(invocation.arguments[0], context);
    JsonWriter json(context.out);
    json.beginObject();
    json.key("root");
    writeGroup(*tree->getRoot(), json);
    json.endObject();
    json.finish();
    return ExitStatus::Success;
}

} // namespace vaultora::cli
