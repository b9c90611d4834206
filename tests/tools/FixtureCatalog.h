#pragma once

#include <QJsonObject>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "kdb/Credentials.h"
#include "kdb/DatabaseModel.h"

namespace vaultora::test {

// A database written by an independent tool, with what the tool was told to put in
// (<name>.json, the export shape) and how to open it (<name>.facts.json).
struct Fixture {
    std::string name; // "writer/file", for test names and messages
    std::string path;
    std::string password;
    // False for a database opened with its key file alone (the facts' password is null).
    bool usesPassword = true;
    // The key file beside the database, or empty.
    std::string keyFile;
    QJsonObject expected;
    QJsonObject facts;
};

// Test names and failure messages show the fixture by its name.
inline void PrintTo(const Fixture& fixture, std::ostream* out) {
    *out << fixture.name;
}

// Every fixture under the fixtures folder (a database with its .json and .facts.json), sorted
// by name.
[[nodiscard]] std::vector<Fixture> allFixtures();
[[nodiscard]] std::string fixtureTestName(const Fixture& fixture);

// The export shape of an opened tree, built here from the model interfaces alone.
[[nodiscard]] QJsonObject treeAsJson(const vaultora::kdb::DatabaseTree& tree);

// Opens a database file with the engine; engine failures propagate as DatabaseError.
[[nodiscard]] std::shared_ptr<vaultora::kdb::DatabaseTree>
openWithEngine(const std::string& path, const std::string& password);
// The credentials the fixture's writer used, with another password where one is given.
[[nodiscard]] vaultora::kdb::Credentials
fixtureCredentials(const Fixture& fixture, const std::optional<std::string>& password = {});
// Opens the fixture with the credentials.
[[nodiscard]] std::shared_ptr<vaultora::kdb::DatabaseTree>
openWithEngine(const Fixture& fixture, const vaultora::kdb::Credentials& credentials);
// The command-line options that give the fixture's key file (and --no-password).
[[nodiscard]] std::vector<std::string> keyOptions(const Fixture& fixture);

// "a/b" style path of each group for which the tree says isRecycleBin.
[[nodiscard]] std::vector<std::string> recycleBinPaths(const vaultora::kdb::DatabaseTree& tree);

} // namespace vaultora::test
