#include "ui/HelpScreen.h"

#include "base/AppConfiguration.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/UrlOpener.h"

#include <QDebug>

namespace vaultora::ui {

HelpScreen::HelpScreen(const ScreenServices& services, QObject* parent)
    : toolkit::FormPanel({}, parent), m_services(services) {}

HelpScreen::~HelpScreen() = default;

toolkit::FormModel* HelpScreen::createDialog() {
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("Vaultora Help"),
                                                     toolkit::FormModel::Style::Grouped);
    form->addSection();

    const QUrl webSite(QString::fromLatin1(base::AppConfiguration::homePageAddress));
    connect(form->addSection()->addRow(
                toolkit::FormRow::webLink(QStringLiteral("For help see web page"), webSite)),
            &toolkit::FormRow::selected, this, [this, webSite] {
                if (m_services.urlOpener == nullptr || !m_services.urlOpener->openUrl(webSite)) {
                    qWarning().noquote() << "Could not open" << webSite.toString();
                }
            });

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
