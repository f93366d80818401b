#include "dlg/dlgunits.h"

#include <QFontMetrics>
#include <QWidget>

TDlgUnits::TDlgUnits(const QFont& font) {
    QFontMetrics metrics(font);
    // The average width the template system uses: the 52 letters' advance,
    // averaged and rounded.
    int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    CharWidth = (letters / 26 + 1) / 2;
    CharHeight = metrics.height();
    if (CharWidth < 1)
        CharWidth = 1;
    if (CharHeight < 1)
        CharHeight = 1;
}

namespace {

// a × b / c rounded to the nearest integer, halves away from zero, as the
// template system scales.
int MulDiv(int a, int b, int c) {
    long long product = (long long)a * b;
    long long half = c / 2;
    return int(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

int TDlgUnits::X(int units) const {
    return MulDiv(units, CharWidth, 4);
}

int TDlgUnits::Y(int units) const {
    return MulDiv(units, CharHeight, 8);
}

QRect TDlgUnits::ToPixels(int x, int y, int w, int h) const {
    return QRect(X(x), Y(y), X(w), Y(h));
}

QFont DialogFont() {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void PlaceControl(QWidget* control, const TDlgUnits& units, int x, int y, int w, int h) {
    control->setGeometry(units.ToPixels(x, y, w, h));
}
