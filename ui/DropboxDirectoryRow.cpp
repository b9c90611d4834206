#include "ui/DropboxDirectoryRow.h"

namespace vaultora::ui {

std::unique_ptr<toolkit::FormRow>
DropboxDirectoryRow::create(const QString& title, const QString& value, const QString& imageName,
                            QObject* context, std::function<void()> action) {
    std::unique_ptr<toolkit::FormRow> row = toolkit::FormRow::navigation(title, value, imageName);
    QObject::connect(row.get(), &toolkit::FormRow::selected, context, std::move(action));
    return row;
}

} // namespace vaultora::ui
