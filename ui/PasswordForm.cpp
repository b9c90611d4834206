#include "ui/PasswordForm.h"

#include "ui/DatabaseOpenFlow.h"
#include "ui/LoginInfoTarget.h"

namespace vaultora::ui {

namespace {

const QString passwordKey = QStringLiteral("password");

} // namespace

PasswordForm::PasswordForm(toolkit::ModalPresenter& presenter, QObject* parent)
    : toolkit::FormPanel({}, parent), m_presenter(presenter) {
    setObjectName(QStringLiteral("PasswordForm"));
}

PasswordForm::~PasswordForm() = default;

void PasswordForm::createDialog(const QString& databaseName, const QString& keyFileName) {
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("Login"),
                                                     toolkit::FormModel::Style::Grouped);
    // The section's title says which database the password is for.
    toolkit::FormSection* entry = form->addSection(databaseName);
    toolkit::FormRow* password = entry->addRow(toolkit::FormRow::textEntry(
        QStringLiteral("Password"), QString(), passwordKey, QStringLiteral("your password"),
        toolkit::FormRow::Echo::Secure));
    password->setFocusOnShow(true);
    connect(password, &toolkit::FormRow::submitted, this,
            [this] { emit loginRequested(loginInfo()); });
    if (!keyFileName.isEmpty()) {
        entry->addRow(toolkit::FormRow::label(QStringLiteral("Key file: ") + keyFileName));
    }
    toolkit::FormSection* buttons = form->addSection();
    connect(buttons->addRow(toolkit::FormRow::button(QStringLiteral("Login"))),
            &toolkit::FormRow::selected, this, [this] { emit loginRequested(loginInfo()); });
    connect(buttons->addRow(toolkit::FormRow::button(QStringLiteral("Cancel"))),
            &toolkit::FormRow::selected, this, &PasswordForm::cancelled);
    setForm(std::move(form));
}

DatabaseOpenFlow* PasswordForm::openFlow() const {
    return m_openFlow;
}

void PasswordForm::setOpenFlow(DatabaseOpenFlow* flow) {
    m_openFlow = flow;
}

app::LoginInfo PasswordForm::loginInfo() const {
    app::LoginInfo values;
    if (form() != nullptr) {
        LoginInfoTarget target(values);
        form()->copyValuesInto(target);
    }
    return values;
}

void PasswordForm::clearPassword() {
    if (form() != nullptr) {
        if (toolkit::FormRow* row = form()->rowForKey(passwordKey)) {
            row->setValue(QVariant());
        }
    }
}

void PasswordForm::dismiss() {
    clearPassword();
    toolkit::Panel* presented = m_navigation ? static_cast<toolkit::Panel*>(m_navigation.data())
                                             : static_cast<toolkit::Panel*>(this);
    m_presenter.dismissPanel(presented, toolkit::Animated::Yes);
}

} // namespace vaultora::ui
