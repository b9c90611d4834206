#include "ui/toolkit/StackLayout.h"

#include <gtest/gtest.h>

using vaultora::toolkit::StackLayout;

namespace {

constexpr double menu = 200;
constexpr double readable = 340;
constexpr double strip = StackLayout::menuStripWidth;

TEST(StackLayout, APhoneWidthGivesTheMenuTheWindowAndEachPanelAllButTheStrip) {
    const StackLayout phone(390, menu, readable);
    EXPECT_TRUE(phone.menuFillsWindow());
    EXPECT_DOUBLE_EQ(phone.menuWidth(), 390);
    EXPECT_EQ(phone.columns(0), 0);
    EXPECT_EQ(phone.columns(1), 1);
    EXPECT_EQ(phone.fittingPosition(0), 0);
    EXPECT_EQ(phone.fittingPosition(1), 1);
    EXPECT_EQ(phone.fittingPosition(3), 3);
    EXPECT_DOUBLE_EQ(phone.panelWidth(1, 1), 390 - strip);
    // Panels behind the uncovered menu keep the width they will have when shown.
    EXPECT_DOUBLE_EQ(phone.panelWidth(0, 2), 390 - strip);
}

TEST(StackLayout, ATabletWidthShowsTwoPanelsBesideTheStripOrOneBesideTheMenu) {
    const StackLayout tablet(768, menu, readable);
    EXPECT_FALSE(tablet.menuFillsWindow());
    EXPECT_DOUBLE_EQ(tablet.menuWidth(), menu);
    EXPECT_EQ(tablet.columns(0), 1);
    EXPECT_EQ(tablet.columns(1), 2);
    EXPECT_EQ(tablet.fittingPosition(1), 0);
    EXPECT_EQ(tablet.fittingPosition(2), 1);
    EXPECT_EQ(tablet.fittingPosition(3), 2);
    EXPECT_DOUBLE_EQ(tablet.panelWidth(0, 1), 768 - menu);
    EXPECT_DOUBLE_EQ(tablet.panelWidth(1, 2), (768 - strip) / 2);
    EXPECT_DOUBLE_EQ(tablet.panelWidth(2, 3), (768 - strip) / 2);
    // The last panel alone at the strip takes all the room.
    EXPECT_DOUBLE_EQ(tablet.panelWidth(3, 3), 768 - strip);
}

TEST(StackLayout, ADesktopWidthShowsTheMenuWithThreePanels) {
    const StackLayout desktop(1280, menu, readable);
    EXPECT_EQ(desktop.columns(0), 3);
    EXPECT_EQ(desktop.columns(1), 3);
    EXPECT_EQ(desktop.fittingPosition(3), 0);
    EXPECT_DOUBLE_EQ(desktop.panelWidth(0, 3), (1280 - menu) / 3);
    EXPECT_EQ(desktop.fittingPosition(4), 2);
    EXPECT_TRUE(desktop.fits(2, 4));
    EXPECT_FALSE(desktop.fits(1, 4));
    EXPECT_DOUBLE_EQ(desktop.panelWidth(2, 4), (1280 - strip) / 3);
    // Fewer panels than columns share the width among themselves.
    EXPECT_DOUBLE_EQ(desktop.panelWidth(0, 1), 1280 - menu);
}

TEST(StackLayout, TheMenuFillsTheWindowJustBelowRoomForOneReadablePanelBesideIt) {
    EXPECT_FALSE(StackLayout(menu + readable, menu, readable).menuFillsWindow());
    EXPECT_TRUE(StackLayout(menu + readable - 1, menu, readable).menuFillsWindow());
}

TEST(StackLayout, EmptyOrNegativeSizesGiveNoNegativeWidths) {
    for (const double width : {-50.0, 0.0, 30.0}) {
        const StackLayout tiny(width, menu, readable);
        EXPECT_GE(tiny.menuWidth(), 0);
        EXPECT_EQ(tiny.columns(1), 1);
        EXPECT_GE(tiny.panelWidth(1, 1), 0);
        EXPECT_GE(tiny.panelWidth(0, 0), 0);
        EXPECT_EQ(tiny.fittingPosition(0), 0);
        EXPECT_EQ(tiny.fittingPosition(2), 2);
    }
    // A readable width of nothing is taken as one point, never a division by zero.
    EXPECT_EQ(StackLayout(100, 0, 0).columns(1), 40);
}

} // namespace
