#include "ui/toolkit/UrlOpener.h"

#include <QDesktopServices>

namespace vaultora::toolkit {

bool SystemUrlOpener::openUrl(const QUrl& url) {
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace vaultora::toolkit
