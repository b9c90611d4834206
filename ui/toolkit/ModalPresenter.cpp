#include "ui/toolkit/ModalPresenter.h"

#include <algorithm>

namespace vaultora::toolkit {

ModalPresenter::ModalPresenter(QObject* parent) : QAbstractListModel(parent) {}

ModalPresenter::~ModalPresenter() = default;

ModalPresenter::Style ModalPresenter::styleForIdiom(DeviceIdiom idiom) {
    return idiom == DeviceIdiom::Tablet ? Style::FormSheet : Style::FullScreen;
}

void ModalPresenter::presentPanel(std::unique_ptr<Panel> panel, Style style, Animated animated) {
    if (!panel) {
        return;
    }
    Panel* presented = panel.release();
    presented->setParent(this);
    const int row = static_cast<int>(m_entries.size());
    beginInsertRows({}, row, row);
    m_entries.push_back({presented, style, animated});
    endInsertRows();
    if (row == 0) {
        emit presentingChanged();
    }
    presented->viewDidAppear();
}

bool ModalPresenter::dismissPanel(Panel* panel, Animated animated) {
    const auto found = std::ranges::find_if(
        m_entries, [panel](const Entry& entry) { return entry.panel == panel; });
    if (panel == nullptr || found == m_entries.end()) {
        return false;
    }
    const int first = static_cast<int>(found - m_entries.begin());
    const int last = static_cast<int>(m_entries.size()) - 1;
    for (auto entry = found; entry != m_entries.end(); ++entry) {
        entry->animated = animated;
    }
    beginRemoveRows({}, first, last);
    std::vector<Panel*> released;
    for (auto entry = found; entry != m_entries.end(); ++entry) {
        released.push_back(entry->panel);
    }
    m_entries.erase(found, m_entries.end());
    endRemoveRows();
    for (Panel* dismissed : released) {
        // Dismissal usually comes from a button of the panel itself.
        dismissed->deleteLater();
    }
    if (m_entries.empty()) {
        emit presentingChanged();
    }
    return true;
}

Panel* ModalPresenter::presentedPanel() const {
    return m_entries.empty() ? nullptr : m_entries.back().panel;
}

int ModalPresenter::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant ModalPresenter::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Entry& entry = m_entries[static_cast<std::size_t>(index.row())];
    switch (role) {
    case PanelRole:
        return QVariant::fromValue<QObject*>(entry.panel);
    case FormSheetRole:
        return entry.style == Style::FormSheet;
    case AnimatedRole:
        return entry.animated == Animated::Yes;
    default:
        return {};
    }
}

QHash<int, QByteArray> ModalPresenter::roleNames() const {
    return {{PanelRole, "panel"}, {FormSheetRole, "formSheet"}, {AnimatedRole, "animated"}};
}

} // namespace vaultora::toolkit
