// vaultora-open FILE: opens a database with the engine alone (the password is the first line
// of standard input) and prints how many groups and entries it holds. The peak-memory script
// runs it, so that the figures are the engine's and not a toolkit's.
#include "kdb/DatabaseError.h"
#include "kdb/DatabaseModel.h"
#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"
#include "kdb/SecureBytes.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Walks the groups without recursion, so that a file nested a million groups deep is
// counted like any other.
void count(const vaultora::kdb::DatabaseGroup& root, std::size_t& groups, std::size_t& entries) {
    std::vector<const vaultora::kdb::DatabaseGroup*> pending{&root};
    while (!pending.empty()) {
        const vaultora::kdb::DatabaseGroup* group = pending.back();
        pending.pop_back();
        ++groups;
        entries += group->getEntries().size();
        for (const vaultora::kdb::DatabaseGroup* child : group->getSubGroups()) {
            pending.push_back(child);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vaultora-open FILE < password\n";
        return 2;
    }
    std::string line;
    std::getline(std::cin, line);
    const vaultora::kdb::SecureBytes password = vaultora::kdb::secureBytesFromText(line);
    vaultora::kdb::secureWipe(line.data(), line.size());
    try {
        const std::shared_ptr<vaultora::kdb::DatabaseTree> tree = vaultora::kdb::openDatabase(
            std::make_unique<vaultora::kdb::MappedFileSource>(argv[1]), password);
        std::size_t groups = 0;
        std::size_t entries = 0;
        count(*tree->getRoot(), groups, entries);
        std::cout << "groups " << groups << " entries " << entries << '\n';
    } catch (const vaultora::kdb::DatabaseError& error) {
        std::cerr << "cannot open " << argv[1] << ": " << error.name() << " " << error.reason()
                  << '\n';
        return 1;
    }
    return 0;
}
