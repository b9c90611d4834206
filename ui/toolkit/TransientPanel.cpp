#include "ui/toolkit/TransientPanel.h"

#include <algorithm>
#include <cmath>

namespace vaultora::toolkit {

namespace {

// Longer delays are kept at this length, so the conversion to milliseconds cannot overflow.
constexpr double longestDelaySeconds = 1.0e7;

} // namespace

TransientPanel::TransientPanel(Style style, const QString& title, const QString& subtitle,
                               ProgressBar progressBar, std::unique_ptr<OneShotTimer> hideTimer,
                               QObject* parent)
    : QObject(parent), m_style(style), m_title(title), m_subtitle(subtitle),
      m_progressBar(progressBar), m_hideTimer(std::move(hideTimer)) {}

TransientPanel::~TransientPanel() = default;

void TransientPanel::setProgress(double fraction, Animated animated) {
    if (!hasProgressBar() || std::isnan(fraction)) {
        return;
    }
    m_progress = std::clamp(fraction, 0.0, 1.0);
    m_progressAnimated = animated;
    emit progressChanged();
}

void TransientPanel::hideAfter(double seconds) {
    if (m_hidden) {
        return;
    }
    if (!(seconds > 0.0)) {
        hide();
        return;
    }
    const auto milliseconds =
        static_cast<long long>(std::llround(std::min(seconds, longestDelaySeconds) * 1000.0));
    m_hideTimer->start(std::chrono::milliseconds(milliseconds), [this] { hide(); });
}

void TransientPanel::hide() {
    if (m_hidden) {
        return;
    }
    m_hidden = true;
    m_hideTimer->stop();
    emit hidden();
}

} // namespace vaultora::toolkit
