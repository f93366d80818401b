#include "wavewin/chanwin.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "wavewin/access.h"
#include "wavewin/commands.h"
#include "wavewin/spectroview.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

QColor ColorOf(uint32_t value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace

TChannelWin::TChannelWin(TWaveWin* owner, int channel)
    : QWidget(owner), Owner(owner), Channel(channel) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    InstallAccessibility();
    // The selection and the play position move with the window's state;
    // assistive technology hears of it when its words change.
    connect(owner, &TWaveWin::StateChanged, this, [this] { AnnounceChannel(*this); });
    // The view repaints its channel from the first changed sample on; past
    // the end, too, as a shorter channel leaves room that now shows none.
    connect(owner, &TWaveWin::DocumentChanged, this, [this](const TDocumentChange& change) {
        if (change.Touches(Channel))
            InvalidateSamples(change.From, Owner->SampleUnder(width()) + 1);
    });
}

void TChannelWin::InvalidateSamples(int64_t first, int64_t last) {
    int64_t x1 = Owner->PixelOf(double(first));
    if (x1 >= width())
        return;
    x1 = std::max<int64_t>(x1 - 1, 0);
    int64_t x2 = Owner->PixelOf(double(last));
    if (x2 < 0)
        return;
    // Up to the right edge itself: the last column shows the band too.
    x2 = std::min<int64_t>(x2 + 2, width());
    update(QRect(int(x1), 0, int(x2 - x1), height()));
}

bool TChannelWin::ShowsSelection() const {
    const TSampleRange& s = Owner->Selected();
    return s.Valid && (s.Channel == Channel || s.Channel == AllChannels);
}

std::pair<int64_t, int64_t> TChannelWin::Band() const {
    if (!ShowsSelection())
        return {0, 0};
    const int64_t a = Owner->PixelOf(double(Owner->Selected().Start));
    const int64_t b = Owner->PixelOf(double(Owner->Selected().End));
    if (a >= width() || b < 0)
        return {0, 0};
    // A cursor, or a selection narrower than a column, is one column wide.
    return {a, a == b ? b + 1 : b};
}

namespace {

// What the columns of an update rectangle show: column k has its wave in
// the rows [From[k], From[k] + Rows[k]) in the colour Pen[k] (Rows[k] = 0
// past the end of the sound) over the background Ground[k], which is the
// band's colour inside the selection. Kept as separate arrays so that a row
// of pixels is worked out several columns at a time.
struct TColumns {
    std::vector<int32_t> From, Rows;
    std::vector<QRgb> Pen, Ground;

    void Resize(size_t n) {
        From.assign(n, 0);
        Rows.assign(n, 0);
        Pen.resize(n);
        Ground.resize(n);
    }
};

// The update rectangle's pixels are set row by row in a picture of their own
// and copied to the view in one go: a column of the wave drawn through the
// painter would cost a call per pixel. One picture serves every view, as
// only one paints at a time.
QImage& Canvas(int columns, int rows) {
    static QImage image;
    if (image.width() < columns || image.height() < rows)
        image = QImage(std::max(columns, image.width()), std::max(rows, image.height()),
                       QImage::Format_RGB32);
    return image;
}

// BRIMVALE_BENCH_REPORT names a descriptor the start-up benchmark reads:
// "shown" at the first paint of a view, "laid" at the first while a load
// shows the length to come, "whole" once every view of a loaded sound has
// painted all of it.
int BenchReport() {
    static const int fd = [] {
        const char* value = std::getenv("BRIMVALE_BENCH_REPORT");
        return value && *value ? std::atoi(value) : -1;
    }();
    return fd;
}
} // namespace

void TChannelWin::paintEvent(QPaintEvent* event) {
    const QRect logical = event->rect();
    if (Owner->View().Spectrogram)
        PaintSpectrogram(logical);
    else
        PaintWave(logical);
    if (BenchReport() >= 0)
        ReportPaint(logical);
}

void TChannelWin::ReportPaint(const QRect& area) const {
    static bool shown = false, laid = false, whole = false;
    static uint64_t painted = 0;
    auto say = [](bool& said, const char* text) {
        if (!said && write(BenchReport(), text, std::strlen(text)) >= 0)
            said = true;
    };
    say(shown, "shown\n");
    if (Owner->Loading()) {
        if (Owner->ShownLength() > 0)
            say(laid, "laid\n");
        painted = 0;
        return;
    }
    const uint32_t length = Owner->Document.GetLength();
    if (length == 0 || Channel >= 64)
        return;
    // The columns that hold sound, as far as nothing covers them.
    const QRect seen = visibleRegion().boundingRect();
    const int64_t first = std::max<int64_t>(seen.left(), Owner->PixelOf(0));
    const int64_t last = std::min<int64_t>(seen.right(), Owner->PixelOf(double(length)));
    if (area.left() > first || area.right() < last)
        return;
    painted |= uint64_t(1) << Channel;
    if (std::popcount(painted) >= Owner->Views().Count())
        say(whole, "whole\n");
}

