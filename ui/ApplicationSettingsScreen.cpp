#include "ui/ApplicationSettingsScreen.h"

#include "app/ApplicationController.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "ui/ApplicationVersion.h"
#include "ui/toolkit/StackController.h"

#include <cmath>
#include <limits>

namespace vaultora::ui {

namespace {

const QString autoLogoutKey = QStringLiteral("autologout");
const QString autoTimeoutKey = QStringLiteral("autotimeout");
const QString showFullScreenKey = QStringLiteral("showfullscreen");
const QString showPasswordKey = QStringLiteral("showpassword");
const QString clipboardClearKey = QStringLiteral("clipboardclear");

[[nodiscard]] bool isOn(const toolkit::FormModel& form, const QString& key) {
    const toolkit::FormRow* row = form.rowForKey(key);
    return row != nullptr && row->isOn();
}

} // namespace

ApplicationSettingsScreen::ApplicationSettingsScreen(const ScreenServices& services,
                                                     QObject* parent)
    : toolkit::FormPanel({}, parent), m_services(services) {
    setFocusOnShow(true);
}

ApplicationSettingsScreen::~ApplicationSettingsScreen() = default;

toolkit::FormModel* ApplicationSettingsScreen::createDialog() {
    const app::AppSettings& settings = m_services.delegate->appSettings();
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("App Settings"),
                                                     toolkit::FormModel::Style::Grouped);

    toolkit::FormSection* logout = form->addSection();
    logout->addRow(toolkit::FormRow::switchRow(QStringLiteral("Auto Logout"),
                                               settings.bAutoLogout(), autoLogoutKey));
    logout->addRow(toolkit::FormRow::decimalEntry(QStringLiteral("Auto timeout"),
                                                  settings.iAutoLogoutTimer(), autoTimeoutKey, 0));

    toolkit::FormSection* display = form->addSection();
    display->addRow(toolkit::FormRow::switchRow(QStringLiteral("Show Fullscreen"),
                                                settings.bShowFullScreen(), showFullScreenKey));
    display->addRow(toolkit::FormRow::switchRow(QStringLiteral("Show Password"),
                                                settings.bShowPasswordDefault(), showPasswordKey));

    form->addSection()->addRow(
        toolkit::FormRow::decimalEntry(QStringLiteral("Clear clipboard (s)"),
                                                settings.iClipboardClearSeconds(),
                                                clipboardClearKey, 0));

    form->addSection()->addRow(
        toolkit::FormRow::label(QStringLiteral("Version"), ApplicationVersion::versionText()));

    connect(form->addSection()->addRow(toolkit::FormRow::button(QStringLiteral("Save settings"))),
            &toolkit::FormRow::selected, this, &ApplicationSettingsScreen::saveSettings);
    return setForm(std::move(form));
}

void ApplicationSettingsScreen::saveSettings() {
    const toolkit::FormModel* entered = form();
    if (entered == nullptr) {
        return;
    }
    app::AppSettings& settings = m_services.delegate->appSettings();
    if (const toolkit::FormRow* timeout = entered->rowForKey(autoTimeoutKey)) {
        settings.setIAutoLogoutTimer(wholeNumber(timeout->number()));
    }
    if (const toolkit::FormRow* clear = entered->rowForKey(clipboardClearKey)) {
        settings.setIClipboardClearSeconds(std::max(wholeNumber(clear->number()), 0));
    }
    settings.setBAutoLogout(isOn(*entered, autoLogoutKey));
    settings.setBShowPasswordDefault(isOn(*entered, showPasswordKey));
    settings.setBShowFullScreen(isOn(*entered, showFullScreenKey));

    base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(base::Notifications::settingsChanged));
    // The screen closes itself, not whatever panel was opened to its right since.
    if (m_services.stack != nullptr) {
        m_services.stack->closePanel(stackedPanel(), toolkit::Animated::Yes);
    }
}

std::int32_t ApplicationSettingsScreen::wholeNumber(double entered) {
    // Converting a value outside the integer's range is undefined, so it is clamped first.
    if (std::isnan(entered)) {
        return 0;
    }
    const double whole = std::trunc(entered);
    constexpr auto lowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto highest = std::numeric_limits<std::int32_t>::max();
    if (whole <= static_cast<double>(lowest)) {
        return lowest;
    }
    if (whole >= static_cast<double>(highest)) {
        return highest;
    }
    return static_cast<std::int32_t>(whole);
}

} // namespace vaultora::ui
