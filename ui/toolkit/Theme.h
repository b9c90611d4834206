// The colours, sizes and motion every view draws with, named by what they are for and kept in
// this one place so that the contrast of each text on its background can be computed.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

#include <vector>

class QJSEngine;
class QQmlEngine;

namespace vaultora::toolkit {

class Theme final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    // Panels and rows.
    Q_PROPERTY(QColor panelBackground MEMBER m_panelBackground CONSTANT)
    Q_PROPERTY(QColor rowBackground MEMBER m_rowBackground CONSTANT)
    Q_PROPERTY(QColor selectedRowBackground MEMBER m_selectedRowBackground CONSTANT)
    Q_PROPERTY(QColor headerBackground MEMBER m_headerBackground CONSTANT)
    Q_PROPERTY(QColor separator MEMBER m_separator CONSTANT)
    Q_PROPERTY(QColor text MEMBER m_text CONSTANT)
    Q_PROPERTY(QColor secondaryText MEMBER m_secondaryText CONSTANT)
    Q_PROPERTY(QColor disabledText MEMBER m_disabledText CONSTANT)
    Q_PROPERTY(QColor headerText MEMBER m_headerText CONSTANT)
    Q_PROPERTY(QColor link MEMBER m_link CONSTANT)
    Q_PROPERTY(QColor accent MEMBER m_accent CONSTANT)
    Q_PROPERTY(QColor onAccent MEMBER m_onAccent CONSTANT)
    // The menu at the root of the stacked navigation, over its dark tiled background.
    Q_PROPERTY(QColor menuBackground MEMBER m_menuBackground CONSTANT)
    Q_PROPERTY(QColor menuHeaderBackground MEMBER m_menuHeaderBackground CONSTANT)
    Q_PROPERTY(QColor menuText MEMBER m_menuText CONSTANT)
    Q_PROPERTY(QColor menuSelectedText MEMBER m_menuSelectedText CONSTANT)
    Q_PROPERTY(QColor menuSelectedBackground MEMBER m_menuSelectedBackground CONSTANT)
    Q_PROPERTY(QColor menuLineLight MEMBER m_menuLineLight CONSTANT)
    Q_PROPERTY(QColor menuLineDark MEMBER m_menuLineDark CONSTANT)
    // Notices, the progress overlay and the dimming under sheets and alerts.
    Q_PROPERTY(QColor noticeBackground MEMBER m_noticeBackground CONSTANT)
    Q_PROPERTY(QColor errorNoticeBackground MEMBER m_errorNoticeBackground CONSTANT)
    Q_PROPERTY(QColor noticeText MEMBER m_noticeText CONSTANT)
    Q_PROPERTY(QColor overlayBackground MEMBER m_overlayBackground CONSTANT)
    Q_PROPERTY(QColor dimming MEMBER m_dimming CONSTANT)

    // The least height of anything the user taps, in points.
    Q_PROPERTY(double touchTarget MEMBER m_touchTarget CONSTANT)
    // The room at both sides of a row's content.
    Q_PROPERTY(double sideMargin MEMBER m_sideMargin CONSTANT)
    // The widest a form is drawn; a wider panel centres it.
    Q_PROPERTY(double widestForm MEMBER m_widestForm CONSTANT)
    Q_PROPERTY(QString monospaceFamily READ monospaceFamily CONSTANT)
    // Views show changes at once instead of animating them (also for tests that grab frames).
    Q_PROPERTY(
        bool reducedMotion READ reducedMotion WRITE setReducedMotion NOTIFY reducedMotionChanged)

public:
    // The level WCAG 2 AA asks of normal-sized text.
    static constexpr double minimumTextContrast = 4.5;

    // A text colour and the background it is drawn on.
    struct TextPair {
        QString name;
        QColor foreground;
        QColor background;
    };

    // The one theme of the process; QML gets this same object.
    static Theme& instance();
    static Theme* create(QQmlEngine* engine, QJSEngine* scriptEngine);

    // Every text colour of the theme with each background it is drawn on.
    [[nodiscard]] std::vector<TextPair> textPairs() const;
    // Whether the colour is one the theme draws text with.
    [[nodiscard]] bool isTextColour(const QColor& colour) const;

    // WCAG 2 relative luminance of an opaque colour, 0 (black) to 1 (white).
    [[nodiscard]] static double relativeLuminance(const QColor& colour);
    // WCAG 2 contrast ratio of two opaque colours, 1 to 21.
    [[nodiscard]] static double contrastRatio(const QColor& first, const QColor& second);

    [[nodiscard]] QString monospaceFamily() const;
    [[nodiscard]] bool reducedMotion() const { return m_reducedMotion; }
    void setReducedMotion(bool reduced);

signals:
    void reducedMotionChanged();

private:
    Theme() = default;

    QColor m_panelBackground{0xf2, 0xf2, 0xf5};
    QColor m_rowBackground{0xff, 0xff, 0xff};
    QColor m_selectedRowBackground{0xcf, 0xe0, 0xf7};
    QColor m_headerBackground{0xe4, 0xe4, 0xe8};
    QColor m_separator{0xc6, 0xc6, 0xc8};
    QColor m_text{0x1c, 0x1c, 0x1e};
    QColor m_secondaryText{0x55, 0x5a, 0x60};
    QColor m_disabledText{0x60, 0x60, 0x66};
    QColor m_headerText{0x3a, 0x3a, 0x3c};
    QColor m_link{0x00, 0x50, 0xb3};
    QColor m_accent{0x00, 0x57, 0xb8};
    QColor m_onAccent{0xff, 0xff, 0xff};
    // The lighter of the two colours of the menu's background tile.
    QColor m_menuBackground{0x2e, 0x31, 0x36};
    QColor m_menuHeaderBackground{0x1a, 0x1b, 0x1e};
    QColor m_menuText{0xd0, 0xd0, 0xd0};
    QColor m_menuSelectedText{0xff, 0xff, 0xff};
    QColor m_menuSelectedBackground{0x1a, 0x1b, 0x1e};
    QColor m_menuLineLight{0x3c, 0x40, 0x46};
    QColor m_menuLineDark{0x1a, 0x1b, 0x1e};
    QColor m_noticeBackground{0x2c, 0x3e, 0x50};
    QColor m_errorNoticeBackground{0xb0, 0x3a, 0x2e};
    QColor m_noticeText{0xff, 0xff, 0xff};
    QColor m_overlayBackground{0x26, 0x26, 0x26};
    QColor m_dimming{0, 0, 0, 0x66};
    double m_touchTarget = 44.0;
    double m_sideMargin = 16.0;
    double m_widestForm = 720.0;
    bool m_reducedMotion = false;
};

} // namespace vaultora::toolkit
