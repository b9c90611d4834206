// Lets a form copy its values into a LoginInfo by key: "login" and "password".
#pragma once

#include "app/LoginInfo.h"
#include "ui/toolkit/KeyValueTarget.h"

class LoginInfoTarget final : public toolkit::KeyValueTarget {
public:
    explicit LoginInfoTarget(LoginInfo& values) : m_values(values) {}

    void setValue(const QVariant& value, const QString& key) override;

private:
    LoginInfo& m_values;
};
