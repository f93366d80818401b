#pragma once
// The look of the drawn menus: every item 150 × 32 pixels with its glyph in
// the left 32 × 32 pixels, the text after it and the key text 60 pixels from
// the right edge; a menu whose labels would run into its key texts (or whose
// key texts are longer) is widened just enough. A checkable item (a volume level) shows its glyph's
// enabled image when checked and the disabled image otherwise.

#include <QProxyStyle>

class QAction;

class TDrawnMenuStyle : public QProxyStyle {
public:
    static constexpr int ItemWidth = 150;
    static constexpr int ItemHeight = 32;
    static constexpr int ImageSize = 32;
    static constexpr int KeyTextFromRight = 60;

    TDrawnMenuStyle();

    // A drawn item's text: the part before a tab becomes the action's text,
    // the part after it the key text drawn on the right. Keys themselves
    // belong to other actions: a menu item with its own shortcut would get
    // room for the shortcut added to its width.
    static void SetItemText(QAction* action, const QString& text);
    static QString KeyText(const QAction* action);

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};
