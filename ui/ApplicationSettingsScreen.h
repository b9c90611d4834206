// The application settings form: idle logout, full-screen mode, password shown by default and
// the version. The settings change only when "Save settings" is pressed.
#pragma once

#include "ui/ScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <cstdint>

namespace vaultora::ui {

class ApplicationSettingsScreen final : public toolkit::FormPanel {
    Q_OBJECT

public:
    explicit ApplicationSettingsScreen(const ScreenServices& services, QObject* parent = nullptr);
    ~ApplicationSettingsScreen() override;

    // Builds the form from the current settings, shows it and returns it.
    toolkit::FormModel* createDialog();

    // Copies the form into the settings, announces the change and closes the screen.
    void saveSettings();

    // The whole number of an entered time (idle minutes, clipboard seconds): the fraction is
    // dropped (toward zero) and the value kept within the range of the setting.
    [[nodiscard]] static std::int32_t wholeNumber(double entered);

private:
    const ScreenServices& m_services;
};

} // namespace vaultora::ui
