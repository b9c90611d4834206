// How a synchroniser shows what it is doing: a progress panel, short error and information
// panels and a busy overlay. The screens draw them; sync/ only says what to show. One view
// per synchronisation, so its progress panel belongs to that synchronisation alone.
#pragma once

#include <QString>

namespace vaultora::sync {

class SyncProgressView {
public:
    enum class Motion { Animated, Immediate };

    virtual ~SyncProgressView() = default;

    // A panel with a progress bar that starts empty; it hides by itself after the seconds, or
    // stays until it is finished or hidden when they are 0.
    virtual void showProgress(const QString& title, double seconds) = 0;
    virtual void setProgress(double fraction, Motion motion) = 0;
    // Fills the progress bar and hides the panel after the seconds.
    virtual void finishProgress(double seconds) = 0;
    virtual void hideProgress() = 0;

    virtual void showError(const QString& title, const QString& subtitle, double seconds) = 0;
    virtual void showInformation(const QString& title, const QString& subtitle, double seconds) = 0;

    // An overlay that takes every touch until it is hidden.
    virtual void showBusy(const QString& title) = 0;
    virtual void hideBusy() = 0;
};

} // namespace vaultora::sync
