#include "ui/toolkit/Theme.h"

#include <gtest/gtest.h>

using vaultora::toolkit::Theme;

namespace {

TEST(Theme, ComputesContrastAsWcagDoes) {
    EXPECT_DOUBLE_EQ(Theme::relativeLuminance(Qt::white), 1.0);
    EXPECT_DOUBLE_EQ(Theme::relativeLuminance(Qt::black), 0.0);
    EXPECT_DOUBLE_EQ(Theme::contrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(Theme::contrastRatio(Qt::white, Qt::black), 21.0);
    // The grey that WebAIM's contrast checker gives as the lightest passing AA on white (4.54:1)
    // and the next lighter one, which fails (4.48:1).
    EXPECT_NEAR(Theme::contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
    EXPECT_NEAR(Theme::contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
}

TEST(Theme, EveryTextOnItsBackgroundMeetsAaContrast) {
    const Theme& theme = Theme::instance();
    const auto pairs = theme.textPairs();
    ASSERT_FALSE(pairs.empty());
    for (const Theme::TextPair& pair : pairs) {
        EXPECT_EQ(pair.foreground.alpha(), 255) << pair.name.toStdString();
        EXPECT_EQ(pair.background.alpha(), 255) << pair.name.toStdString();
        EXPECT_GE(Theme::contrastRatio(pair.foreground, pair.background),
                  Theme::minimumTextContrast)
            << pair.name.toStdString();
        EXPECT_TRUE(theme.isTextColour(pair.foreground));
    }
    EXPECT_FALSE(theme.isTextColour(QColor(0x77, 0x77, 0x77)));
}

} // namespace
