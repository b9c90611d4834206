#pragma once

#include <memory>

#include "DatabaseModel.h"
#include "KeePass1Group.h"

namespace vaultora::kdb {

// An opened version-1 database: a root group that is not a group of the file, with the
// file's top-level groups below it.
class KeePass1Tree final : public DatabaseTree {
public:
    explicit KeePass1Tree(std::unique_ptr<KeePass1Group> root = nullptr);
    ~KeePass1Tree() override;
    KeePass1Tree(const KeePass1Tree&) = delete;
    KeePass1Tree& operator=(const KeePass1Tree&) = delete;

    [[nodiscard]] DatabaseGroup* getRoot() const override { return m_root.get(); }
    void setRoot(std::unique_ptr<KeePass1Group> root);
    // The version-1 recycle bin is the group named exactly "Backup".
    [[nodiscard]] bool isRecycleBin(const DatabaseGroup& group) const override;

    // A root named "%ROOT%" with one group "Internet" below it.
    [[nodiscard]] static std::unique_ptr<KeePass1Tree> newTree();

private:
    std::unique_ptr<KeePass1Group> m_root;
};

} // namespace vaultora::kdb
