#pragma once

#include "app/KeePassServerDetail.h"
#include "app/NotificationCenter.h"
#include "app/ZTAppSettings.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ZTIdleWatch;
class ZTLaunchParts;
class ZTPanelStack;

// The root of the application: owns the registry of databases and the settings, keeps them
// in the registry file "Vaultora.plist" of the documents directory, and wires the window,
// the screens and the services together at launch. Exactly one exists; every other part
// reaches it through sharedDelegate().
class ZTAppDelegate final : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // documentsDirectory empty: the application's private documents directory.
    explicit ZTAppDelegate(std::unique_ptr<ZTLaunchParts> parts, QString documentsDirectory = {},
                           QObject* parent = nullptr);
    ~ZTAppDelegate() override;

    ZTAppDelegate(const ZTAppDelegate&) = delete;
    ZTAppDelegate& operator=(const ZTAppDelegate&) = delete;

    // The delegate of this process, or nullptr before it exists.
    [[nodiscard]] static ZTAppDelegate* sharedDelegate();
    // Where database files and the registry live: private to the application (never the
    // user's shared Documents folder, which the upload server would otherwise expose).
    [[nodiscard]] static QString defaultDocumentsDirectory();

    // The launch: settings, registry, window, navigation, crash reports, notifications,
    // Dropbox session. Returns true.
    bool didFinishLaunchingWithOptions();

    // Replaces the registry and the settings with the registry file's, or creates the first
    // registry (legacy file list or test database) and writes it.
    void loadPList();
    // Writes the registry and the settings to the registry file, atomically.
    void savePList();

    void receiveDatabaseChangedNotification(const Notification& notification);
    void receiveSettingsChangedNotification(const Notification& notification);

    // Closes every panel of the stacked navigation, which closes every open database.
    void applicationDidEnterBackground();

    // The full path of a database file in the documents directory; ".kdb" is appended when
    // the name ends neither in "kdb" nor in "kdbx".
    [[nodiscard]] QString getDocumentBaseDirectoryForFileName(const QString& fileName) const;

    [[nodiscard]] ZTAppSettings& appSettings() { return m_appSettings; }
    // The registry, shared by reference: the settings screens edit it in place and then post
    // "KeePassDatabasesHasChanged".
    [[nodiscard]] ServerArray& serverArray() { return m_serverArray; }
    [[nodiscard]] ZTIdleWatch* idlingWindow() const { return m_idlingWindow; }
    [[nodiscard]] ZTPanelStack* stackController() const { return m_stackController; }

    [[nodiscard]] const QString& documentsDirectory() const { return m_documentsDirectory; }
    [[nodiscard]] QString registryFilePath() const;
    [[nodiscard]] QString legacyFileListPath() const;

    // The time used to name a registry file that is set aside.
    void setClock(Clock clock) { m_clock = std::move(clock); }

private:
    void createFirstRegistry(bool mayWrite);
    [[nodiscard]] bool setUnreadableRegistryAside(const QString& problem);
    void installBundledTestDatabase() const;
    void applyIdleInterval();
    void onApplicationStateChanged(Qt::ApplicationState state);

    std::unique_ptr<ZTLaunchParts> m_parts;
    QString m_documentsDirectory;
    ZTAppSettings m_appSettings;
    ServerArray m_serverArray;
    ZTIdleWatch* m_idlingWindow = nullptr;
    ZTPanelStack* m_stackController = nullptr;
    Clock m_clock;
};
