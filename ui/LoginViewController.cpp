#include "ui/LoginViewController.h"

#include "ui/DatabaseViewController.h"
#include "ui/LoginInfoTarget.h"

namespace {

const QString passwordKey = QStringLiteral("password");

} // namespace

LoginViewController::LoginViewController(toolkit::ModalPresenter& presenter, QObject* parent)
    : toolkit::FormPanel({}, parent), m_presenter(presenter) {
    setObjectName(QStringLiteral("LoginViewController"));
}

LoginViewController::~LoginViewController() = default;

void LoginViewController::createDialog() {
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("Login"),
                                                     toolkit::FormModel::Style::Grouped);
    form->addSection()->addRow(toolkit::FormRow::textEntry(
        QStringLiteral("Password"), QString(), passwordKey, QStringLiteral("your password"),
        toolkit::FormRow::Echo::Secure));
    toolkit::FormSection* buttons = form->addSection();
    connect(buttons->addRow(toolkit::FormRow::button(QStringLiteral("Login"))),
            &toolkit::FormRow::selected, this, [this] { emit loginRequested(loginInfo()); });
    connect(buttons->addRow(toolkit::FormRow::button(QStringLiteral("Cancel"))),
            &toolkit::FormRow::selected, this, &LoginViewController::cancelled);
    setForm(std::move(form));
}

DatabaseViewController* LoginViewController::databaseViewController() const {
    return m_databaseViewController;
}

void LoginViewController::setDatabaseViewController(DatabaseViewController* panel) {
    m_databaseViewController = panel;
}

LoginInfo LoginViewController::loginInfo() const {
    LoginInfo values;
    if (form() != nullptr) {
        LoginInfoTarget target(values);
        form()->copyValuesInto(target);
    }
    return values;
}

void LoginViewController::clearPassword() {
    if (form() != nullptr) {
        if (toolkit::FormRow* row = form()->rowForKey(passwordKey)) {
            row->setValue(QVariant());
        }
    }
}

void LoginViewController::dismiss() {
    clearPassword();
    toolkit::Panel* presented = m_navigation ? static_cast<toolkit::Panel*>(m_navigation.data())
                                             : static_cast<toolkit::Panel*>(this);
    m_presenter.dismissViewController(presented, toolkit::Animated::Yes);
}
