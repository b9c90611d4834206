#include "ui/toolkit/StackLayout.h"

#include <algorithm>
#include <cmath>

namespace vaultora::toolkit {

StackLayout::StackLayout(double viewportWidth, double menuWidth, double readableWidth)
    : m_viewportWidth(std::max(viewportWidth, 0.0)), m_menuWidth(std::max(menuWidth, 0.0)),
      m_readableWidth(std::max(readableWidth, 1.0)) {}

double StackLayout::menuWidth() const {
    return menuFillsWindow() ? m_viewportWidth : m_menuWidth;
}

bool StackLayout::menuFillsWindow() const {
    return spaceRightOf(m_menuWidth) < m_readableWidth;
}

double StackLayout::leftInset(int position) const {
    return position <= 0 ? menuWidth() : menuStripWidth;
}

int StackLayout::columns(int position) const {
    const int fitting =
        static_cast<int>(std::floor(spaceRightOf(leftInset(position)) / m_readableWidth));
    if (position <= 0) {
        return fitting;
    }
    return std::max(fitting, 1);
}

bool StackLayout::fits(int position, int panelCount) const {
    const int shown = panelCount - std::max(position - 1, 0);
    return shown <= columns(position);
}

int StackLayout::fittingPosition(int panelCount) const {
    if (panelCount <= 0 || fits(0, panelCount)) {
        return 0;
    }
    return std::max(panelCount - columns(1) + 1, 1);
}

double StackLayout::panelWidth(int position, int panelCount) const {
    // Behind a menu that fills the window the panels wait at the width they get once shown.
    const int effectivePosition = position <= 0 && menuFillsWindow() ? 1 : position;
    const int shown = std::max(panelCount - std::max(effectivePosition - 1, 0), 1);
    const int sharing = std::clamp(shown, 1, std::max(columns(effectivePosition), 1));
    return spaceRightOf(leftInset(effectivePosition)) / sharing;
}

double StackLayout::spaceRightOf(double inset) const {
    return std::max(m_viewportWidth - inset, 0.0);
}

} // namespace vaultora::toolkit
