// Lets a form copy its values into a LoginInfo by key: "login" and "password".
#pragma once

#include "app/LoginInfo.h"
#include "ui/toolkit/KeyValueTarget.h"

namespace vaultora::ui {

class LoginInfoTarget final : public toolkit::KeyValueTarget {
public:
    explicit LoginInfoTarget(app::LoginInfo& values) : m_values(values) {}

    void setValue(const QVariant& value, const QString& key) override;

private:
    app::LoginInfo& m_values;
};

} // namespace vaultora::ui
