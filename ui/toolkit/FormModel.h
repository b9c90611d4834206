// A form: a title and sections of labelled rows; copies its entered values into a value object
// by key. As a list model it gives QML each section.
#pragma once

#include "ui/toolkit/FormSection.h"
#include "ui/toolkit/KeyValueTarget.h"

#include <QAbstractListModel>
#include <QList>
#include <QtQml/qqmlregistration.h>

namespace vaultora::toolkit {

class FormModel final : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Forms are created by controllers")
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(bool grouped READ isGrouped CONSTANT)

public:
    enum class Style { Plain, Grouped };
    enum Roles { SectionRole = Qt::UserRole + 1, TitleRole };
    Q_ENUM(Roles)

    explicit FormModel(const QString& title, Style style = Style::Grouped,
                       QObject* parent = nullptr);

    [[nodiscard]] QString title() const { return m_title; }
    void setTitle(const QString& title);
    [[nodiscard]] bool isGrouped() const { return m_style == Style::Grouped; }

    FormSection* addSection(const QString& title = {});
    [[nodiscard]] QList<FormSection*> sections() const { return m_sections; }

    // The first row with this key, or none.
    [[nodiscard]] FormRow* rowForKey(const QString& key) const;
    // Every row with a key sets its value on the target, in form order.
    void copyValuesInto(KeyValueTarget& target) const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void titleChanged();

private:
    QString m_title;
    Style m_style;
    QList<FormSection*> m_sections;
};

} // namespace vaultora::toolkit
