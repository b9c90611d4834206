// A synchroniser's progress view drawn with the toolkit: transient panels for progress, errors
// and information, and the progress overlay for the busy state.
#pragma once

#include "sync/SyncProgressView.h"
#include "ui/toolkit/TransientPanel.h"

#include <QPointer>

namespace vaultora::toolkit {
class ProgressOverlay;
class TransientPanelHost;
} // namespace vaultora::toolkit

namespace vaultora::ui {

class SyncProgressPanels final : public sync::SyncProgressView {
public:
    // HTTP downloads are never busy, so they give no overlay.
    explicit SyncProgressPanels(toolkit::TransientPanelHost& panels,
                                toolkit::ProgressOverlay* overlay = nullptr);

    void showProgress(const QString& title, double seconds) override;
    void setProgress(double fraction, Motion motion) override;
    void finishProgress(double seconds) override;
    void hideProgress() override;
    void showError(const QString& title, const QString& subtitle, double seconds) override;
    void showInformation(const QString& title, const QString& subtitle, double seconds) override;
    void showBusy(const QString& title) override;
    void hideBusy() override;

    // The progress panel of the current or last progress, until the panel host releases it.
    [[nodiscard]] toolkit::TransientPanel* infoPanelExtended() const { return m_infoPanelExtended; }

private:
    toolkit::TransientPanelHost& m_panels;
    toolkit::ProgressOverlay* m_overlay;
    QPointer<toolkit::TransientPanel> m_infoPanelExtended;
};

} // namespace vaultora::ui
