#include "ui/toolkit/FormSection.h"

namespace vaultora::toolkit {

FormSection::FormSection(const QString& title, QObject* parent)
    : QAbstractListModel(parent), m_title(title) {}

void FormSection::setTitle(const QString& title) {
    if (m_title != title) {
        m_title = title;
        emit changed();
    }
}

void FormSection::setFooter(const QString& footer) {
    if (m_footer != footer) {
        m_footer = footer;
        emit changed();
    }
}

FormRow* FormSection::addRow(std::unique_ptr<FormRow> row) {
    if (!row) {
        return nullptr;
    }
    FormRow* added = row.release();
    added->setParent(this);
    const int position = static_cast<int>(m_rows.size());
    beginInsertRows({}, position, position);
    m_rows.append(added);
    endInsertRows();
    return added;
}

void FormSection::removeRow(FormRow* row) {
    const auto position = static_cast<int>(m_rows.indexOf(row));
    if (position < 0) {
        return;
    }
    beginRemoveRows({}, position, position);
    m_rows.removeAt(position);
    endRemoveRows();
    // The row may be the one whose tap is being handled.
    row->deleteLater();
}

int FormSection::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant FormSection::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    FormRow* row = m_rows.at(index.row());
    switch (role) {
    case RowRole:
        return QVariant::fromValue<QObject*>(row);
    case KindRole:
        return static_cast<int>(row->kind());
    default:
        return {};
    }
}

QHash<int, QByteArray> FormSection::roleNames() const {
    return {{RowRole, "row"}, {KindRole, "kind"}};
}

} // namespace vaultora::toolkit
