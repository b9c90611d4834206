#include "Kdb3Tree.h"

namespace kdb {

Kdb3Tree::Kdb3Tree(std::unique_ptr<Kdb3Group> root) : m_root(std::move(root)) {}

Kdb3Tree::~Kdb3Tree() {
    if (m_root) {
        m_root->breakCyclcReference();
    }
}

void Kdb3Tree::setRoot(std::unique_ptr<Kdb3Group> root) {
    if (m_root) {
        m_root->breakCyclcReference();
    }
    m_root = std::move(root);
}

bool Kdb3Tree::isRecycleBin(const KdbGroup& group) const {
    return group.getGroupName() == "Backup";
}

std::unique_ptr<Kdb3Tree> Kdb3Tree::newTree() {
    auto root = std::make_unique<Kdb3Group>();
    root->setGroupName("%ROOT%");
    auto internet = std::make_unique<Kdb3Group>();
    internet->setGroupName("Internet");
    root->addSubGroup(std::move(internet));
    return std::make_unique<Kdb3Tree>(std::move(root));
}

} // namespace kdb
