#include "app/DatabaseNameListModel.h"

#include "app/NotificationCenter.h"
#include "app/Notifications.h"

DatabaseNameListModel::DatabaseNameListModel(const ServerArray& servers, QObject* parent)
    : QAbstractListModel(parent), m_servers(servers) {
    rebuild();
    NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(Notifications::databasesChanged), this,
        [this](const Notification&) { rebuild(); });
}

int DatabaseNameListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant DatabaseNameListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case DisplayNameRole:
        return row.displayName;
    case DatabaseNameRole:
        return row.databaseName;
    default:
        return {};
    }
}

QHash<int, QByteArray> DatabaseNameListModel::roleNames() const {
    return {{DisplayNameRole, "displayName"}, {DatabaseNameRole, "databaseName"}};
}

void DatabaseNameListModel::rebuild() {
    beginResetModel();
    m_rows.clear();
    for (const auto& record : m_servers) {
        m_rows.push_back(Row{record->serverDisplayName(), record->databaseName()});
    }
    endResetModel();
}
