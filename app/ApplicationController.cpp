#include "app/ApplicationController.h"

#include "app/IdleWatch.h"
#include "app/LaunchParts.h"
#include "app/PanelStack.h"
#include "app/PasswordStore.h"
#include "app/PrivateStorage.h"
#include "app/PropertyList.h"
#include "app/RegistryCodec.h"
#include "base/AppConfiguration.h"
#include "base/Notifications.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QStandardPaths>

namespace vaultora::app {

namespace {

ApplicationController* theDelegate = nullptr;

constexpr char registryFileName[] = "Vaultora.plist";
constexpr char legacyFileListName[] = "VaultoraDatabaseFiles.plist";
constexpr char bundledTestDatabase[] = ":/resources/test_database.kdb";

} // namespace

ApplicationController::ApplicationController(std::unique_ptr<LaunchParts> parts,
                                             QString documentsDirectory, QObject* parent)
    : QObject(parent), m_parts(std::move(parts)),
      m_documentsDirectory(documentsDirectory.isEmpty() ? defaultDocumentsDirectory()
                                                        : std::move(documentsDirectory)),
      m_clock([] { return QDateTime::currentDateTimeUtc(); }) {
    Q_ASSERT(theDelegate == nullptr);
    theDelegate = this;
}

ApplicationController::~ApplicationController() {
    base::NotificationCenter::defaultCenter().removeObservers(this);
    // The window and the screens go before the registry they show.
    m_idlingWindow = nullptr;
    m_stackController = nullptr;
    m_parts.reset();
    if (theDelegate == this) {
        theDelegate = nullptr;
    }
}

ApplicationController* ApplicationController::sharedDelegate() {
    return theDelegate;
}

QString ApplicationController::defaultDocumentsDirectory() {
    // Spelled out rather than the application data location, which would move with the
    // organisation name that the settings file's folder needs.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral("/Documents");
}

bool ApplicationController::didFinishLaunchingWithOptions() {
    // The developer view-inspection overlay is not part of this build.
    m_appSettings = AppSettings{};
    // Files written before the process restricted new files keep their wider modes.
    PrivateStorage::restrictDirectory(m_documentsDirectory);
    loadPList();

    if (m_parts) {
        m_idlingWindow = m_parts->createWindow(*this);
    }
    applyIdleInterval();
    if (m_parts) {
        m_stackController = m_parts->createNavigation(*this);
        m_parts->createCrashReportManager(*this);
    }

    base::NotificationCenter& center = base::NotificationCenter::defaultCenter();
    center.addObserver(QString::fromLatin1(base::Notifications::databasesChanged), this,
                       [this](const base::Notification& notification) {
                           receiveDatabaseChangedNotification(notification);
                       });
    center.addObserver(QString::fromLatin1(base::Notifications::settingsChanged), this,
                       [this](const base::Notification& notification) {
                           receiveSettingsChangedNotification(notification);
                       });

    if (m_parts) {
        m_parts->createDropboxSession(*this);
    }

    if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(application, &QGuiApplication::applicationStateChanged, this,
                &ApplicationController::onApplicationStateChanged);
    }
    return true;
}

QString ApplicationController::registryFilePath() const {
    return QDir(m_documentsDirectory).filePath(QString::fromLatin1(registryFileName));
}

QString ApplicationController::legacyFileListPath() const {
    return QDir(m_documentsDirectory).filePath(QString::fromLatin1(legacyFileListName));
}

void ApplicationController::loadPList() {
    m_serverArray.clear();
    QDir().mkpath(m_documentsDirectory);

    PropertyListFile::ReadResult registry = PropertyListFile::read(registryFilePath());
    if (registry.status == PropertyListFile::ReadStatus::Read &&
        RegistryCodec::isNonEmptyDictionary(registry.root.get())) {
        RegistryCodec::decode(registry.root.get(), m_serverArray, m_appSettings);
        return;
    }

    // A file that is there but cannot be used is kept under another name before a fresh
    // registry replaces it; only a missing, empty or empty-dictionary file is a plain first
    // start.
    bool mayWrite = true;
    if (registry.status == PropertyListFile::ReadStatus::Unreadable) {
        mayWrite = setUnreadableRegistryAside(registry.problem);
    } else if (registry.status == PropertyListFile::ReadStatus::Read &&
               plist_get_node_type(registry.root.get()) != PLIST_DICT) {
        mayWrite = setUnreadableRegistryAside(QStringLiteral("the root is not a dictionary"));
    }
    createFirstRegistry(mayWrite);
}

