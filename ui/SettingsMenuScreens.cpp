#include "ui/SettingsMenuScreens.h"

#include "ui/AboutViewController.h"
#include "ui/ApplicationDetailsSubScreens.h"
#include "ui/HelpViewController.h"
#include "ui/SettingsControllerView.h"
#include "ui/SettingsDatabasesViewController.h"

SettingsMenuScreens::SettingsMenuScreens(const ScreenServices& services,
                                         std::shared_ptr<DatabaseDetailsSubScreens> subScreens)
    : m_services(&services), m_subScreens(std::move(subScreens)) {}

SettingsMenuScreens::SettingsMenuScreens(const ScreenServices& services)
    : SettingsMenuScreens(services, std::make_shared<ApplicationDetailsSubScreens>(services)) {}

std::unique_ptr<toolkit::Panel>
SettingsMenuScreens::operator()(ExampleMenuRootController::SettingsScreen screen) const {
    using Screen = ExampleMenuRootController::SettingsScreen;
    switch (screen) {
    case Screen::DatabaseList:
        return std::make_unique<SettingsDatabasesViewController>(*m_services, *m_subScreens);
    case Screen::ApplicationSettings: {
        auto settings = std::make_unique<SettingsControllerView>(*m_services);
        settings->createDialog();
        return settings;
    }
    case Screen::Help: {
        auto help = std::make_unique<HelpViewController>(*m_services);
        help->createDialog();
        return help;
    }
    case Screen::About: {
        auto about = std::make_unique<AboutViewController>(*m_services);
        about->createDialog();
        return about;
    }
    }
    return {};
}
