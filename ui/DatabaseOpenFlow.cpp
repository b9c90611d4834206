#include "ui/DatabaseOpenFlow.h"

#include "app/ApplicationController.h"
#include "app/PasswordStore.h"
#include "base/AppConfiguration.h"
#include "sync/HttpDownloadSync.h"
#include "ui/DatabaseSources.h"
#include "ui/OpenAlerts.h"
#include "ui/PasswordForm.h"
#include "ui/toolkit/ModalPresenter.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/StackController.h"
#include "ui/toolkit/TransientPanelHost.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace vaultora::ui {

DatabaseOpenFlow::DatabaseOpenFlow(const ScreenServices& services, QString databaseFileName,
                                   std::shared_ptr<base::DatabaseRecord> record, QObject* parent)
    : QObject(parent), m_services(services), m_databaseFileName(std::move(databaseFileName)),
      m_record(std::move(record)) {}

DatabaseOpenFlow::~DatabaseOpenFlow() = default;

QList<DatabaseOpenFlow*> DatabaseOpenFlow::runningFlowsOf(const QObject& owner) {
    QList<DatabaseOpenFlow*> running =
        owner.findChildren<DatabaseOpenFlow*>(QString(), Qt::FindDirectChildrenOnly);
    running.removeIf([](const DatabaseOpenFlow* flow) { return !flow->isRunning(); });
    return running;
}

QString DatabaseOpenFlow::databasePath() const {
    return m_services.delegate->getDocumentBaseDirectoryForFileName(m_databaseFileName);
}

QString DatabaseOpenFlow::keyFilePath() const {
    if (!m_record || m_record->keyFileName().isEmpty()) {
        return {};
    }
    return QDir(m_services.delegate->documentsDirectory()).filePath(m_record->keyFileName());
}

bool DatabaseOpenFlow::databaseFileExists() const {
    return QFileInfo(databasePath()).isFile();
}

void DatabaseOpenFlow::show(const OpenAlert& alert) const {
    m_services.transientPanels->showError(alert.title, alert.subtitle, alert.seconds);
}

bool DatabaseOpenFlow::start() {
    if (m_finished) {
        return false;
    }
    const std::int32_t syncType = m_record ? m_record->syncType() : 0;
    if (!databaseFileExists()) {
        if (syncType == base::DatabaseRecord::SyncTypeHttpDownload) {
            const QString url = m_record->serverUrl();
            // The download runs the event loop while it waits, so a lock may cancel (and
            // delete) this flow before it returns.
            const QPointer<DatabaseOpenFlow> self(this);
            const bool downloaded = m_services.sources->downloadFromURL(
                url, vaultora::sync::HttpDownloadSync::fileNameForURL(url));
            if (!self || m_finished) {
                return false;
            }
            if (!downloaded) {
                finish(nullptr);
                return false;
            }
            openLocalCopy();
            return true;
        }
        if (syncType == base::DatabaseRecord::SyncTypeWebServer) {
            show(fileNotFoundAlert());
            finish(nullptr);
            return false;
        }
    }
    switch (syncType) {
    case base::DatabaseRecord::SyncTypeHttpDownload:
    case base::DatabaseRecord::SyncTypeWebServer:
        openLocalCopy();
        break;
    case base::DatabaseRecord::SyncTypeDropbox:
        if (m_services.sources->isInternetReachable()) {
            m_services.sources->syncWithDropbox(m_record, *this);
        } else {
            openLocalCopy();
        }
        break;
    default:
        // A record of no known type cannot be opened.
        finish(nullptr);
        break;
    }
    return true;
}

bool DatabaseOpenFlow::openLocalCopy() {
    // A sync that ends after a lock finds the flow finished and opens nothing.
    if (m_finished) {
        return false;
    }
    if (!databaseFileExists()) {
        show(fileNotFoundAlert());
        finish(nullptr);
        return false;
    }
    if (m_record && !m_record->keyFileName().isEmpty() && !m_record->usesPassword()) {
        load(std::nullopt, [this] { finish(nullptr); });
        return true;
    }
    if (m_record && m_record->savePassword() != 0) {
        // Reading the keychain also waits with the event loop running; a lock may come first.
        const QPointer<DatabaseOpenFlow> self(this);
        kdb::SecureBytes saved =
            app::PasswordStore::getPasswordForUsername(
                m_record->serverUrl(),
                QString::fromLatin1(base::AppConfiguration::passwordStoreService))
                .value_or(kdb::SecureBytes{});
        if (!self || m_finished) {
            return false;
        }
        m_record->setDatabasePassword(saved);
        load(saved, [this] {
            show(passwordNotCorrectAlert());
            askForPassword();
        });
        return true;
    }
    askForPassword();
    return true;
}

