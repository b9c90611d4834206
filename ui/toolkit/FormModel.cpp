#include "ui/toolkit/FormModel.h"

namespace vaultora::toolkit {

FormModel::FormModel(const QString& title, Style style, QObject* parent)
    : QAbstractListModel(parent), m_title(title), m_style(style) {}

void FormModel::setTitle(const QString& title) {
    if (m_title != title) {
        m_title = title;
        emit titleChanged();
    }
}

FormSection* FormModel::addSection(const QString& title) {
    auto* section = new FormSection(title, this);
    const auto position = static_cast<int>(m_sections.size());
    beginInsertRows({}, position, position);
    m_sections.append(section);
    endInsertRows();
    connect(section, &FormSection::changed, this, [this, section] {
        const auto row = static_cast<int>(m_sections.indexOf(section));
        if (row >= 0) {
            emit dataChanged(index(row), index(row), {TitleRole});
        }
    });
    return section;
}

FormRow* FormModel::rowForKey(const QString& key) const {
    if (key.isEmpty()) {
        return nullptr;
    }
    for (const FormSection* section : m_sections) {
        for (FormRow* row : section->rows()) {
            if (row->key() == key) {
                return row;
            }
        }
    }
    return nullptr;
}

void FormModel::copyValuesInto(KeyValueTarget& target) const {
    for (const FormSection* section : m_sections) {
        for (const FormRow* row : section->rows()) {
            row->copyValueInto(target);
        }
    }
}

int FormModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_sections.size());
}

QVariant FormModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    FormSection* section = m_sections.at(index.row());
    switch (role) {
    case SectionRole:
        return QVariant::fromValue<QObject*>(section);
    case TitleRole:
        return section->title();
    default:
        return {};
    }
}

QHash<int, QByteArray> FormModel::roleNames() const {
    return {{SectionRole, "section"}, {TitleRole, "title"}};
}

} // namespace vaultora::toolkit
