#include "ui/DatabaseDetailsScreen.h"

#include "app/ApplicationController.h"
#include "app/PasswordStore.h"
#include "base/AppConfiguration.h"
#include "base/NotificationCenter.h"
#include "base/Notifications.h"
#include "base/SecureText.h"
#include "sync/HttpDownloadSync.h"
#include "ui/DatabaseDetailsSubScreens.h"
#include "ui/DatabaseSources.h"
#include "ui/toolkit/NavigationContainer.h"
#include "ui/toolkit/TransientPanelHost.h"
#include "webserver/DocumentNames.h"

#include <QDebug>
#include <QDir>

namespace vaultora::ui {

namespace {

constexpr double errorPanelSeconds = 2.5;

const QString displayNameKey = QStringLiteral("databaseName");
const QString urlKey = QStringLiteral("databaseUrl");
const QString passwordKey = QStringLiteral("databasePassword");
const QString keyFileKey = QStringLiteral("keyFile");
const QString keyFileAloneKey = QStringLiteral("keyFileAlone");

[[nodiscard]] QString passwordStoreService() {
    return QString::fromLatin1(base::AppConfiguration::passwordStoreService);
}

[[nodiscard]] int positionForSyncType(std::int32_t syncType) {
    switch (syncType) {
    case base::DatabaseRecord::SyncTypeHttpDownload:
        return DatabaseDetailsScreen::HttpDownloadPosition;
    case base::DatabaseRecord::SyncTypeDropbox:
        return DatabaseDetailsScreen::DropboxPosition;
    default:
        return DatabaseDetailsScreen::WebServerPosition;
    }
}

} // namespace

DatabaseDetailsScreen::DatabaseDetailsScreen(const ScreenServices& services,
                                             DatabaseDetailsSubScreens& subScreens, QObject* parent)
    : toolkit::FormPanel({}, parent), m_services(services), m_subScreens(subScreens) {
    setFocusOnShow(true);
}

DatabaseDetailsScreen::~DatabaseDetailsScreen() = default;

void DatabaseDetailsScreen::setDatabaseRecord(std::shared_ptr<base::DatabaseRecord> record) {
    m_databaseRecord = std::move(record);
}

toolkit::FormModel* DatabaseDetailsScreen::createDialog() {
    if (!m_databaseRecord) {
        return form();
    }
    const base::DatabaseRecord& record = *m_databaseRecord;
    auto form = std::make_unique<toolkit::FormModel>(QStringLiteral("Database setting"),
                                                     toolkit::FormModel::Style::Grouped);

    const QStringList types{QStringLiteral("HTTP Download"), QStringLiteral("Web Server"),
                            QStringLiteral("Dropbox")};
    m_databaseType = form->addSection(QStringLiteral("Sync Type"))
                         ->addRow(toolkit::FormRow::choice(QStringLiteral("Type"), types,
                                                           positionForSyncType(record.syncType())));
    connect(m_databaseType, &toolkit::FormRow::choiceChanged, this,
            &DatabaseDetailsScreen::receiveQuickDialogRadioItemChangedNotification);

    QString password;
    if (const std::optional<kdb::SecureBytes> saved = app::PasswordStore::getPasswordForUsername(
            record.serverUrl(), passwordStoreService())) {
        password = QString::fromUtf8(reinterpret_cast<const char*>(saved->data()),
                                     static_cast<qsizetype>(saved->size()));
    }

    switch (record.syncType()) {
    case base::DatabaseRecord::SyncTypeHttpDownload:
        addHttpDownloadSections(*form, password);
        break;
    case base::DatabaseRecord::SyncTypeWebServer:
        addWebServerSections(*form, password);
        break;
    case base::DatabaseRecord::SyncTypeDropbox:
        addDropboxSections(*form, password);
        break;
    default:
        break;
    }
    return setForm(std::move(form));
}

void DatabaseDetailsScreen::addHttpDownloadSections(toolkit::FormModel& form,
                                                    const QString& password) {
    const base::DatabaseRecord& record = *m_databaseRecord;
    toolkit::FormSection* settings = form.addSection(QStringLiteral("HTTP Download settings"));
    settings->addRow(toolkit::FormRow::textEntry(QStringLiteral("Display Name"),
                                                 record.serverDisplayName(), displayNameKey,
                                                 QStringLiteral("type display name here")));
    settings->addRow(toolkit::FormRow::textEntry(QStringLiteral("Database URL"), record.serverUrl(),
                                                 urlKey, QStringLiteral("type URL here")));
    addPasswordSection(form, password, QStringLiteral("optional password - not recomended"));
    toolkit::FormSection* buttons = form.addSection();
    addButton(*buttons, QStringLiteral("HTTP Dowload"), &DatabaseDetailsScreen::httpDownload);
    addButton(*buttons, QStringLiteral("Save"), &DatabaseDetailsScreen::saveHttpDownload);
}

void DatabaseDetailsScreen::addWebServerSections(toolkit::FormModel& form,
                                                 const QString& password) {
    const base::DatabaseRecord& record = *m_databaseRecord;
    toolkit::FormSection* settings = form.addSection(QStringLiteral("HTTP Server settings"));
    // The row says what the upload has brought so far: the record's file, or none yet.
    const QString uploaded = record.databaseName().isEmpty() ? QStringLiteral("no file uploaded")
                                                             : record.databaseName();
    connect(settings->addRow(toolkit::FormRow::navigation(QStringLiteral("HTTP Server"), uploaded)),
            &toolkit::FormRow::selected, this, &DatabaseDetailsScreen::openUploadScreen);
    settings->addRow(toolkit::FormRow::textEntry(QStringLiteral("Display Name"),
                                                 record.serverDisplayName(), displayNameKey,
                                                 QStringLiteral("type display name here")));
    addPasswordSection(form, password, QStringLiteral("optional password - not recomended"));
    addButton(*form.addSection(), QStringLiteral("Save"), &DatabaseDetailsScreen::saveWebServer);
}

void DatabaseDetailsScreen::addDropboxSections(toolkit::FormModel& form, const QString& password) {
    const base::DatabaseRecord& record = *m_databaseRecord;
    toolkit::FormSection* settings = form.addSection(QStringLiteral("DropBox settings"));
    const QString fileName =
        record.databaseName().isEmpty() ? QStringLiteral("click here") : record.databaseName();
    connect(settings->addRow(toolkit::FormRow::navigation(QStringLiteral("File name"), fileName)),
            &toolkit::FormRow::selected, this, &DatabaseDetailsScreen::openDropboxPicker);
    settings->addRow(toolkit::FormRow::textEntry(QStringLiteral("Display Name"),
                                                 record.serverDisplayName(), displayNameKey,
                                                 QStringLiteral("type display name here")));
    addPasswordSection(form, password, QStringLiteral("optional password"));
    toolkit::FormSection* buttons = form.addSection();
    addButton(*buttons, QStringLiteral("Unlink"), &DatabaseDetailsScreen::unlinkDropbox);
    addButton(*buttons, QStringLiteral("Save"), &DatabaseDetailsScreen::saveDropbox);
}

void DatabaseDetailsScreen::addPasswordSection(toolkit::FormModel& form, const QString& password,
                                               const QString& placeholder) {
    form.addSection(QStringLiteral("Optional Password"))
        ->addRow(toolkit::FormRow::textEntry(QStringLiteral("Password"), password, passwordKey,
                                             placeholder, toolkit::FormRow::Echo::Secure));
    addKeyFileSection(form);
}

QStringList DatabaseDetailsScreen::keyFileCandidates() const {
    QStringList names;
    if (m_services.delegate == nullptr) {
        return names;
    }
    const QDir documents(m_services.delegate->documentsDirectory());
    for (const QString& name : documents.entryList(QDir::Files, QDir::Name)) {
        if (webserver::isReservedDocumentName(name) ||
            name.endsWith(QLatin1String(".kdb"), Qt::CaseInsensitive) ||
            name.endsWith(QLatin1String(".kdbx"), Qt::CaseInsensitive)) {
            continue;
        }
        names.append(name);
    }
    return names;
}

void DatabaseDetailsScreen::addKeyFileSection(toolkit::FormModel& form) {
    const base::DatabaseRecord& record = *m_databaseRecord;
    QStringList items{QStringLiteral("None")};
    items.append(keyFileCandidates());
    // A key file that has gone from the directory stays chosen until another is.
    if (!record.keyFileName().isEmpty() && !items.contains(record.keyFileName())) {
        items.append(record.keyFileName());
    }
    const auto chosen = static_cast<int>(items.indexOf(record.keyFileName()));
    toolkit::FormSection* section = form.addSection(QStringLiteral("Optional Key File"));
    section->addRow(toolkit::FormRow::choice(QStringLiteral("Key file"), items,
                                             record.keyFileName().isEmpty() ? 0 : chosen,
                                             keyFileKey));
    section->addRow(toolkit::FormRow::switchRow(QStringLiteral("Key file alone (no password)"),
                                                !record.usesPassword(), keyFileAloneKey));
}

void DatabaseDetailsScreen::keyFileStep() {
    const toolkit::FormModel* current = form();
    const toolkit::FormRow* choice = current != nullptr ? current->rowForKey(keyFileKey) : nullptr;
    const toolkit::FormRow* alone =
        current != nullptr ? current->rowForKey(keyFileAloneKey) : nullptr;
    if (choice == nullptr) {
        return;
    }
    const int index = choice->selectedIndex();
    m_databaseRecord->setKeyFileName(
        index > 0 && index < choice->choices().size() ? choice->choices().at(index) : QString());
    m_databaseRecord->setUsesPassword(m_databaseRecord->keyFileName().isEmpty() ||
                                      alone == nullptr || !alone->isOn());
}

void DatabaseDetailsScreen::addButton(toolkit::FormSection& section, const QString& label,
                                      void (DatabaseDetailsScreen::*action)()) {
    connect(section.addRow(toolkit::FormRow::button(label)), &toolkit::FormRow::selected, this,
            action);
}

void DatabaseDetailsScreen::receiveQuickDialogRadioItemChangedNotification(int position) {
    if (!m_databaseRecord) {
        return;
    }
    switch (position) {
    case HttpDownloadPosition:
        m_databaseRecord->setSyncType(base::DatabaseRecord::SyncTypeHttpDownload);
        break;
    case WebServerPosition:
        m_databaseRecord->setSyncType(base::DatabaseRecord::SyncTypeWebServer);
        break;
    case DropboxPosition:
        m_databaseRecord->setSyncType(base::DatabaseRecord::SyncTypeDropbox);
        break;
    default:
        return;
    }
    createDialog();
}

QString DatabaseDetailsScreen::enteredText(const QString& key) const {
    const toolkit::FormModel* current = form();
    const toolkit::FormRow* row = current != nullptr ? current->rowForKey(key) : nullptr;
    return row != nullptr ? row->text() : QString();
}

void DatabaseDetailsScreen::httpDownload() {
    if (!m_databaseRecord) {
        return;
    }
    const QString url = enteredText(urlKey);
    if (url.isEmpty()) {
        m_services.transientPanels->showError(QStringLiteral("You must set the database URL"),
                                              QString(), errorPanelSeconds);
        return;
    }
    m_databaseRecord->setServerDisplayName(enteredText(displayNameKey));
    m_databaseRecord->setServerUrl(url);
    const QString fileName = vaultora::sync::HttpDownloadSync::fileNameForURL(url);
    // The download shows its own progress and failure; the record names the file either way,
    // as a later opening downloads it when it is missing.
    if (m_services.sources != nullptr) {
        static_cast<void>(m_services.sources->downloadFromURL(url, fileName));
    }
    m_databaseRecord->setDatabaseName(fileName);
    announceChange();
}

void DatabaseDetailsScreen::saveHttpDownload() {
    if (!m_databaseRecord) {
        return;
    }
    const QString url = enteredText(urlKey);
    m_databaseRecord->setServerDisplayName(enteredText(displayNameKey));
    m_databaseRecord->setServerUrl(url);
    // A record without a file name could never be opened: the first opening would download
    // the file and then look for it under no name. It takes the name its download uses.
    if (m_databaseRecord->databaseName().isEmpty() && !url.isEmpty()) {
        m_databaseRecord->setDatabaseName(vaultora::sync::HttpDownloadSync::fileNameForURL(url));
    }
    passwordStep(url);
    keyFileStep();
    m_databaseRecord->setSyncType(base::DatabaseRecord::SyncTypeHttpDownload);
    announceChange();
    leaveScreen();
}

void DatabaseDetailsScreen::saveWebServer() {
    if (!m_databaseRecord) {
        return;
    }
    if (m_databaseRecord->databaseName().isEmpty()) {
        m_services.transientPanels->showError(
            QStringLiteral("You must first upload a database file"), QString(), errorPanelSeconds);
        return;
    }
    m_databaseRecord->setServerDisplayName(enteredText(displayNameKey));
    passwordStep(m_databaseRecord->serverUrl());
    keyFileStep();
    m_databaseRecord->setSyncType(base::DatabaseRecord::SyncTypeWebServer);
    announceChange();
    leaveScreen();
}

void DatabaseDetailsScreen::saveDropbox() {
    if (!m_databaseRecord) {
        return;
    }
    if (m_databaseRecord->serverUrl().isEmpty()) {
        m_services.transientPanels->showError(QStringLiteral("You must select a DropBox file."),
                                              QString(), errorPanelSeconds);
        return;
    }
    m_databaseRecord->setServerDisplayName(enteredText(displayNameKey));
    passwordStep(m_databaseRecord->serverUrl());
    keyFileStep();
    m_databaseRecord->setSyncType(base::DatabaseRecord::SyncTypeDropbox);
    m_subScreens.downloadDropboxFile(m_databaseRecord);
    announceChange();
    leaveScreen();
}

void DatabaseDetailsScreen::passwordStep(const QString& account) {
    base::DatabaseRecord& record = *m_databaseRecord;
    const QString password = enteredText(passwordKey);
    if (password.isEmpty()) {
        record.setSaveDatabasePassword(0);
        record.setSavePassword(0);
        static_cast<void>(
            app::PasswordStore::deleteItemForUsername(account, passwordStoreService()));
        return;
    }
    std::optional<base::ErrorValue> error;
    const bool stored = app::PasswordStore::storeUsername(
        account, base::secureUtf8(password), passwordStoreService(),
        app::PasswordStore::UpdateExisting::Yes, &error);
    // The flags tell the open flow to read the store; they must not promise a password the
    // store did not take.
    const std::int32_t saved = stored ? 1 : 0;
    record.setSaveDatabasePassword(saved);
    record.setSavePassword(saved);
    if (!stored) {
        qWarning().noquote() << "The master password of" << record.serverDisplayName()
                             << "was not saved:" << (error ? error->domain : QString())
                             << (error ? error->code : 0);
    }
}

void DatabaseDetailsScreen::announceChange() {
    base::NotificationCenter::defaultCenter().post(
        QString::fromLatin1(base::Notifications::databasesChanged));
}

void DatabaseDetailsScreen::leaveScreen() {
    if (toolkit::NavigationContainer* container = navigationContainer()) {
        container->popTopPanel(toolkit::Animated::Yes);
    }
}

void DatabaseDetailsScreen::pushSubScreen(std::unique_ptr<toolkit::Panel> screen) {
    toolkit::NavigationContainer* container = navigationContainer();
    if (screen && container != nullptr) {
        container->pushPanel(std::move(screen), toolkit::Animated::Yes);
    }
}

void DatabaseDetailsScreen::openUploadScreen() {
    if (m_databaseRecord) {
        pushSubScreen(m_subScreens.createUploadScreen(m_databaseRecord, *this));
    }
}

void DatabaseDetailsScreen::openDropboxPicker() {
    if (!m_databaseRecord) {
        return;
    }
    if (m_services.sources == nullptr || !m_services.sources->isInternetReachable()) {
        m_services.transientPanels->showError(QStringLiteral("There is no network available!"),
                                              QStringLiteral("No access to DropBox possible."),
                                              errorPanelSeconds);
        return;
    }
    pushSubScreen(m_subScreens.createDropboxPicker(QStringLiteral("/"), m_databaseRecord, *this));
}

void DatabaseDetailsScreen::unlinkDropbox() {
    m_subScreens.unlinkDropbox();
    m_services.transientPanels->showInformation(
        QStringLiteral("Account Unlinked!"),
        QStringLiteral("Your dropbox account has been unlinked"), errorPanelSeconds);
}

} // namespace vaultora::ui
