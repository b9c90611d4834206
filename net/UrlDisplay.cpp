#include "net/UrlDisplay.h"

#include <QRegularExpression>
#include <QUrl>

namespace vaultora::net {

QString UrlDisplay::withoutUserInfo(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    if (parsed.isValid() && !parsed.scheme().isEmpty()) {
        return parsed.adjusted(QUrl::RemoveUserInfo).toString();
    }
    // Whatever sits between "//" and the last "@" before the path is user information.
    static const QRegularExpression userInfo(QStringLiteral("^([^:/?#]*:?//)[^/?#]*@"));
    return QString(url).replace(userInfo, QStringLiteral("\\1"));
}

QString UrlDisplay::scrub(const QString& text, const QString& url) {
    QString shown = text;
    if (!url.isEmpty()) {
        shown.replace(url, withoutUserInfo(url));
    }
    const QUrl parsed(url);
    for (const QString& secret :
         {parsed.password(QUrl::FullyDecoded), parsed.password(QUrl::FullyEncoded)}) {
        if (!secret.isEmpty()) {
            shown.replace(secret, QStringLiteral("***"));
        }
    }
    return shown;
}

} // namespace vaultora::net