void TChannelWin::PaintWave(const QRect& logical) {
    // Drawn in the screen's own pixels: on a screen of twice the density a
    // column of the wave, the zero line and a cursor are one device pixel
    // wide, as sharp as on any other screen. Everything below is in device
    // pixels; at a ratio of 1 they are the view's pixels.
    const double dpr = devicePixelRatioF();
    const int left = int(std::floor(logical.left() * dpr));
    const int right = int(std::ceil((logical.right() + 1) * dpr));
    const int top = int(std::floor(logical.top() * dpr));
    const int bottom = int(std::ceil((logical.bottom() + 1) * dpr));
    const int width = int(std::ceil(this->width() * dpr));
    const int columns = right - left;
    const QRgb back = ColorOf(Owner->View().BackColor).rgb();
    const QRgb wave = ColorOf(Owner->View().WaveColor).rgb();
    const QRgb green = qRgb(0, 255, 0);
    const int centre = int(std::lround(Owner->View().CentreY * dpr));
    const int half = int(std::lround(Owner->View().HalfHeight * dpr));
    const double zoom = Owner->View().Zoom * dpr;
    const double scrollX = double(Owner->View().ScrollX) * dpr;
    auto pixelOf = [&](double sample) { return int64_t(sample * zoom - scrollX); };

    // The selection is a band of the wave's colour, and inside it the wave
    // takes the background's colour. A cursor, or a selection narrower than
    // a column, is one column wide.
    int64_t bandFrom = 0, bandTo = 0;
    if (ShowsSelection()) {
        const int64_t a = pixelOf(double(Owner->Selected().Start));
        const int64_t b = pixelOf(double(Owner->Selected().End));
        if (a < width && b >= 0) {
            bandFrom = a;
            bandTo = a == b ? b + 1 : b;
        }
    }
    static TColumns shape;
    shape.Resize(size_t(columns));
    for (int x = left; x < right; ++x) {
        const bool inBand = x >= bandFrom && x < bandTo;
        shape.Pen[size_t(x - left)] = inBand ? back : wave;
        shape.Ground[size_t(x - left)] = inBand ? wave : back;
    }

    // Each column shows the smallest and largest sample from its own first
    // sample through the next column's first, so neighbouring columns join.
    // The column's extent depends only on x, so any stretch of columns is
    // drawn exactly as a full repaint draws it. The last column that holds
    // samples ends the wave; from there on the zero line is green.
    // While the sound loads, only what has arrived is drawn; the rest is as
    // past the end.
    const NSWave::TFile& sound = Owner->Shown();
    const NSWave::TChannel* channel = sound.HasChannel(Channel) ? &sound.Channel(Channel) : nullptr;
    const uint32_t readable = Owner->ShownFrames();
    const uint64_t count = channel ? std::min(channel->Count, readable) : 0;
    uint64_t i = uint64_t(std::max<int64_t>(0, int64_t((scrollX + left) / zoom)));
    int greenFrom = left;
    for (; greenFrom < right; ++greenFrom) {
        const uint64_t next = uint64_t((scrollX + greenFrom + 1) / zoom);
        const NSWave::TPeak peak =
            channel ? channel->Extremes(i, next, readable) : NSWave::TPeak{0, 0};
        i = next;
        const int y1 = centre + (((peak.Min >> 16) * half) >> 15);
        const int y2 = centre + (((peak.Max >> 16) * half) >> 15);
        shape.From[size_t(greenFrom - left)] = y1;
        shape.Rows[size_t(greenFrom - left)] = std::max(1, y2 - y1);
        if (next >= count)
            break;
    }

    QImage& canvas = Canvas(columns, bottom - top);
    const int32_t* from = shape.From.data();
    const int32_t* rows = shape.Rows.data();
    const QRgb* pen = shape.Pen.data();
    const QRgb* ground = shape.Ground.data();
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(canvas.scanLine(y - top));
        for (int k = 0; k < columns; ++k) {
            // All ones where the wave covers this row: no branch per pixel.
            const uint32_t wave = 0u - uint32_t(uint32_t(y - from[k]) < uint32_t(rows[k]));
            row[k] = (pen[k] & wave) | (ground[k] & ~wave);
        }
        if (y == centre) {
            // The zero line under the wave, green past the end.
            for (int k = 0; k < greenFrom - left; ++k)
                if (uint32_t(y - from[k]) >= uint32_t(rows[k]))
                    row[k] = wave;
            std::fill(row + (greenFrom - left), row + columns, green);
        }
    }
    PutCanvas(canvas, logical, QPoint(left, top), columns, bottom - top, dpr);
}

void TChannelWin::PutCanvas(const QImage& canvas, const QRect& logical, QPoint device, int columns,
                            int rows, double dpr) {
    QPainter painter(this);
    if (dpr == 1) {
        painter.drawImage(logical.topLeft(), canvas, QRect(0, 0, columns, rows));
        return;
    }
    // One picture pixel to one device pixel: in the screen's pixels the
    // painter copies the picture as it is, without scaling.
    painter.setTransform(QTransform::fromScale(1 / dpr, 1 / dpr));
    painter.drawImage(device, canvas, QRect(0, 0, columns, rows));
}

void TChannelWin::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    Owner->MouseDown(this, int(event->position().x()), event->modifiers() & Qt::ShiftModifier,
                     event->modifiers() & Qt::ControlModifier);
}

void TChannelWin::mouseMoveEvent(QMouseEvent* event) {
    Owner->MouseMove(this, int(event->position().x()), event->buttons() & Qt::LeftButton);
}

void TChannelWin::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Owner->MouseUp(this, int(event->position().x()));
}

void TChannelWin::contextMenuEvent(QContextMenuEvent* event) {
    // Menu 2065: the edit commands that make sense at a point in the sound.
    QMenu menu(this);
    const TCommandState state = Owner->CommandState();
    for (const TCommandInfo* item : ContextItems()) {
        const QString text =
            item->Context.Text ? CommandText(item->Context.Text) : ItemText(*item, state);
        QAction* action = menu.addAction(text);
        action->setEnabled(CommandEnabled(item->Id, state));
        const int id = item->Id;
        TWaveWin* owner = Owner;
        QObject::connect(action, &QAction::triggered, owner, [owner, id] { owner->Command(id); });
    }
    menu.exec(event->globalPos());
}

} // namespace NSWaveWin
