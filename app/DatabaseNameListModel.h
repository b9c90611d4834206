#pragma once

#include "app/KeePassServerDetail.h"

#include <QAbstractListModel>
#include <QStringList>

// The names of the registered databases, in registry order. Follows the registry on
// "KeePassDatabasesHasChanged".
class DatabaseNameListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        DisplayNameRole = Qt::UserRole + 1,
        DatabaseNameRole,
    };

    explicit DatabaseNameListModel(const ServerArray& servers, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    void rebuild();

private:
    struct Row {
        QString displayName;
        QString databaseName;
    };

    const ServerArray& m_servers;
    QList<Row> m_rows;
};
