#pragma once
// Dialog layouts are given in dialog units: a horizontal unit is a quarter of
// the dialog font's average character width, a vertical unit an eighth of its
// character height. Laying controls out in these units keeps every
// proportion of a dialog whatever font and screen it meets.

#include <QFont>
#include <QRect>

class QWidget;

class TDlgUnits {
public:
    explicit TDlgUnits(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect ToPixels(int x, int y, int w, int h) const;

    // Average character width and character height of the font, in pixels.
    int BaseX() const { return CharWidth; }
    int BaseY() const { return CharHeight; }

private:
    int CharWidth;
    int CharHeight;
};

// The font dialogs are laid out with and drawn in: the desktop's sans font at
// 8 points.
QFont DialogFont();

// Places `control` at a rectangle given in dialog units.
void PlaceControl(QWidget* control, const TDlgUnits& units, int x, int y, int w, int h);
