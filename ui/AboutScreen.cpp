#include "ui/AboutScreen.h"

#include "base/AppConfiguration.h"
#include "ui/ApplicationVersion.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/UrlOpener.h"

#include <QDebug>

namespace vaultora::ui {

AboutScreen::AboutScreen(const ScreenServices& services, QObject* parent)
    : toolkit::FormPanel({}, parent), m_services(services) {}

AboutScreen::~AboutScreen() = default;

toolkit::FormModel* AboutScreen::createDialog() {
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("About Vaultora"),
                                                     toolkit::FormModel::Style::Grouped);
    form->addSection();

    toolkit::FormSection* information = form->addSection();
    const QUrl homePage(QString::fromLatin1(base::AppConfiguration::homePageAddress));
    connect(information->addRow(toolkit::FormRow::webLink(QStringLiteral("Homepage"), homePage)),
            &toolkit::FormRow::selected, this, [this, homePage] {
                if (m_services.urlOpener == nullptr || !m_services.urlOpener->openUrl(homePage)) {
                    qWarning().noquote() << "Could not open" << homePage.toString();
                }
            });
    information->addRow(
        toolkit::FormRow::label(QStringLiteral("Version"), ApplicationVersion::versionText()));

    connect(form->addSection()->addRow(toolkit::FormRow::button(QStringLiteral("Ok"))),
            &toolkit::FormRow::selected, this, [this] {
                // "Ok" closes this screen, wherever it stands; the panels opened after it
                // stay.
                toolkit::Panel* own = navigationContainer() != nullptr
                                          ? static_cast<toolkit::Panel*>(navigationContainer())
                                          : this;
                if (m_services.stack != nullptr) {
                    m_services.stack->closePanel(own, toolkit::Animated::Yes);
                }
            });
    return setForm(std::move(form));
}

} // namespace vaultora::ui
