#pragma once

#include <QJsonObject>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "kdb/DatabaseModel.h"

namespace vaultora::test {

// A database written by an independent tool, with what the tool was told to put in
// (<name>.json, the export shape) and how to open it (<name>.facts.json).
struct Fixture {
    std::string name; // "writer/file", for test names and messages
    std::string path;
    std::string password;
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

// "a/b" style path of each group for which the tree says isRecycleBin.
[[nodiscard]] std::vector<std::string> recycleBinPaths(const vaultora::kdb::DatabaseTree& tree);

} // namespace vaultora::test
