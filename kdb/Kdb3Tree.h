#pragma once

#include <memory>

#include "Kdb3Group.h"
#include "KdbModel.h"

namespace kdb {

// An opened version-1 database: a root group that is not a group of the file, with the
// file's top-level groups below it.
class Kdb3Tree final : public KdbTree {
public:
    explicit Kdb3Tree(std::unique_ptr<Kdb3Group> root = nullptr);
    ~Kdb3Tree() override;
    Kdb3Tree(const Kdb3Tree&) = delete;
    Kdb3Tree& operator=(const Kdb3Tree&) = delete;

    [[nodiscard]] KdbGroup* getRoot() const override { return m_root.get(); }
    void setRoot(std::unique_ptr<Kdb3Group> root);
    // The version-1 recycle bin is the group named exactly "Backup".
    [[nodiscard]] bool isRecycleBin(const KdbGroup& group) const override;

    // A root named "%ROOT%" with one group "Internet" below it.
    [[nodiscard]] static std::unique_ptr<Kdb3Tree> newTree();

private:
    std::unique_ptr<Kdb3Group> m_root;
};

} // namespace kdb
