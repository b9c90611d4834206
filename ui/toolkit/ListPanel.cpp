#include "ui/toolkit/ListPanel.h"

namespace vaultora::toolkit {

ListPanel::ListPanel(QObject* parent) : Panel(parent), m_list(new ListPanelModel(this)) {}

ListPanel::~ListPanel() = default;

QUrl ListPanel::viewSource() const {
    return QUrl(QStringLiteral("qrc:/qt/qml/Vaultora/Toolkit/ListPanelView.qml"));
}

} // namespace vaultora::toolkit
