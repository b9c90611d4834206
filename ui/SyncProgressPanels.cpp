#include "ui/SyncProgressPanels.h"

#include "ui/toolkit/ProgressOverlay.h"
#include "ui/toolkit/TransientPanelHost.h"

namespace vaultora::ui {

SyncProgressPanels::SyncProgressPanels(toolkit::TransientPanelHost& panels,
                                       toolkit::ProgressOverlay* overlay)
    : m_panels(panels), m_overlay(overlay) {}

void SyncProgressPanels::showProgress(const QString& title, double seconds) {
    m_infoPanelExtended =
        m_panels.show(toolkit::TransientPanel::Style::Information, title, QString(), seconds,
                      toolkit::TransientPanel::ProgressBar::Shown);
}

void SyncProgressPanels::setProgress(double fraction, Motion motion) {
    toolkit::TransientPanel* panel = m_infoPanelExtended.data();
    if (panel == nullptr || !panel->hasProgressBar())
        return;
    panel->setProgress(fraction,
                       motion == Motion::Animated ? toolkit::Animated::Yes : toolkit::Animated::No);
}

void SyncProgressPanels::finishProgress(double seconds) {
    toolkit::TransientPanel* panel = m_infoPanelExtended.data();
    if (panel == nullptr || !panel->hasProgressBar())
        return;
    panel->setProgress(1.0, toolkit::Animated::Yes);
    panel->hideAfter(seconds);
}

void SyncProgressPanels::hideProgress() {
    if (toolkit::TransientPanel* panel = m_infoPanelExtended.data())
        panel->hide();
}

void SyncProgressPanels::showError(const QString& title, const QString& subtitle, double seconds) {
    m_panels.showError(title, subtitle, seconds);
}

void SyncProgressPanels::showInformation(const QString& title, const QString& subtitle,
                                         double seconds) {
    m_panels.showInformation(title, subtitle, seconds);
}

void SyncProgressPanels::showBusy(const QString& title) {
    if (m_overlay != nullptr)
        m_overlay->show(title);
}

void SyncProgressPanels::hideBusy() {
    if (m_overlay != nullptr)
        m_overlay->hide();
}

} // namespace vaultora::ui
