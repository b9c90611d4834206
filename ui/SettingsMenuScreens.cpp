#include "ui/SettingsMenuScreens.h"

#include "ui/AboutScreen.h"
#include "ui/ApplicationDetailsSubScreens.h"
#include "ui/ApplicationSettingsScreen.h"
#include "ui/DatabaseListScreen.h"
#include "ui/HelpScreen.h"

namespace vaultora::ui {

SettingsMenuScreens::SettingsMenuScreens(const ScreenServices& services,
                                         std::shared_ptr<DatabaseDetailsSubScreens> subScreens)
    : m_services(&services), m_subScreens(std::move(subScreens)) {}

SettingsMenuScreens::SettingsMenuScreens(const ScreenServices& services)
    : SettingsMenuScreens(services, std::make_shared<ApplicationDetailsSubScreens>(services)) {}

std::unique_ptr<toolkit::Panel>
SettingsMenuScreens::operator()(MainMenu::SettingsScreen screen) const {
    using Screen = MainMenu::SettingsScreen;
    switch (screen) {
    case Screen::DatabaseList:
        return std::make_unique<DatabaseListScreen>(*m_services, *m_subScreens);
    case Screen::ApplicationSettings: {
        auto settings = std::make_unique<ApplicationSettingsScreen>(*m_services);
        settings->createDialog();
        return settings;
    }
    case Screen::Help: {
        auto help = std::make_unique<HelpScreen>(*m_services);
        help->createDialog();
        return help;
    }
    case Screen::About: {
        auto about = std::make_unique<AboutScreen>(*m_services);
        about->createDialog();
        return about;
    }
    }
    return {};
}

} // namespace vaultora::ui
