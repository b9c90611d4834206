#include "ui/toolkit/Theme.h"

#include <QFontDatabase>
#include <QJSEngine>

#include <algorithm>
#include <cmath>

namespace vaultora::toolkit {

namespace {

// The sRGB transfer function undone, per WCAG 2's definition of relative luminance.
double linearChannel(int channel) {
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

} // namespace

Theme& Theme::instance() {
    static Theme* const theme = new Theme;
    return *theme;
}

Theme* Theme::create(QQmlEngine*, QJSEngine*) {
    Theme* theme = &instance();
    // Every engine shares the one object; none of them may delete it.
    QJSEngine::setObjectOwnership(theme, QJSEngine::CppOwnership);
    return theme;
}

std::vector<Theme::TextPair> Theme::textPairs() const {
    return {
        {QStringLiteral("text on rows"), m_text, m_rowBackground},
        {QStringLiteral("text on panels"), m_text, m_panelBackground},
        {QStringLiteral("text on selected rows"), m_text, m_selectedRowBackground},
        {QStringLiteral("text on headers"), m_text, m_headerBackground},
        {QStringLiteral("secondary text on rows"), m_secondaryText, m_rowBackground},
        {QStringLiteral("secondary text on panels"), m_secondaryText, m_panelBackground},
        {QStringLiteral("disabled text on rows"), m_disabledText, m_rowBackground},
        {QStringLiteral("disabled text on panels"), m_disabledText, m_panelBackground},
        {QStringLiteral("header text on headers"), m_headerText, m_headerBackground},
        {QStringLiteral("header text on panels"), m_headerText, m_panelBackground},
        {QStringLiteral("links on rows"), m_link, m_rowBackground},
        {QStringLiteral("links on panels"), m_link, m_panelBackground},
        {QStringLiteral("accent on rows"), m_accent, m_rowBackground},
        {QStringLiteral("accent on panels"), m_accent, m_panelBackground},
        {QStringLiteral("text on accent"), m_onAccent, m_accent},
        {QStringLiteral("menu text on the menu"), m_menuText, m_menuBackground},
        {QStringLiteral("menu text on menu headers"), m_menuText, m_menuHeaderBackground},
        {QStringLiteral("selected menu text"), m_menuSelectedText, m_menuSelectedBackground},
        {QStringLiteral("notice text"), m_noticeText, m_noticeBackground},
        {QStringLiteral("error notice text"), m_noticeText, m_errorNoticeBackground},
        {QStringLiteral("progress text"), m_noticeText, m_overlayBackground},
    };
}

bool Theme::isTextColour(const QColor& colour) const {
    const auto pairs = textPairs();
    return std::ranges::any_of(
        pairs, [&colour](const TextPair& pair) { return pair.foreground.rgba() == colour.rgba(); });
}

double Theme::relativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linearChannel(rgb.red()) + 0.7152 * linearChannel(rgb.green()) +
           0.0722 * linearChannel(rgb.blue());
}

double Theme::contrastRatio(const QColor& first, const QColor& second) {
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QString Theme::monospaceFamily() const {
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

void Theme::setReducedMotion(bool reduced) {
    if (m_reducedMotion != reduced) {
        m_reducedMotion = reduced;
        emit reducedMotionChanged();
    }
}

} // namespace vaultora::toolkit
