#pragma once

#include "app/AppSettings.h"
#include "base/DatabaseRecord.h"
#include "base/NotificationCenter.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace vaultora::app {

class IdleWatch;
class LaunchParts;
class PanelStack;

// The root of the application: owns the registry of databases and the settings, keeps them
// in the registry file "Vaultora.plist" of the documents directory, and wires the window,
// the screens and the services together at launch. Exactly one exists; every other part
// reaches it through sharedDelegate().
class ApplicationController final : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDateTime()>;

    // documentsDirectory empty: the application's private documents directory.
    explicit ApplicationController(std::unique_ptr<LaunchParts> parts,
                                   QString documentsDirectory = {}, QObject* parent = nullptr);
    ~ApplicationController() override;

    ApplicationController(const ApplicationController&) = delete;
    ApplicationController& operator=(const ApplicationController&) = delete;

    // The delegate of this process, or nullptr before it exists.
    [[nodiscard]] static ApplicationController* sharedDelegate();
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

    void receiveDatabaseChangedNotification(const base::Notification& notification);
    void receiveSettingsChangedNotification(const base::Notification& notification);

    // Closes every panel of the stacked navigation, which closes every open database.
    void applicationDidEnterBackground();

    // The full path of a database file in the documents directory; ".kdb" is appended when
    // the name ends neither in "kdb" nor in "kdbx".
    [[nodiscard]] QString getDocumentBaseDirectoryForFileName(const QString& fileName) const;

    [[nodiscard]] AppSettings& appSettings() { return m_appSettings; }
    // The registry, shared by reference: the settings screens edit it in place and then post
    // "KeePassDatabasesHasChanged".
    [[nodiscard]] base::ServerArray& serverArray() { return m_serverArray; }
    [[nodiscard]] IdleWatch* idlingWindow() const { return m_idlingWindow; }
    [[nodiscard]] PanelStack* stackController() const { return m_stackController; }

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

    std::unique_ptr<LaunchParts> m_parts;
    QString m_documentsDirectory;
    AppSettings m_appSettings;
    base::ServerArray m_serverArray;
    IdleWatch* m_idlingWindow = nullptr;
    PanelStack* m_stackController = nullptr;
    Clock m_clock;
};

} // namespace vaultora::app
