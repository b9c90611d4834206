// A plain value object that a form copies its entered values into, one key at a time.
#pragma once

#include <QString>
#include <QVariant>

namespace vaultora::toolkit {

class KeyValueTarget {
public:
    virtual ~KeyValueTarget() = default;

    // An invalid value means the row was never given a value (a text entry never typed into).
    virtual void setValue(const QVariant& value, const QString& key) = 0;
};

} // namespace vaultora::toolkit
