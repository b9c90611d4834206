// Keeps what the application stores readable by its user alone: the documents directory holds
// every password database and the registry, and the settings file the Dropbox token.
#pragma once

#include <QString>

namespace vaultora::app {

class PrivateStorage final {
public:
    PrivateStorage() = delete;

    // From now on this process creates files 0600 and folders 0700, whichever part writes them.
    static void restrictNewFiles();
    // Makes the directory 0700 and every regular file directly inside it 0600. Links are left
    // alone, so that nothing outside the directory changes. Returns false when a mode could
    // not be set.
    static bool restrictDirectory(const QString& directory);
    // Makes an existing regular file 0600; a missing file is no failure.
    static bool restrictFile(const QString& path);
    // Moves the settings file an earlier version kept at earlierPath to currentPath, when only
    // the earlier one exists, so that a saved Dropbox link survives the move.
    static bool adoptSettingsFile(const QString& earlierPath, const QString& currentPath);
};

} // namespace vaultora::app
