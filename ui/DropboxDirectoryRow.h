// A form row that leads somewhere: a title, a value at its right, an optional icon and a
// disclosure arrow; selecting it runs its action.
#pragma once

#include "ui/toolkit/FormRow.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace vaultora::ui {

class DropboxDirectoryRow final {
public:
    // The action runs on each selection while `context` exists.
    [[nodiscard]] static std::unique_ptr<toolkit::FormRow>
    create(const QString& title, const QString& value, const QString& imageName, QObject* context,
           std::function<void()> action);
};

} // namespace vaultora::ui
