// The password form: under the name of the database it opens, one hidden-text entry
// "Password" (under it "Key file: <name>" when the database opens with a key file too) and the
// buttons "Login" and "Cancel", presented modally in a navigation container of its own. The
// entry has the keyboard focus when the form appears, and Return in it logs in.
#pragma once

#include "app/LoginInfo.h"
#include "ui/toolkit/FormPanel.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"

#include <QPointer>

namespace vaultora::ui {

class DatabaseOpenFlow;

class PasswordForm final : public toolkit::FormPanel {
    Q_OBJECT

public:
    explicit PasswordForm(toolkit::ModalPresenter& presenter, QObject* parent = nullptr);
    ~PasswordForm() override;

    // Builds the form for the database of that name; keyFileName is the record's key file, or
    // empty.
    void createDialog(const QString& databaseName, const QString& keyFileName = {});

    [[nodiscard]] toolkit::NavigationContainer* navigation() const { return m_navigation; }
    void setNavigation(toolkit::NavigationContainer* navigation) { m_navigation = navigation; }
    // The open flow the form asks for.
    [[nodiscard]] DatabaseOpenFlow* openFlow() const;
    void setOpenFlow(DatabaseOpenFlow* flow);

    // The form's values, copied by key.
    [[nodiscard]] app::LoginInfo loginInfo() const;
    // Clears the typed password and dismisses the form with its container.
    void dismiss();
    // What "Cancel" does.
    void cancel() { emit cancelled(); }

signals:
    void loginRequested(const app::LoginInfo& values);
    void cancelled();

private:
    void clearPassword();

    toolkit::ModalPresenter& m_presenter;
    QPointer<toolkit::NavigationContainer> m_navigation;
    QPointer<DatabaseOpenFlow> m_openFlow;
};

} // namespace vaultora::ui
