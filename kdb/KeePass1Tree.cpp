#include "KeePass1Tree.h"

namespace vaultora::kdb {

KeePass1Tree::KeePass1Tree(std::unique_ptr<KeePass1Group> root) : m_root(std::move(root)) {}

KeePass1Tree::~KeePass1Tree() {
    if (m_root) {
        m_root->breakCyclcReference();
    }
}

void KeePass1Tree::setRoot(std::unique_ptr<KeePass1Group> root) {
    if (m_root) {
        m_root->breakCyclcReference();
    }
    m_root = std::move(root);
}

bool KeePass1Tree::isRecycleBin(const DatabaseGroup& group) const {
    return group.getGroupName() == "Backup";
}

std::unique_ptr<KeePass1Tree> KeePass1Tree::newTree() {
    auto root = std::make_unique<KeePass1Group>();
    root->setGroupName("%ROOT%");
    auto internet = std::make_unique<KeePass1Group>();
    internet->setGroupName("Internet");
    root->addSubGroup(std::move(internet));
    return std::make_unique<KeePass1Tree>(std::move(root));
}

} // namespace vaultora::kdb
