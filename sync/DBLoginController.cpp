#include "sync/DBLoginController.h"

#include "sync/DBCreateAccountController.h"
#include "sync/DBLoginControllerDelegate.h"
#include "sync/DBRequest.h"
#include "sync/DBRestClient.h"
#include "ui/toolkit/AlertPresenter.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/ProgressOverlay.h"

namespace vaultora::sync {

using toolkit::FormModel;
using toolkit::FormRow;

DBLoginController::DBLoginController(DBScreenServices services, QObject* parent)
    : toolkit::FormPanel(std::make_unique<FormModel>(QStringLiteral("Link Account")), parent),
      m_services(std::move(services)), m_restClient(new DBRestClient(*m_services.session, this)) {
    m_restClient->setDelegate(this);
    setTitle(QStringLiteral("Link Account"));
    toolkit::FormSection* fields = form()->addSection();
    fields->addRow(FormRow::textEntry(QStringLiteral("Email"), {}, EmailKey,
                                      QStringLiteral("example@gmail.com")));
    fields->addRow(FormRow::textEntry(QStringLiteral("Password"), {}, PasswordKey,
                                      QStringLiteral("Required"), FormRow::Echo::Secure));
    toolkit::FormSection* actions = form()->addSection();
    FormRow* create = actions->addRow(FormRow::button(QStringLiteral("Create Account")));
    connect(create, &FormRow::selected, this, &DBLoginController::openCreateAccount);

    connect(setLeftBarButton(QStringLiteral("Cancel"), {}, toolkit::BarButton::Style::Bordered),
            &toolkit::BarButton::pressed, this, &DBLoginController::cancel);
    connect(setRightBarButton(QStringLiteral("Link"), {}, toolkit::BarButton::Style::Done),
            &toolkit::BarButton::pressed, this, &DBLoginController::link);
}

DBLoginController::~DBLoginController() {
    m_restClient->setDelegate(nullptr);
}

DBLoginController* DBLoginController::presentFromController(const DBScreenServices& services,
                                                            DBLoginControllerDelegate* delegate) {
    auto controller = std::make_unique<DBLoginController>(services);
    DBLoginController* login = controller.get();
    login->setDelegate(delegate);
    services.modalPresenter->presentViewController(
        std::make_unique<toolkit::NavigationContainer>(std::move(controller)),
        toolkit::ModalPresenter::Style::FullScreen, toolkit::Animated::Yes);
    return login;
}

FormRow* DBLoginController::emailRow() const {
    return form()->rowForKey(EmailKey);
}

FormRow* DBLoginController::passwordRow() const {
    return form()->rowForKey(PasswordKey);
}

void DBLoginController::link() {
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

void DBLoginController::dismiss() {
    toolkit::Panel* presented = navigationContainer();
    m_services.modalPresenter->dismissViewController(presented ? presented : this,
                                                     toolkit::Animated::Yes);
}

void DBLoginController::cancel() {
    DBLoginControllerDelegate* delegate = m_delegate;
    dismiss();
    if (delegate)
        delegate->loginControllerDidCancel(*this);
}

void DBLoginController::openCreateAccount() {
    if (toolkit::NavigationContainer* container = navigationContainer())
        container->pushViewController(
            std::make_unique<DBCreateAccountController>(*this, m_services), toolkit::Animated::Yes);
}

void DBLoginController::finishWithLogin() {
    m_services.progressOverlay->hide();
    DBLoginControllerDelegate* delegate = m_delegate;
    dismiss();
    if (delegate)
        delegate->loginControllerDidLogin(*this);
}

QString DBLoginController::messageForError(const NetworkError& error, const QString& fallback) {
    if (error.domain != DBRequest::ErrorDomain)
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

void DBLoginController::showLoginFailure(const NetworkError& error) {
    m_services.progressOverlay->hide();
    m_services.alerts->show(
        QStringLiteral("Unable to Login"),
        messageForError(error, QStringLiteral("An unknown error has occurred.")),
        {QStringLiteral("OK")});
}

void DBLoginController::restClientDidLogin(DBRestClient&) {
    finishWithLogin();
}

void DBLoginController::loginFailedWithError(DBRestClient&, const NetworkError& error) {
    showLoginFailure(error);
}

} // namespace vaultora::sync
