// Builds the screens behind the settings rows of the main menu: the database list, the
// application settings, the help and the about screen.
#pragma once

#include "ui/MainMenu.h"
#include "ui/ScreenServices.h"

#include <memory>

namespace vaultora::toolkit {
class Panel;
}

namespace vaultora::ui {

class DatabaseDetailsSubScreens;

class SettingsMenuScreens final {
public:
    // The sub-screens of the database details form are shared by every database list opened.
    SettingsMenuScreens(const ScreenServices& services,
                        std::shared_ptr<DatabaseDetailsSubScreens> subScreens);

    // The application's own sub-screens.
    explicit SettingsMenuScreens(const ScreenServices& services);

    [[nodiscard]] std::unique_ptr<toolkit::Panel> operator()(MainMenu::SettingsScreen screen) const;

private:
    const ScreenServices* m_services;
    std::shared_ptr<DatabaseDetailsSubScreens> m_subScreens;
};

} // namespace vaultora::ui
