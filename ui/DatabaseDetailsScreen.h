// The details of one registered database as a form: its sync type and, per type, its source,
// its display name, an optional saved master password and an optional key file from the
// documents directory (with or without the password). It edits the registry's own record,
// so changes reach the registry at once; the saves announce them.
#pragma once

#include "base/DatabaseRecord.h"
#include "ui/ScreenServices.h"
#include "ui/toolkit/FormPanel.h"

#include <QPointer>
#include <QString>

#include <memory>

namespace vaultora::ui {

class DatabaseDetailsSubScreens;

class DatabaseDetailsScreen final : public toolkit::FormPanel {
    Q_OBJECT

public:
    // Positions of the sync-type choice.
    enum TypePosition { HttpDownloadPosition = 0, WebServerPosition = 1, DropboxPosition = 2 };

    DatabaseDetailsScreen(const ScreenServices& services, DatabaseDetailsSubScreens& subScreens,
                          QObject* parent = nullptr);
    ~DatabaseDetailsScreen() override;

    // Set by the opener before createDialog.
    void setDatabaseRecord(std::shared_ptr<base::DatabaseRecord> record);
    void setIServerArrayIndex(int index) { m_iServerArrayIndex = index; }

    [[nodiscard]] const std::shared_ptr<base::DatabaseRecord>& keePassServerDetail() const {
        return m_databaseRecord;
    }
    [[nodiscard]] int iServerArrayIndex() const { return m_iServerArrayIndex; }
    // The sync-type choice of the current form.
    [[nodiscard]] toolkit::FormRow* databaseType() const { return m_databaseType; }

    // Builds the form from the record and shows it; the sub-screens call it after changing the
    // record.
    toolkit::FormModel* createDialog();

    // A new sync-type position was chosen: the record takes the type at once and the form is
    // rebuilt for it.
    void receiveQuickDialogRadioItemChangedNotification(int position);

    // The buttons and rows of the forms.
    void httpDownload();
    void saveHttpDownload();
    void saveWebServer();
    void saveDropbox();
    void openUploadScreen();
    void openDropboxPicker();
    void unlinkDropbox();

private:
    void addHttpDownloadSections(toolkit::FormModel& form, const QString& password);
    void addWebServerSections(toolkit::FormModel& form, const QString& password);
    void addDropboxSections(toolkit::FormModel& form, const QString& password);
    void addPasswordSection(toolkit::FormModel& form, const QString& password,
                            const QString& placeholder);
    void addKeyFileSection(toolkit::FormModel& form);
    // The files of the documents directory that may be key files: all but databases, the
    // registry and hidden files.
    [[nodiscard]] QStringList keyFileCandidates() const;
    // Takes the chosen key file, and whether the database opens with it alone, into the record.
    void keyFileStep();
    void addButton(toolkit::FormSection& section, const QString& label,
                   void (DatabaseDetailsScreen::*action)());

    [[nodiscard]] QString enteredText(const QString& key) const;
    // Saves or forgets the entered master password for the account and sets the record's
    // password flags to match what the store holds.
    void passwordStep(const QString& account);
    // The form edits the registry's own record, so putting it back at its place in the
    // registry is already done; what is left is to announce the change.
    void announceChange();
    void leaveScreen();
    void pushSubScreen(std::unique_ptr<toolkit::Panel> screen);

    const ScreenServices& m_services;
    DatabaseDetailsSubScreens& m_subScreens;
    std::shared_ptr<base::DatabaseRecord> m_databaseRecord;
    int m_iServerArrayIndex = -1;
    QPointer<toolkit::FormRow> m_databaseType;
};

} // namespace vaultora::ui
