#include "ui/NavigationPanelStack.h"

#include "ui/DatabaseOpenFlow.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/StackController.h"

namespace vaultora::ui {

namespace {

// The menu at the root of the stacked navigation owns the open flows it starts.
[[nodiscard]] QList<DatabaseOpenFlow*> runningOpens(const ScreenServices& services) {
    const toolkit::Panel* menu = services.stack != nullptr ? services.stack->rootPanel() : nullptr;
    return menu != nullptr ? DatabaseOpenFlow::runningFlowsOf(*menu) : QList<DatabaseOpenFlow*>{};
}

} // namespace

std::size_t NavigationPanelStack::panelCount() const {
    const int stacked = m_services.stack != nullptr ? m_services.stack->count() : 0;
    const int presented =
        m_services.modalPresenter != nullptr ? m_services.modalPresenter->rowCount() : 0;
    return static_cast<std::size_t>(stacked + presented) + runningOpens(m_services).size();
}

void NavigationPanelStack::popTopPanel(bool animated) {
    if (const QList<DatabaseOpenFlow*> opens = runningOpens(m_services); !opens.isEmpty()) {
        opens.front()->cancel();
        return;
    }
    const toolkit::Animated how = animated ? toolkit::Animated::Yes : toolkit::Animated::No;
    toolkit::ModalPresenter* modal = m_services.modalPresenter;
    if (toolkit::Panel* presented = modal != nullptr ? modal->presentedPanel() : nullptr) {
        // A password form that stayed up after a logout would keep what was typed into it.
        const auto forms = presented->findChildren<PasswordForm*>();
        for (PasswordForm* form : forms) {
            form->dismiss();
        }
        modal->dismissPanel(presented, how);
        return;
    }
    if (m_services.stack != nullptr) {
        m_services.stack->popTopPanel(how);
    }
}

} // namespace vaultora::ui
