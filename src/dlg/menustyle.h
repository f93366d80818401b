#pragma once
// The look of the drawn menus: every item 150 × 32 pixels with its glyph in
// the left 32 × 32 pixels, the text after it and the key text 60 pixels from
// the right edge. A checkable item (a volume level) shows its glyph's enabled
// image when checked and the disabled image otherwise.

#include <QProxyStyle>

class TDrawnMenuStyle : public QProxyStyle {
public:
    static constexpr int ItemWidth = 150;
    static constexpr int ItemHeight = 32;
    static constexpr int ImageSize = 32;
    static constexpr int KeyTextFromRight = 60;

    TDrawnMenuStyle();

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};
