#include "ui/toolkit/ListPanelModel.h"

#include <algorithm>

namespace vaultora::toolkit {

namespace {

QString accessoryName(ListAccessory accessory) {
    switch (accessory) {
    case ListAccessory::DisclosureIndicator:
        return QStringLiteral("disclosure");
    case ListAccessory::Checkmark:
        return QStringLiteral("checkmark");
    case ListAccessory::None:
        break;
    }
    return {};
}

} // namespace

ListPanelModel::ListPanelModel(QObject* parent) : QAbstractListModel(parent) {}

void ListPanelModel::setSections(const QList<ListSection>& sections) {
    beginResetModel();
    m_rowSource = nullptr;
    m_sourceRowCount = 0;
    m_sections = sections;
    afterRowsChanged();
    endResetModel();
}

void ListPanelModel::setRows(const QList<ListRow>& rows) {
    setSections({ListSection{QString(), rows}});
}

void ListPanelModel::setRowSource(int count, std::function<ListRow(int)> rowAt) {
    beginResetModel();
    m_sections = {ListSection{}};
    m_rowSource = rowAt ? std::move(rowAt) : [](int) { return ListRow{}; };
    m_sourceRowCount = std::max(count, 0);
    afterRowsChanged();
    endResetModel();
}

void ListPanelModel::afterRowsChanged() {
    if (m_selectedSection >= 0 && m_selectedRow >= rowCountInSection(m_selectedSection)) {
        m_selectedSection = -1;
        m_selectedRow = -1;
    }
    rebuildItems();
}

int ListPanelModel::rowCountInSection(int section) const {
    if (section < 0 || section >= sectionCount()) {
        return 0;
    }
    if (m_rowSource) {
        return m_sourceRowCount;
    }
    return static_cast<int>(m_sections.at(section).rows.size());
}

ListRow ListPanelModel::row(int section, int row) const {
    if (row < 0 || row >= rowCountInSection(section)) {
        return {};
    }
    if (m_rowSource) {
        return m_rowSource(row);
    }
    return m_sections.at(section).rows.at(row);
}

void ListPanelModel::setSelection(int section, int row) {
    if (row < 0 || row >= rowCountInSection(section)) {
        section = -1;
        row = -1;
    }
    if (section == m_selectedSection && row == m_selectedRow) {
        return;
    }
    const int before = itemIndex(m_selectedSection, m_selectedRow);
    m_selectedSection = section;
    m_selectedRow = row;
    const int after = itemIndex(section, row);
    for (const int item : {before, after}) {
        if (item >= 0) {
            emit dataChanged(index(item), index(item), {SelectedRole});
        }
    }
}

void ListPanelModel::setSearchText(const QString& text) {
    if (m_searchText != text) {
        m_searchText = text;
        emit searchTextChanged();
    }
}

void ListPanelModel::setSearchFieldVisible(bool visible) {
    if (m_searchFieldVisible != visible) {
        m_searchFieldVisible = visible;
        emit searchStateChanged();
    }
}

void ListPanelModel::setShowsCancelButton(bool shows) {
    if (m_showsCancelButton != shows) {
        m_showsCancelButton = shows;
        emit searchStateChanged();
    }
}

void ListPanelModel::setEditing(bool editing) {
    if (m_editing != editing) {
        m_editing = editing;
        emit editingChanged();
    }
}

void ListPanelModel::tap(int item) {
    if (item < 0 || item >= itemCount()) {
        return;
    }
    const Item tapped = itemAt(item);
    if (tapped.row >= 0) {
        emit rowTapped(tapped.section, tapped.row);
    }
}

void ListPanelModel::activate(int item) {
    if (item < 0 || item >= itemCount()) {
        return;
    }
    const Item chosen = itemAt(item);
    if (chosen.row >= 0 && row(chosen.section, chosen.row).focusable) {
        emit rowActivated(chosen.section, chosen.row);
    }
}

int ListPanelModel::nextKeyboardItem(int item, int step) const {
    const int count = itemCount();
    const auto reachable = [this](int candidate) {
        const Item at = itemAt(candidate);
        return at.row >= 0 && row(at.section, at.row).focusable;
    };
    if (step == 0 && item >= 0 && item < count && reachable(item)) {
        return item;
    }
    const int direction = step < 0 ? -1 : 1;
    int candidate = std::clamp(item, -1, count) + direction;
    for (; candidate >= 0 && candidate < count; candidate += direction) {
        if (reachable(candidate)) {
            return candidate;
        }
    }
    if (item >= 0 && item < count && reachable(item)) {
        return item;
    }
    // Nothing further that way: the nearest reachable row the other way, if any.
    for (candidate = std::clamp(item, -1, count) - direction; candidate >= 0 && candidate < count;
         candidate -= direction) {
        if (reachable(candidate)) {
            return candidate;
        }
    }
    return -1;
}

bool ListPanelModel::typeIntoSearch(const QString& text) {
    if (!m_searchFieldVisible || text.isEmpty() ||
        !std::ranges::all_of(text, [](QChar character) { return character.isPrint(); })) {
        return false;
    }
    emit searchFocusRequested();
    editSearchText(m_searchText + text);
    return true;
}

void ListPanelModel::requestDeletion(int item) {
    if (!m_editing || item < 0 || item >= itemCount()) {
        return;
    }
    const Item chosen = itemAt(item);
    if (chosen.row >= 0 && row(chosen.section, chosen.row).deletable) {
        emit rowDeletionRequested(chosen.section, chosen.row);
    }
}

void ListPanelModel::editSearchText(const QString& text) {
    if (m_searchText == text) {
        return;
    }
    m_searchText = text;
    emit searchTextChanged();
    emit searchTextEdited(text);
}

int ListPanelModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : itemCount();
}

