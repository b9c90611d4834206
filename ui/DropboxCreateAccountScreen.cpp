#include "ui/DropboxCreateAccountScreen.h"

#include "sync/dropbox/DropboxClient.h"
#include "ui/DropboxLoginScreen.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/ProgressOverlay.h"

namespace vaultora::ui {

using toolkit::FormModel;
using toolkit::FormRow;

DropboxCreateAccountScreen::DropboxCreateAccountScreen(DropboxLoginScreen& loginController,
                                                       DropboxScreenServices services,
                                                       QObject* parent)
    : toolkit::FormPanel(std::make_unique<FormModel>(QStringLiteral("Create Account")), parent),
      m_loginController(&loginController), m_services(std::move(services)),
      m_restClient(new sync::DropboxClient(*m_services.session, this)) {
    m_restClient->setDelegate(this);
    setTitle(QStringLiteral("Create Account"));
    toolkit::FormSection* names = form()->addSection();
    names->addRow(
        FormRow::textEntry(QStringLiteral("First Name"), {}, FirstNameKey, QStringLiteral("John")));
    names->addRow(FormRow::textEntry(QStringLiteral("Last Name"), {}, LastNameKey,
                                     QStringLiteral("Appleseed")));
    toolkit::FormSection* account = form()->addSection();
    account->addRow(FormRow::textEntry(QStringLiteral("Email"), {}, EmailKey,
                                       QStringLiteral("example@gmail.com")));
    account->addRow(FormRow::textEntry(QStringLiteral("Password"), {}, PasswordKey,
                                       QStringLiteral("Required"), FormRow::Echo::Secure));
    connect(setRightBarButton(QStringLiteral("Create"), {}, toolkit::BarButton::Style::Done),
            &toolkit::BarButton::pressed, this, &DropboxCreateAccountScreen::create);
}

DropboxCreateAccountScreen::~DropboxCreateAccountScreen() {
    m_restClient->setDelegate(nullptr);
}

bool DropboxCreateAccountScreen::require(const QString& key, const QString& title,
                                         const QString& message) {
    if (!row(key)->text().isEmpty())
        return true;
    m_services.alerts->show(title, message, {QStringLiteral("OK")});
    return false;
}

void DropboxCreateAccountScreen::create() {
    if (!require(FirstNameKey, QStringLiteral("First Name Required"),
                 QStringLiteral("Please enter your first name.")) ||
        !require(EmailKey, QStringLiteral("Email Required"),
                 QStringLiteral("Please enter your email address.")) ||
        !require(PasswordKey, QStringLiteral("Password Required"),
                 QStringLiteral("Please enter your desired password")))
        return;
    m_services.progressOverlay->show(QStringLiteral("Creating Account"));
    m_restClient->createAccount(row(EmailKey)->text(), row(PasswordKey)->text(),
                                row(FirstNameKey)->text(), row(LastNameKey)->text());
}

void DropboxCreateAccountScreen::restClientCreatedAccount(sync::DropboxClient& client) {
    client.loginWithEmail(row(EmailKey)->text(), row(PasswordKey)->text());
}

void DropboxCreateAccountScreen::createAccountFailedWithError(sync::DropboxClient&,
                                                              const net::NetworkError& error) {
    m_services.progressOverlay->hide();
    m_services.alerts->show(
        QStringLiteral("Create Account Failed"),
        DropboxLoginScreen::messageForError(error, QStringLiteral("An unknown error occured.")),
        {QStringLiteral("OK")});
}

void DropboxCreateAccountScreen::restClientDidLogin(sync::DropboxClient&) {
    if (DropboxLoginScreen* login = m_loginController.data())
        login->finishWithLogin();
    else
        m_services.progressOverlay->hide();
}

void DropboxCreateAccountScreen::loginFailedWithError(sync::DropboxClient&,
                                                      const net::NetworkError& error) {
    if (DropboxLoginScreen* login = m_loginController.data())
        login->showLoginFailure(error);
    else
        m_services.progressOverlay->hide();
}

} // namespace vaultora::ui
