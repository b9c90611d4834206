#include "ui/toolkit/AlertPresenter.h"

namespace vaultora::toolkit {

AlertPresenter::AlertPresenter(QObject* parent) : QAbstractListModel(parent) {}

Alert* AlertPresenter::show(const QString& title, const QString& message,
                            const QStringList& buttons) {
    const QStringList shownButtons =
        buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons;
    auto* alert = new Alert(title, message, shownButtons, this);
    const auto row = static_cast<int>(m_alerts.size());
    beginInsertRows({}, row, row);
    m_alerts.append(alert);
    endInsertRows();
    connect(alert, &Alert::closed, this, [this, alert] {
        const auto position = static_cast<int>(m_alerts.indexOf(alert));
        if (position < 0) {
            return;
        }
        beginRemoveRows({}, position, position);
        m_alerts.removeAt(position);
        endRemoveRows();
        alert->deleteLater();
    });
    return alert;
}

int AlertPresenter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_alerts.size());
}

QVariant AlertPresenter::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != AlertRole) {
        return {};
    }
    return QVariant::fromValue<QObject*>(m_alerts.at(index.row()));
}

QHash<int, QByteArray> AlertPresenter::roleNames() const {
    return {{AlertRole, "alert"}};
}

} // namespace vaultora::toolkit
