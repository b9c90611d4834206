// The panels the logout closes, as the application delegate and the menu see them: the opens
// still under way count as the topmost panels, so that a logout cancels them; then a form
// presented over the window (the password form), then the panels of the stacked navigation
// from right to left.
#pragma once

#include "app/PanelStack.h"
#include "ui/ScreenServices.h"

namespace vaultora::ui {

class NavigationPanelStack final : public app::PanelStack {
public:
    // Uses the stacked navigation and the modal presenter of the services.
    explicit NavigationPanelStack(const ScreenServices& services) : m_services(services) {}

    [[nodiscard]] std::size_t panelCount() const override;
    void popTopPanel(bool animated) override;

private:
    const ScreenServices& m_services;
};

} // namespace vaultora::ui