QVariant ListPanelModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Item item = itemAt(index.row());
    const ListSection& section = m_sections.at(item.section);
    if (role == IsHeaderRole) {
        return item.row < 0;
    }
    if (role == SectionRole) {
        return item.section;
    }
    if (role == RowRole) {
        return item.row;
    }
    if (item.row < 0) {
        return role == TitleRole ? QVariant(section.title) : QVariant();
    }
    const ListRow row = this->row(item.section, item.row);
    switch (role) {
    case ImageNameRole:
        return row.imageName;
    case TitleRole:
        return row.title;
    case SubtitleRole:
        return row.subtitle;
    case AccessoryRole:
        return accessoryName(row.accessory);
    case CentredRole:
        return row.centred;
    case DeletableRole:
        return row.deletable;
    case SelectedRole:
        return item.section == m_selectedSection && item.row == m_selectedRow;
    default:
        return {};
    }
}

QHash<int, QByteArray> ListPanelModel::roleNames() const {
    return {{IsHeaderRole, "isHeader"},   {SectionRole, "section"}, {RowRole, "row"},
            {ImageNameRole, "imageName"}, {TitleRole, "title"},     {SubtitleRole, "subtitle"},
            {AccessoryRole, "accessory"}, {CentredRole, "centred"}, {DeletableRole, "deletable"},
            {SelectedRole, "selected"}};
}

int ListPanelModel::itemCount() const {
    return m_rowSource ? m_sourceRowCount : static_cast<int>(m_items.size());
}

ListPanelModel::Item ListPanelModel::itemAt(int index) const {
    // Rows from a source are one section without a header: the item is the row.
    return m_rowSource ? Item{0, index} : m_items[static_cast<std::size_t>(index)];
}

void ListPanelModel::rebuildItems() {
    m_items.clear();
    m_sectionStarts.clear();
    if (m_rowSource) {
        m_sectionStarts.push_back(0);
        return;
    }
    for (int section = 0; section < sectionCount(); ++section) {
        m_sectionStarts.push_back(static_cast<int>(m_items.size()));
        if (!m_sections.at(section).title.isEmpty()) {
            m_items.push_back({section, -1});
        }
        const int rows = rowCountInSection(section);
        for (int row = 0; row < rows; ++row) {
            m_items.push_back({section, row});
        }
    }
}

int ListPanelModel::itemIndex(int section, int row) const {
    if (row < 0 || row >= rowCountInSection(section)) {
        return -1;
    }
    const int headers = m_sections.at(section).title.isEmpty() ? 0 : 1;
    return m_sectionStarts[static_cast<std::size_t>(section)] + headers + row;
}

} // namespace vaultora::toolkit
