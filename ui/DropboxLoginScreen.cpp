#include "ui/DropboxLoginScreen.h"

#include "sync/dropbox/DropboxClient.h"
#include "sync/dropbox/DropboxRequest.h"
#include "ui/DropboxCreateAccountScreen.h"
#include "ui/DropboxLoginScreenDelegate.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/ProgressOverlay.h"

namespace vaultora::ui {

using toolkit::FormModel;
using toolkit::FormRow;

DropboxLoginScreen::DropboxLoginScreen(DropboxScreenServices services, QObject* parent)
    : toolkit::FormPanel(std::make_unique<FormModel>(QStringLiteral("Link Account")), parent),
      m_services(std::move(services)),
      m_restClient(new sync::DropboxClient(*m_services.session, this)) {
    m_restClient->setDelegate(this);
    setTitle(QStringLiteral("Link Account"));
    toolkit::FormSection* fields = form()->addSection();
    fields->addRow(FormRow::textEntry(QStringLiteral("Email"), {}, EmailKey,
                                      QStringLiteral("example@gmail.com")));
    fields->addRow(FormRow::textEntry(QStringLiteral("Password"), {}, PasswordKey,
                                      QStringLiteral("Required"), FormRow::Echo::Secure));
    toolkit::FormSection* actions = form()->addSection();
    FormRow* create = actions->addRow(FormRow::button(QStringLiteral("Create Account")));
    connect(create, &FormRow::selected, this, &DropboxLoginScreen::openCreateAccount);

    connect(setLeftBarButton(QStringLiteral("Cancel"), {}, toolkit::BarButton::Style::Bordered),
            &toolkit::BarButton::pressed, this, &DropboxLoginScreen::cancel);
    connect(setRightBarButton(QStringLiteral("Link"), {}, toolkit::BarButton::Style::Done),
            &toolkit::BarButton::pressed, this, &DropboxLoginScreen::link);
}

DropboxLoginScreen::~DropboxLoginScreen() {
    m_restClient->setDelegate(nullptr);
}

DropboxLoginScreen*
DropboxLoginScreen::presentFromController(const DropboxScreenServices& services,
                                          DropboxLoginScreenDelegate* delegate) {
    auto controller = std::make_unique<DropboxLoginScreen>(services);
    DropboxLoginScreen* login = controller.get();
    login->setDelegate(delegate);
    services.modalPresenter->presentPanel(
        std::make_unique<toolkit::NavigationContainer>(std::move(controller)),
        toolkit::ModalPresenter::Style::FullScreen, toolkit::Animated::Yes);
    return login;
}

FormRow* DropboxLoginScreen::emailRow() const {
    return form()->rowForKey(EmailKey);
}

FormRow* DropboxLoginScreen::passwordRow() const {
    return form()->rowForKey(PasswordKey);
}

void DropboxLoginScreen::link() {
    const QString email = emailRow()->text();
    const QString password = passwordRow()->text();
    if (email.isEmpty()) {
        m_services.alerts->show(QStringLiteral("Email Required"),
                                QStringLiteral("Please enter your email."), {QStringLiteral("OK")});
        return;
    }
    if (password.isEmpty()) {
        m_services.alerts->show(QStringLiteral("Password Required"),
                                QStringLiteral("Please enter you password."),
                                {QStringLiteral("OK")});
        return;
    }
    // The overlay takes every touch until the service has answered.
    m_services.progressOverlay->show(QStringLiteral("Linking"));
    m_restClient->loginWithEmail(email, password);
}

void DropboxLoginScreen::dismiss() {
    toolkit::Panel* presented = navigationContainer();
    m_services.modalPresenter->dismissPanel(presented ? presented : this, toolkit::Animated::Yes);
}

void DropboxLoginScreen::cancel() {
    DropboxLoginScreenDelegate* delegate = m_delegate;
    dismiss();
    if (delegate)
        delegate->loginControllerDidCancel(*this);
}

void DropboxLoginScreen::openCreateAccount() {
    if (toolkit::NavigationContainer* container = navigationContainer())
        container->pushPanel(std::make_unique<DropboxCreateAccountScreen>(*this, m_services),
                             toolkit::Animated::Yes);
}

void DropboxLoginScreen::finishWithLogin() {
    m_services.progressOverlay->hide();
    DropboxLoginScreenDelegate* delegate = m_delegate;
    dismiss();
    if (delegate)
        delegate->loginControllerDidLogin(*this);
}

QString DropboxLoginScreen::messageForError(const net::NetworkError& error,
                                            const QString& fallback) {
    if (error.domain != sync::DropboxRequest::ErrorDomain)
        return QStringLiteral("There was an error connecting to Dropbox.");
    const QVariant entry = error.userInfo.value(QStringLiteral("error"));
    if (entry.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = entry.toMap();
        if (!map.isEmpty())
            return map.first().toString();
    } else if (!entry.toString().isEmpty()) {
        return entry.toString();
    }
    return fallback;
}

void DropboxLoginScreen::showLoginFailure(const net::NetworkError& error) {
    m_services.progressOverlay->hide();
    m_services.alerts->show(
        QStringLiteral("Unable to Login"),
        messageForError(error, QStringLiteral("An unknown error has occurred.")),
        {QStringLiteral("OK")});
}

void DropboxLoginScreen::restClientDidLogin(sync::DropboxClient&) {
    finishWithLogin();
}

void DropboxLoginScreen::loginFailedWithError(sync::DropboxClient&,
                                              const net::NetworkError& error) {
    showLoginFailure(error);
}

} // namespace vaultora::ui
