// The open flow of GroupBrowser: synchronise the file, find the master password,
// open the file and put the panel on the stacked navigation.
#include "ui/GroupBrowser.h"

#include "base/AppConfiguration.h"
#include "app/PasswordStore.h"
#include "app/ApplicationController.h"
#include "sync/HttpDownloadSync.h"
#include "ui/DatabaseSources.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

namespace vaultora::ui {

namespace {

constexpr double fileNotFoundSeconds = 2.5;
constexpr double openFailureSeconds = 2.0;

[[nodiscard]] QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString GroupBrowser::databasePath() const {
    return m_services.delegate->getDocumentBaseDirectoryForFileName(m_databaseFileName);
}

bool GroupBrowser::databaseFileExists() const {
    return QFileInfo(databasePath()).isFile();
}

void GroupBrowser::showFileNotFound() {
    m_services.transientPanels->showError(
        QStringLiteral("The database file is not found on this iPhone."),
        QStringLiteral("Please sync again in the database settings dialog."), fileNotFoundSeconds);
}

void GroupBrowser::showPasswordNotCorrect() {
    m_services.transientPanels->showError(QStringLiteral("Password is not correct!"),
                                          QStringLiteral("Error"), openFailureSeconds);
}

bool GroupBrowser::syncDatabaseFileAndOpen() {
    const std::int32_t syncType = m_serverDetail ? m_serverDetail->DBSyncType() : 0;
    if (!databaseFileExists()) {
        if (syncType == base::DatabaseRecord::SyncTypeHttpDownload) {
            const QString url = m_serverDetail->serverUrl();
            if (!m_services.sources->downloadFromURL(
                    url, vaultora::sync::HttpDownloadSync::fileNameForURL(url))) {
                abandon();
                return false;
            }
            loginOrShowPasswordDialog();
            return true;
        }
        if (syncType == base::DatabaseRecord::SyncTypeWebServer) {
            showFileNotFound();
            abandon();
            return false;
        }
    }
    switch (syncType) {
    case base::DatabaseRecord::SyncTypeHttpDownload:
    case base::DatabaseRecord::SyncTypeWebServer:
        loginOrShowPasswordDialog();
        break;
    case base::DatabaseRecord::SyncTypeDropbox:
        if (m_services.sources->isInternetReachable()) {
            m_services.sources->syncWithDropBox(m_serverDetail, *this);
        } else {
            loginOrShowPasswordDialog();
        }
        break;
    default:
        // A record of no known type cannot be opened.
        abandon();
        break;
    }
    return true;
}

bool GroupBrowser::loginOrShowPasswordDialog() {
    if (!databaseFileExists()) {
        showFileNotFound();
        abandon();
        return false;
    }
    if (m_serverDetail && m_serverDetail->savePassword() != 0) {
        kdb::SecureBytes saved = app::PasswordStore::getPasswordForUsername(
                                     m_serverDetail->serverUrl(),
                                     QString::fromLatin1(base::AppConfiguration::passwordStoreService))
                                     .value_or(kdb::SecureBytes{});
        m_serverDetail->setDatabasePassword(saved);
        openDatabaseWithPassword(saved, [this](bool opened) {
            if (!opened) {
                showPasswordNotCorrect();
                loginDatabase();
            }
        });
        return true;
    }
    loginDatabase();
    return true;
}

void GroupBrowser::loginDatabase() {
    auto form = std::make_unique<PasswordForm>(*m_services.modalPresenter);
    form->createDialog();
    form->setDatabaseViewController(this);
    PasswordForm* login = form.get();
    auto navigation = std::make_unique<toolkit::NavigationContainer>(std::move(form));
    login->setNavigation(navigation.get());

    connect(login, &PasswordForm::loginRequested, this,
            [this, login](const app::LoginInfo& values) {
                QPointer<PasswordForm> guarded(login);
                openDatabaseWithPassword(values.password(), [this, guarded](bool opened) {
                    if (!opened) {
                        showPasswordNotCorrect();
                        return;
                    }
                    if (guarded) {
                        guarded->dismiss();
                    }
                });
            });
    connect(login, &PasswordForm::cancelled, login, &PasswordForm::dismiss);
    // However the form goes (Cancel, a logout), a panel that was not opened by then is dropped.
    connect(login, &QObject::destroyed, this, &GroupBrowser::abandon);

    const auto style = m_services.stack != nullptr
                           ? toolkit::ModalPresenter::styleForIdiom(m_services.stack->idiom())
                           : toolkit::ModalPresenter::Style::FormSheet;
    m_services.modalPresenter->presentViewController(std::move(navigation), style,
                                                     toolkit::Animated::Yes);
}

void GroupBrowser::openDatabaseWithPassword(const kdb::SecureBytes& password,
                                                      OpenCompletion completion) {
    if (!databaseFileExists()) {
        showFileNotFound();
        completion(false);
        return;
    }
    if (m_loading != nullptr) {
        // One open at a time: the overlay keeps the user from asking twice.
        return;
    }
    m_services.progressOverlay->show(QStringLiteral("Opening database"));
    const std::string path = databasePath().toStdString();
    m_loading = new QFutureWatcher<DatabaseLoadOutcome>(this);
    connect(m_loading, &QFutureWatcher<DatabaseLoadOutcome>::finished, this,
            [this, completion = std::move(completion)] {
                // Taken, not copied: the future's result store must not keep the tree alive
                // after the panels that show it are closed.
                DatabaseLoadOutcome outcome = m_loading->future().takeResult();
                m_loading->deleteLater();
                m_loading = nullptr;
                finishOpening(std::move(outcome), completion);
            });
    m_loading->setFuture(
        QtConcurrent::run([path, password] { return DatabaseLoader::load(path, password); }));
}

void GroupBrowser::finishOpening(DatabaseLoadOutcome outcome,
                                           const OpenCompletion& completion) {
    m_services.progressOverlay->hide();
    if (!outcome.tree) {
        showOpenFailure(outcome);
        completion(false);
        return;
    }
    kdb::DatabaseGroup* root = outcome.tree->getRoot();
    setGroup(std::move(outcome.tree), root);
    if (m_services.stack != nullptr && navigationContainer() == nullptr) {
        // The panel leaves the object that created it for the container on the stack.
        setParent(nullptr);
        auto container =
            std::make_unique<toolkit::NavigationContainer>(std::unique_ptr<toolkit::Panel>(this));
        m_navController = container.get();
        m_services.stack->pushViewController(std::move(container), nullptr, toolkit::Animated::Yes);
        m_services.stack->collapseStack(1, toolkit::Animated::Yes);
    }
    completion(true);
    emit openFinished(true);
}

void GroupBrowser::showOpenFailure(const DatabaseLoadOutcome& outcome) {
    const std::string& name = outcome.errorName;
    if (name == "ParseError") {
        return;
    }
    if (name == "DecryptError") {
        showPasswordNotCorrect();
        return;
    }
    if (name == "Unsupported") {
        m_services.transientPanels->showError(
            QStringLiteral("Not a supported database version.!"),
            QStringLiteral("Only kdb (1.x) and kdbx (<= 2.17) are supported."), openFailureSeconds);
        return;
    }
    const QString title = QStringLiteral("Unknown error (2): ") + fromUtf8(name);
    m_services.transientPanels->showError(title, title + fromUtf8(outcome.errorReason),
                                          openFailureSeconds);
}

void GroupBrowser::abandon() {
    if (m_abandoned || navigationContainer() != nullptr || stackController() != nullptr) {
        return;
    }
    m_abandoned = true;
    emit openFinished(false);
    deleteLater();
}

} // namespace vaultora::ui
