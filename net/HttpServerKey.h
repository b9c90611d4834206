#pragma once

#include <QString>
#include <QUrl>

namespace vaultora::net {

// "scheme://host:port" with the scheme's default port filled in: the unit that connections
// and accepted credentials belong to.
[[nodiscard]] inline QString httpServerKey(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    const int port = url.port(scheme == QLatin1String("https") ? 443 : 80);
    return scheme + QLatin1String("://") + url.host().toLower() + QLatin1Char(':') +
           QString::number(port);
}

} // namespace vaultora::net
