// An error value of the network layers: a domain, a code and further information, of which
// the localized description is the text shown to the user.
#pragma once

#include <QString>
#include <QVariantMap>

namespace vaultora::net {

struct NetworkError {
    static inline const QString LocalizedDescriptionKey = QStringLiteral("NSLocalizedDescription");
    // The lower layer's own failure text, when there is one.
    static inline const QString UnderlyingErrorKey = QStringLiteral("NSUnderlyingError");

    QString domain;
    int code = 0;
    QVariantMap userInfo;

    [[nodiscard]] QString localizedDescription() const {
        return userInfo.value(LocalizedDescriptionKey).toString();
    }
    [[nodiscard]] QString underlyingError() const {
        return userInfo.value(UnderlyingErrorKey).toString();
    }
};

} // namespace vaultora::net
