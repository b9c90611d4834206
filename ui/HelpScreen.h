// The help screen: a link to the product's web site, where the help lives.
#pragma once

#include "ui/ScreenServices.h"
#include "ui/toolkit/FormPanel.h"

namespace vaultora::ui {

class HelpScreen final : public toolkit::FormPanel {
    Q_OBJECT

public:
    explicit HelpScreen(const ScreenServices& services, QObject* parent = nullptr);
    ~HelpScreen() override;

    // Builds the form, shows it and returns it.
    toolkit::FormModel* createDialog();

private:
    const ScreenServices& m_services;
};

} // namespace vaultora::ui
