// The about screen: a link to the product's home page and the application's version.
#pragma once

#include "ui/ScreenServices.h"
#include "ui/toolkit/FormPanel.h"

namespace vaultora::ui {

class AboutScreen final : public toolkit::FormPanel {
    Q_OBJECT

public:
    explicit AboutScreen(const ScreenServices& services, QObject* parent = nullptr);
    ~AboutScreen() override;

    // Builds the form, shows it and returns it.
    toolkit::FormModel* createDialog();

private:
    const ScreenServices& m_services;
};

} // namespace vaultora::ui
