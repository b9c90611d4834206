// The application's version as the settings and about screens show it: the short version
// (the project version) and the build version (the commit), both fixed by the build.
#pragma once

#include <QString>

namespace vaultora::ui {

class ApplicationVersion final {
public:
    ApplicationVersion() = delete;

    [[nodiscard]] static QString shortVersion();
    [[nodiscard]] static QString buildVersion();
    // "short (build)", the text of the "Version" rows.
    [[nodiscard]] static QString versionText();
};

} // namespace vaultora::ui
