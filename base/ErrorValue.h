#pragma once

#include <QString>
#include <QVariantMap>

namespace vaultora::base {

// A failure reported as a value: the domain that defines the code, the code, and further
// information for diagnostics.
struct ErrorValue {
    QString domain;
    int code = 0;
    QVariantMap userInfo;
};

} // namespace vaultora::base
