// The open flow of one registered database: brings the file up to date with the record's
// synchroniser, finds the master password (the password store, else the password form), opens
// the file off the main thread and hands over the opened tree. A lock cancels it.
#pragma once

#include "base/DatabaseRecord.h"
#include "ui/DatabaseLoader.h"
#include "ui/ScreenServices.h"

#include "kdb/CancelFlag.h"
#include "kdb/DatabaseModel.h"
#include "kdb/SecureBytes.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace vaultora::ui {

class PasswordForm;
struct OpenAlert;

class DatabaseOpenFlow final : public QObject {
    Q_OBJECT

public:
    DatabaseOpenFlow(const ScreenServices& services, QString databaseFileName,
                     std::shared_ptr<base::DatabaseRecord> record, QObject* parent = nullptr);
    ~DatabaseOpenFlow() override;

    [[nodiscard]] const QString& databaseFileName() const { return m_databaseFileName; }
    [[nodiscard]] const std::shared_ptr<base::DatabaseRecord>& record() const { return m_record; }

    // The entry point: brings the file up to date with the record's synchroniser and goes on
    // with openLocalCopy. False when it stopped (missing file, failed download).
    bool start();
    // Goes on with the file on the device: the key file alone when the record says the
    // database has no password, else the saved password when the record keeps one, otherwise
    // (or when it fails) the password form. False when the file is missing. The Dropbox sync
    // calls this once it is done.
    bool openLocalCopy();
    // Stops the flow wherever it is: a running load is told to stop deriving its key and
    // finishes unseen, its tree dropped, and the password form is cleared and dismissed. The
    // flow then finishes without a tree.
    void cancel();

    // Until finished has been emitted.
    [[nodiscard]] bool isRunning() const { return !m_finished; }
    // The flows of the owner that have not finished yet.
    [[nodiscard]] static QList<DatabaseOpenFlow*> runningFlowsOf(const QObject& owner);

signals:
    // The completion, emitted once: the opened tree, or none when the flow stopped without one
    // (missing file, failed download, the form closed, a lock). The flow deletes itself later.
    void finished(std::shared_ptr<kdb::DatabaseTree> tree);

private:
    void askForPassword();
    // Opens the file with the password (none for a key file alone) and the record's key file
    // off the main thread behind the progress overlay, whose "Cancel" stops the load. Success
    // finishes the flow; a failure is shown and then afterFailure runs. A load cancelled from
    // the overlay goes back to the form, or finishes the flow when there is none.
    void load(std::optional<kdb::SecureBytes> password, std::function<void()> afterFailure);
    void finishLoading(DatabaseLoadOutcome outcome, const std::function<void()>& afterFailure);
    void finish(std::shared_ptr<kdb::DatabaseTree> tree);
    void show(const OpenAlert& alert) const;
    [[nodiscard]] QString databasePath() const;
    // The record's key file in the documents directory, or empty.
    [[nodiscard]] QString keyFilePath() const;
    [[nodiscard]] bool databaseFileExists() const;

    const ScreenServices& m_services;
    QString m_databaseFileName;
    std::shared_ptr<base::DatabaseRecord> m_record;
    QPointer<PasswordForm> m_form;
    QFutureWatcher<DatabaseLoadOutcome>* m_loading = nullptr;
    // The cancel flag of the running load, shared with its worker.
    std::shared_ptr<kdb::CancelFlag> m_cancelFlag;
    QMetaObject::Connection m_overlayCancel;
    bool m_finished = false;
};

} // namespace vaultora::ui
