// A titled group of form rows; as a list model it gives QML each row.
#pragma once

#include "ui/toolkit/FormRow.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>
#include <memory>

namespace vaultora::toolkit {

class FormSection final : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Form sections are created by forms")
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY changed)
    Q_PROPERTY(QString footer READ footer WRITE setFooter NOTIFY changed)

public:
    enum Roles { RowRole = Qt::UserRole + 1, KindRole };
    Q_ENUM(Roles)

    explicit FormSection(const QString& title, QObject* parent = nullptr);

    [[nodiscard]] QString title() const { return m_title; }
    void setTitle(const QString& title);
    [[nodiscard]] QString footer() const { return m_footer; }
    void setFooter(const QString& footer);

    // The section takes the row and returns it so the controller can connect to it.
    FormRow* addRow(std::unique_ptr<FormRow> row);
    void removeRow(FormRow* row);
    [[nodiscard]] QList<FormRow*> rows() const { return m_rows; }

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void changed();

private:
    QString m_title;
    QString m_footer;
    QList<FormRow*> m_rows;
};

} // namespace vaultora::toolkit
