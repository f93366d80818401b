#include "wavewin/timeline.h"

#include <QPaintEvent>
#include <QPainter>

#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

QFont PixelFont(int pixels, int weight) {
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setWeight(QFont::Weight(weight));
    return font;
}

} // namespace

const QFont& CaptionFont() {
    static const QFont font = PixelFont(8, QFont::Bold);
    return font;
}

const QFont& ValueFont() {
    static const QFont font = PixelFont(9, QFont::Normal);
    return font;
}

const QFont& RulerFont() {
    static const QFont font = PixelFont(8, QFont::Normal);
    return font;
}

const QFont& ButtonFont() {
    static const QFont font = PixelFont(9, QFont::Normal);
    return font;
}

TTimeLine::TTimeLine(TWaveWin* window, QWidget* parent) : QWidget(parent), Window(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(RulerFont());
}

void TTimeLine::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(0, 14, event->rect().right() + 1, 14);
    (void)Window;
}

TSelectionGadget::TSelectionGadget(QWidget* parent, const QString& text, const QFont& font,
                                   const QColor& color, bool recessed)
    : TTextGadget(parent, recessed) {
    setFont(font);
    SetColor(color);
    SetText(text.toStdString());
}

} // namespace NSWaveWin
