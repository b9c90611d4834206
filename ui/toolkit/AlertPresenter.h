// Shows alerts over the window, the newest on top, and releases each once a button closed it.
#pragma once

#include "ui/toolkit/Alert.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

namespace vaultora::toolkit {

class AlertPresenter : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The alert presenter is created by the application")

public:
    enum Roles { AlertRole = Qt::UserRole + 1 };
    Q_ENUM(Roles)

    explicit AlertPresenter(QObject* parent = nullptr);

    // At least one button: an alert without one could never be closed, so "OK" is added.
    Alert* show(const QString& title, const QString& message, const QStringList& buttons);
    [[nodiscard]] QList<Alert*> alerts() const { return m_alerts; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<Alert*> m_alerts;
};

} // namespace vaultora::toolkit
