#include "ui/toolkit/ListPanel.h"

namespace vaultora::toolkit {

ListPanel::ListPanel(QObject* parent) : Panel(parent), m_list(new ListPanelModel(this)) {
    connect(m_list, &ListPanelModel::rowActivated, this, &ListPanel::activateRow);
}

ListPanel::~ListPanel() = default;

void ListPanel::activateRow(int section, int row) {
    emit m_list->rowTapped(section, row);
}

QUrl ListPanel::viewSource() const {
    return QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/ListPanelView.qml"));
}

} // namespace vaultora::toolkit
