#include "ui/toolkit/TransientPanelHost.h"

namespace vaultora::toolkit {

TransientPanelHost::TransientPanelHost(std::shared_ptr<TimerFactory> timers, QObject* parent)
    : QAbstractListModel(parent), m_timers(std::move(timers)) {}

TransientPanelHost::~TransientPanelHost() = default;

TransientPanel* TransientPanelHost::showInformation(const QString& title, const QString& subtitle,
                                                    double hideAfterSeconds) {
    return show(TransientPanel::Style::Information, title, subtitle, hideAfterSeconds,
                TransientPanel::ProgressBar::None);
}

TransientPanel* TransientPanelHost::showError(const QString& title, const QString& subtitle,
                                              double hideAfterSeconds) {
    return show(TransientPanel::Style::Error, title, subtitle, hideAfterSeconds,
                TransientPanel::ProgressBar::None);
}

TransientPanel* TransientPanelHost::show(TransientPanel::Style style, const QString& title,
                                         const QString& subtitle, double hideAfterSeconds,
                                         TransientPanel::ProgressBar progressBar) {
    auto* panel =
        new TransientPanel(style, title, subtitle, progressBar, m_timers->createTimer(), this);
    const auto row = static_cast<int>(m_panels.size());
    beginInsertRows({}, row, row);
    m_panels.append(panel);
    endInsertRows();
    connect(panel, &TransientPanel::hidden, this, [this, panel] { release(panel); });
    if (hideAfterSeconds > 0.0) {
        panel->hideAfter(hideAfterSeconds);
    }
    return panel;
}

void TransientPanelHost::hideAll() {
    // Hiding removes the panel from the list, so work from a copy.
    const auto shown = m_panels;
    for (TransientPanel* panel : shown) {
        panel->hide();
    }
}

int TransientPanelHost::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_panels.size());
}

QVariant TransientPanelHost::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        role != PanelRole) {
        return {};
    }
    return QVariant::fromValue<QObject*>(m_panels.at(index.row()));
}

QHash<int, QByteArray> TransientPanelHost::roleNames() const {
    return {{PanelRole, "notice"}};
}

void TransientPanelHost::release(TransientPanel* panel) {
    const auto row = static_cast<int>(m_panels.indexOf(panel));
    if (row < 0) {
        return;
    }
    beginRemoveRows({}, row, row);
    m_panels.removeAt(row);
    endRemoveRows();
    // Hiding happens inside the panel's own timer callback or a caller holding it.
    panel->deleteLater();
}

} // namespace vaultora::toolkit
