#include "ui/ApplicationVersion.h"

#include "BuildVersion.h"

namespace vaultora::ui {

QString ApplicationVersion::shortVersion() {
    return QString::fromLatin1(BuildVersion::shortVersion);
}

QString ApplicationVersion::buildVersion() {
    return QString::fromLatin1(BuildVersion::buildVersion);
}

QString ApplicationVersion::versionText() {
    return QStringLiteral("%1 (%2)").arg(shortVersion(), buildVersion());
}

} // namespace vaultora::ui