void ApplicationController::createFirstRegistry(bool mayWrite) {
    const PropertyListFile::ReadResult legacy = PropertyListFile::read(legacyFileListPath());
    if (legacy.status == PropertyListFile::ReadStatus::Unreadable) {
        qWarning().noquote() << "Ignoring the unreadable file list" << legacyFileListPath() << ":"
                             << legacy.problem;
    }
    base::ServerArray imported = RegistryCodec::decodeLegacyFileList(legacy.root.get());
    if (!imported.empty()) {
        m_serverArray = std::move(imported);
    } else {
        auto testDatabase = base::DatabaseRecord::createTestDatabase();
        installBundledTestDatabase();
        // A failure is logged by the password store; the user can still type the password.
        PasswordStore::storeUsername(
            testDatabase->serverUrl(), testDatabase->databasePassword(),
            QString::fromLatin1(base::AppConfiguration::passwordStoreService),
            PasswordStore::UpdateExisting::Yes);
        m_serverArray.push_back(std::move(testDatabase));
    }
    if (mayWrite) {
        savePList();
    }
}

bool ApplicationController::setUnreadableRegistryAside(const QString& problem) {
    const QString path = registryFilePath();
    const QString stamp = m_clock().toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString target = path + QStringLiteral(".unreadable-") + stamp;
    for (int attempt = 2; QFileInfo::exists(target); ++attempt) {
        target = path + QStringLiteral(".unreadable-") + stamp + QLatin1Char('-') +
                 QString::number(attempt);
    }
    if (!QFile::rename(path, target)) {
        qWarning().noquote() << "The registry file" << path << "cannot be read (" << problem
                             << ") and could not be moved aside; it is left as it is and "
                                "not overwritten";
        return false;
    }
    qWarning().noquote() << "The registry file" << path << "cannot be read (" << problem
                         << "); kept as" << target << "and starting with a new registry";
    return true;
}

void ApplicationController::installBundledTestDatabase() const {
    const QString target = getDocumentBaseDirectoryForFileName(
        QString::fromLatin1(base::AppConfiguration::testDatabaseFileName));
    if (QFileInfo::exists(target)) {
        return;
    }
    QFile bundled(QString::fromLatin1(bundledTestDatabase));
    if (!bundled.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "The bundled test database is missing from this build";
        return;
    }
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bundled.readAll()) != bundled.size() ||
        !copy.commit()) {
        qWarning().noquote() << "Could not copy the test database to" << target << ":"
                             << copy.errorString();
    }
}

void ApplicationController::savePList() {
    // A password typed for a database whose password is not saved lives no longer than
    // until the next save.
    for (const auto& record : m_serverArray) {
        if (record->savePassword() == 0) {
            record->setDatabasePassword({});
        }
    }
    const PropertyList root = RegistryCodec::encode(m_serverArray, m_appSettings);
    QString problem;
    if (!PropertyListFile::writeXml(registryFilePath(), root.get(), &problem)) {
        qWarning().noquote() << "Could not write the registry file" << registryFilePath() << ":"
                             << problem;
    }
}

void ApplicationController::receiveDatabaseChangedNotification(
    const base::Notification& notification) {
    Q_UNUSED(notification);
    savePList();
}

void ApplicationController::receiveSettingsChangedNotification(
    const base::Notification& notification) {
    Q_UNUSED(notification);
    savePList();
    applyIdleInterval();
}

void ApplicationController::applyIdleInterval() {
    if (m_idlingWindow != nullptr) {
        const auto seconds = static_cast<std::int64_t>(m_appSettings.iAutoLogoutTimer()) * 60;
        m_idlingWindow->setTimerValue(static_cast<double>(seconds));
    }
}

void ApplicationController::applicationDidEnterBackground() {
    if (m_stackController == nullptr) {
        return;
    }
    while (m_stackController->panelCount() > 0) {
        const std::size_t before = m_stackController->panelCount();
        m_stackController->popTopPanel(true);
        if (m_stackController->panelCount() >= before) {
            qWarning().noquote() << "The navigation did not close its topmost panel";
            break;
        }
    }
}

void ApplicationController::onApplicationStateChanged(Qt::ApplicationState state) {
    if (state == Qt::ApplicationHidden || state == Qt::ApplicationSuspended) {
        applicationDidEnterBackground();
    }
}

QString ApplicationController::getDocumentBaseDirectoryForFileName(const QString& fileName) const {
    // Names come from download addresses, Dropbox and uploads: only the last path component
    // is used, so that no name reaches outside the documents directory.
    QString name = fileName;
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0) {
        qWarning().noquote() << "Database file name" << fileName
                             << "names a folder; using its last component";
        name = name.mid(slash + 1);
    }
    QString path = m_documentsDirectory + QLatin1Char('/') + name;
    if (!path.endsWith(QLatin1String("kdb")) && !path.endsWith(QLatin1String("kdbx"))) {
        path += QLatin1String(".kdb");
    }
    return path;
}

} // namespace vaultora::app
