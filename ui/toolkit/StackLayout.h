// The arithmetic of the stacked navigation's layout for one window width: how wide the menu is,
// how many panels fit side by side at a readable width, where the first visible one starts
// and how wide each is. Panels always share out the whole width to the right of the menu, so
// the window is filled whatever its size.
#pragma once

namespace vaultora::toolkit {

class StackLayout final {
public:
    // The strip of the menu left visible at the left of the panels that cover it.
    static constexpr double menuStripWidth = 60.0;

    // `menuWidth` is the width the menu takes beside panels; `readableWidth` the narrowest
    // width at which a panel still reads well.
    StackLayout(double viewportWidth, double menuWidth, double readableWidth);

    // The menu's width: the whole window when no readable panel fits beside the menu (a phone),
    // otherwise the menu's own width.
    [[nodiscard]] double menuWidth() const;
    [[nodiscard]] bool menuFillsWindow() const;

    // Position 0 shows the menu uncovered with the panels beside it; position p > 0 covers the
    // menu but its strip and starts with panel p - 1.
    [[nodiscard]] double leftInset(int position) const;
    // How many panels fit side by side at the position's inset (at least one while the menu is
    // covered; none beside a menu that fills the window).
    [[nodiscard]] int columns(int position) const;
    // Whether every panel from the position's first one to the newest is in view.
    [[nodiscard]] bool fits(int position, int panelCount) const;
    // The position that shows the newest panel and as many before it as fit, uncovering the
    // menu when all of them fit beside it.
    [[nodiscard]] int fittingPosition(int panelCount) const;
    // The width of each panel at the position: the space right of the inset shared out among
    // the panels in view, so that together they reach the window's right edge.
    [[nodiscard]] double panelWidth(int position, int panelCount) const;

private:
    [[nodiscard]] double spaceRightOf(double inset) const;

    double m_viewportWidth;
    double m_menuWidth;
    double m_readableWidth;
};

} // namespace vaultora::toolkit
