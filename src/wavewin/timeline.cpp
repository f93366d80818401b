#include "wavewin/timeline.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "wave/timefmt.h"
#include "wavewin/access.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

// The read-out's and the ruler's heights are pixels of a screen of 96 dots
// per inch. As points they follow the screen's logical resolution as the
// dialog font does (and a high-density screen scales them with everything
// else), so the small digits keep their size next to the dialog's text; full
// hinting sets them on whole pixels, which keeps them sharp at 8 and 9 pixels.
QFont ScreenFont(int pixels, int weight) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pixels * 72.0 / 96.0);
    font.setWeight(QFont::Weight(weight));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

const QFont& CaptionFont() {
    static const QFont font = ScreenFont(8, QFont::Bold);
    return font;
}

const QFont& ValueFont() {
    static const QFont font = ScreenFont(9, QFont::Normal);
    return font;
}

const QFont& RulerFont() {
    static const QFont font = ScreenFont(8, QFont::Normal);
    return font;
}

const QFont& ButtonFont() {
    static const QFont font = ScreenFont(9, QFont::Normal);
    return font;
}

QColor TTimeLine::LineColor(const QPalette& palette) {
    const QColor a = palette.color(QPalette::Base), b = palette.color(QPalette::Text);
    return QColor((a.red() + b.red() + 1) / 2, (a.green() + b.green() + 1) / 2,
                  (a.blue() + b.blue() + 1) / 2);
}

TTimeLine::TTimeLine(TWaveWin* window, QWidget* parent) : QWidget(parent), Window(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(RulerFont());
    InstallAccessibility();
}

const TTimeLine::TTick* TTimeLine::ChooseTick(int rate, double zoom) {
    static const TTick table[] = {{0.001, 3}, {0.002, 3}, {0.005, 3}, {0.01, 2}, {0.02, 2},
                                  {0.05, 2},  {0.1, 1},   {0.2, 1},   {0.5, 1},  {1, 0},
                                  {2, 0},     {5, 0},     {10, 0},    {30, 0},   {60, 0},
                                  {120, 0},   {300, 0},   {600, 0}};
    // The first spacing whose ticks lie more than 50 pixels apart.
    for (const TTick& tick : table)
        if (int64_t(double(int64_t(tick.Spacing * rate)) * zoom) > 50)
            return &tick;
    return nullptr;
}

void TTimeLine::paintEvent(QPaintEvent* event) {
    const int right = event->rect().right() + 1;
    QPainter painter(this);
    // The palette's colours, so the ruler reads on a dark desktop too (on
    // the usual light one: black on white with a mid-grey line). Its lines are
    // one device pixel thick on a screen of any density.
    const qreal line = 1.0 / devicePixelRatioF();
    const QColor ground = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::Text);
    painter.fillRect(event->rect(), ground);
    painter.fillRect(QRectF(0, 15 - line, right, line), LineColor(palette()));

    const int rate = std::max(1, Window->Shown().Rate);
    const double zoom = Window->View().Zoom;
    const int64_t scrollX = Window->View().ScrollX;
    const TTick* tick = ChooseTick(rate, zoom);
    if (!tick)
        return;
    painter.setFont(font());
    painter.setPen(ink);
    const int ascent = painter.fontMetrics().ascent();
    // One tick left of the visible start, so its label shows cut at the edge.
    const double leftTime = double(int64_t(double(scrollX) / zoom)) / rate;
    const int64_t first = int64_t(leftTime / tick->Spacing - 1.0);
    // Every label of a paint in the same form, decided at the right edge.
    const double rightTime = double(int64_t(double(width() + scrollX) / zoom)) / rate;
    const int minutes = rightTime > 60 ? 1 : 0;
    for (int64_t k = first;; ++k) {
        const double t = double(k) * tick->Spacing;
        const int64_t x = int64_t(double(int64_t(rate * t)) * zoom - double(scrollX));
        if (x > right + 20)
            break;
        painter.fillRect(QRectF(qreal(x), 4, line, 10), ink);
        painter.drawText(QPoint(int(x) + 2, 1 + ascent),
                         QString::fromStdString(NSWave::FormatSeconds(t, tick->Decimals, minutes)));
    }
}

TSelectionGadget::TSelectionGadget(QWidget* parent, const QString& text, const QFont& font,
                                   const QColor& color, bool recessed)
    : TTextGadget(parent, recessed) {
    setFont(font);
    SetColor(color);
    SetText(text.toStdString());
}

} // namespace NSWaveWin