void DatabaseOpenFlow::askForPassword() {
    auto form = std::make_unique<PasswordForm>(*m_services.modalPresenter);
    form->createDialog(m_record ? m_record->serverDisplayName() : m_databaseFileName,
                       m_record ? m_record->keyFileName() : QString());
    form->setOpenFlow(this);
    m_form = form.get();
    auto navigation = std::make_unique<toolkit::NavigationContainer>(std::move(form));
    m_form->setNavigation(navigation.get());

    connect(m_form, &PasswordForm::loginRequested, this, [this](const app::LoginInfo& values) {
        load(values.password(), [this] { show(passwordNotCorrectAlert()); });
    });
    connect(m_form, &PasswordForm::cancelled, m_form, &PasswordForm::dismiss);
    // However the form goes (Cancel, a logout), a flow that has not opened the file by then
    // stops.
    connect(m_form, &QObject::destroyed, this, &DatabaseOpenFlow::cancel);

    const auto style = m_services.stack != nullptr
                           ? toolkit::ModalPresenter::styleForIdiom(m_services.stack->idiom())
                           : toolkit::ModalPresenter::Style::FormSheet;
    m_services.modalPresenter->presentPanel(std::move(navigation), style, toolkit::Animated::Yes);
}

void DatabaseOpenFlow::load(std::optional<kdb::SecureBytes> password,
                            std::function<void()> afterFailure) {
    if (!databaseFileExists()) {
        show(fileNotFoundAlert());
        afterFailure();
        return;
    }
    if (m_loading != nullptr) {
        // One load at a time: the overlay keeps the user from asking twice.
        return;
    }
    m_cancelFlag = std::make_shared<kdb::CancelFlag>();
    m_services.progressOverlay->showCancellable(QStringLiteral("Opening database"));
    // A file may ask for hours of key derivation; "Cancel" stops it.
    m_overlayCancel =
        connect(m_services.progressOverlay, &toolkit::ProgressOverlay::cancelRequested, this,
                [flag = m_cancelFlag] { flag->cancel(); });
    DatabaseLoadRequest request{databasePath().toStdString(), std::move(password),
                                keyFilePath().toStdString(), m_cancelFlag};
    m_loading = new QFutureWatcher<DatabaseLoadOutcome>(this);
    connect(m_loading, &QFutureWatcher<DatabaseLoadOutcome>::finished, this,
            [this, afterFailure = std::move(afterFailure)] {
                // Taken, not copied: the future's result store must not keep the tree alive
                // after the panels that show it are closed.
                DatabaseLoadOutcome outcome = m_loading->future().takeResult();
                m_loading->deleteLater();
                m_loading = nullptr;
                finishLoading(std::move(outcome), afterFailure);
            });
    m_loading->setFuture(QtConcurrent::run(
        [request = std::move(request)] { return DatabaseLoader::load(request); }));
}

void DatabaseOpenFlow::finishLoading(DatabaseLoadOutcome outcome,
                                     const std::function<void()>& afterFailure) {
    disconnect(m_overlayCancel);
    m_cancelFlag.reset();
    m_services.progressOverlay->hide();
    if (!outcome.tree && outcome.errorName == "Cancelled") {
        // Cancelled by the user: no alert; the form stays for another try.
        if (!m_form) {
            finish(nullptr);
        }
        return;
    }
    if (!outcome.tree) {
        if (const std::optional<OpenAlert> alert =
                alertForOpenFailure(outcome.errorName, outcome.errorReason)) {
            show(*alert);
        }
        afterFailure();
        return;
    }
    finish(std::move(outcome.tree));
}

void DatabaseOpenFlow::cancel() {
    if (m_finished) {
        return;
    }
    if (m_loading != nullptr) {
        // The worker stops at its next look at the flag if it is still deriving the key.
        // Without its watcher nobody takes the result, and the tree goes with the future once
        // the worker is done.
        m_cancelFlag->cancel();
        m_cancelFlag.reset();
        disconnect(m_overlayCancel);
        disconnect(m_loading, nullptr, this, nullptr);
        m_loading->deleteLater();
        m_loading = nullptr;
        m_services.progressOverlay->hide();
    }
    finish(nullptr);
}

void DatabaseOpenFlow::finish(std::shared_ptr<kdb::DatabaseTree> tree) {
    m_finished = true;
    emit finished(std::move(tree));
    if (m_form) {
        m_form->dismiss();
    }
    deleteLater();
}

} // namespace vaultora::ui
