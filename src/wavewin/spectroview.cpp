// View > Spectrogram: the channel strips show each channel's spectrogram,
// with a frequency ruler on the left. The geometry is the waveform's (zoom,
// scroll, selection, gestures); the pixels come from tiles that worker
// threads compute, so a paint draws what is ready and the tiles that arrive
// repaint their own columns.

#include "wavewin/spectroview.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "util/settings.h"
#include "wavewin/chanwin.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

TValueSetting WindowSetting("View\\SpectrogramWindow", NSWave::DefaultSpectrumWindow);

const TCommandRow
    SpectrogramRow(TRow(CmdSpectrogram)
                       .Item(TMenu::View, 100, QT_TRANSLATE_NOOP("Commands", "&Spectrogram"))
                       .CheckedWhen([](const TCommandState& s) { return s.Spectrogram; })
                       // Like every command outside the transport and the
                       // zoom, not while the sound plays or records.
                       .Idle()
                       .Viewing()
                       .Does([](TWaveWin& w) { w.ShowSpectrogram(!w.View().Spectrogram); }));

} // namespace

void TWaveWin::ShowSpectrogram(bool spectrogram) {
    Spectrogram = spectrogram;
    // The tiles go with the spectrograms.
    if (!Spectrogram)
        for (TChannelWin* view : ChannelViews)
            view->Spectro.reset();
    UpdateView();
}

namespace {

// Columns not computed yet: a dim grey, apart from silence's black.
constexpr QRgb Waiting = 0xff303030u;

QRgb ColorOf(uint32_t value) {
    return qRgb(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

// The ruler's marks: 1, 2 and 5 of every decade, those too close to the one
// below left out. Drawn in device pixels, `height` of them, its sizes those
// of the view's pixels times `dpr`: its lines are one device pixel thick.
void DrawRuler(QPainter& painter, const NSWave::TSpectrumScale& scale, int height, QColor ink,
               double dpr) {
    auto px = [dpr](int n) { return int(std::lround(n * dpr)); };
    const int w = px(TSpectroStrip::RulerWidth);
    painter.fillRect(QRect(0, 0, w, height), QColor(0, 0, 0, 160));
    painter.setPen(ink);
    QFont font = painter.font();
    font.setPixelSize(px(10));
    painter.setFont(font);
    const double span = std::log(scale.High() / scale.Low());
    int lastY = height + 100;
    for (double decade = 1; decade <= 100000; decade *= 10)
        for (double step : {1.0, 2.0, 5.0}) {
            const double hz = decade * step;
            if (hz < scale.Low() || hz > scale.High())
                continue;
            const int y = int(std::lround(height * (1 - std::log(hz / scale.Low()) / span)));
            if (lastY - y < px(14) || y < px(6))
                continue;
            lastY = y;
            painter.drawLine(w - px(6), y, w - 1, y);
            const QString text =
                hz >= 1000 ? QString::number(hz / 1000) + "k" : QString::number(hz);
            painter.drawText(QRect(0, y - px(7), w - px(8), px(14)),
                             Qt::AlignRight | Qt::AlignVCenter, text);
        }
    painter.drawLine(w - 1, 0, w - 1, height);
}

} // namespace

int TSpectroStrip::WindowSize() {
    const int n = WindowSetting.Get();
    return n >= 64 && n <= 65536 ? n : NSWave::DefaultSpectrumWindow;
}

TSpectroStrip::TSpectroStrip(TChannelWin* view) : Tiles(WindowSize()), View(view) {
    // A tile repaints its columns if the view still shows its zoom.
    Tiles.Ready = [this](double zoom, int64_t first, int64_t end) {
        if (!View->Owner->View().Spectrogram || zoom != TileZoom())
            return;
        const double dpr = View->devicePixelRatioF();
        const int64_t from = FirstColumn();
        const int64_t x1 = std::max<int64_t>(int64_t(std::floor(double(first - from) / dpr)), 0);
        const int64_t x2 =
            std::min<int64_t>(int64_t(std::ceil(double(end - from) / dpr)), View->width());
        if (x1 < x2)
            View->update(QRect(int(x1), 0, int(x2 - x1), View->height()));
    };
    // A column shows the frame around its middle: a change reaches half a
    // window to the left of where the waveform shows it.
    connect(view->Owner, &TWaveWin::DocumentChanged, this, [this](const TDocumentChange& change) {
        if (View->Owner->View().Spectrogram && change.Touches(View->Channel)) {
            const int64_t from = int64_t(change.From) - Tiles.WindowSize() / 2;
            View->InvalidateSamples(std::max<int64_t>(from, 0),
                                    View->Owner->SampleUnder(View->width()) + 1);
        }
    });
}

double TSpectroStrip::TileZoom() const {
    return View->Owner->View().Zoom * View->devicePixelRatioF();
}

int64_t TSpectroStrip::FirstColumn() const {
    return int64_t(std::floor(double(View->Owner->View().ScrollX) * View->devicePixelRatioF()));
}

int TSpectroStrip::Columns() const {
    return int(std::ceil(View->width() * View->devicePixelRatioF()));
}

TChannelWin::~TChannelWin() = default;

void TChannelWin::Scrolled(int dx) {
    // The ruler stays where it is while the spectrogram moves under it.
    if (Owner->View().Spectrogram)
        update(QRect(0, 0, TSpectroStrip::RulerWidth + std::max(dx, 0), height()));
}

namespace {

// Rows [top, bottom) of `columns` of a strip `height` high, into the canvas
// from its top:
// each column's levels (null: none to show; `waiting`: not computed yet)
// with the band's mask.
void FillCanvas(QImage& canvas, int columns, int top, int bottom, int height,
                const uint8_t* const* column, const uint8_t* waiting, const QRgb* invert,
                QRgb back) {
    constexpr int perTile = NSWave::TSpectrogram::TileColumns;
    constexpr int rows = NSWave::TSpectrumScale::Rows;
    const auto& palette = NSWave::SpectrumPalette();
    const int h = std::max(1, height);
    int lastLevel = -1;
    for (int y = top; y < bottom; ++y) {
        // The top row of pixels shows the highest row of levels.
        const int level = rows - 1 - std::clamp(int(int64_t(y) * rows / h), 0, rows - 1);
        const ptrdiff_t offset = ptrdiff_t(level) * perTile;
        auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(y - top));
        // A strip taller than its rows of levels (most are, and on a screen
        // of twice the density every one) repeats a line of pixels.
        if (level == lastLevel) {
            std::copy_n(reinterpret_cast<const QRgb*>(canvas.constScanLine(y - top - 1)), columns,
                        line);
            continue;
        }
        lastLevel = level;
        for (int k = 0; k < columns; ++k) {
            const uint8_t* levels = column[k];
            const QRgb colour = levels ? palette[levels[offset]] : waiting[k] ? Waiting : back;
            line[k] = colour ^ invert[k];
        }
    }
}

} // namespace

void TChannelWin::PaintSpectrogram(const QRect& logical) {
    if (!Spectro)
        Spectro = std::make_unique<TSpectroStrip>(this);
    NSWave::TSpectrogram& tiles = Spectro->Tiles;
    // Drawn in the screen's own pixels, as the waveform is: on a screen of
    // twice the density every device column is a spectrum column of its
    // own, the rows and the ruler as fine as the screen, and a cursor one
    // device pixel wide. Everything below is in device pixels; at a ratio of
    // 1 they are the view's pixels.
    const double dpr = devicePixelRatioF();
    const int left = int(std::floor(logical.left() * dpr));
    const int right = int(std::ceil((logical.right() + 1) * dpr));
    const int top = int(std::floor(logical.top() * dpr));
    const int bottom = int(std::ceil((logical.bottom() + 1) * dpr));
    const int width = Spectro->Columns();
    const int height = int(std::ceil(this->height() * dpr));
    const int columns = right - left;
    const QRgb back = ColorOf(Owner->View().BackColor);
    NSWave::TChannel* channel =
        Owner->Document.HasChannel(Channel) ? &Owner->Document.Channel(Channel) : nullptr;
    const int64_t count = channel ? channel->Count : 0;
    const double zoom = Spectro->TileZoom();
    const int64_t scrollX = Spectro->FirstColumn();
    constexpr int perTile = NSWave::TSpectrogram::TileColumns;
    if (channel) {
        tiles.Follow(*channel, Owner->Document.Rate);
        tiles.CancelOtherZooms(zoom);
    }

    // The columns beside the screen are asked for first, so that those on
    // it, asked for last, are computed first.
    const int64_t lastColumn = int64_t(std::ceil(double(count) * zoom));
    auto ask = [&](int64_t from, int64_t to) {
        from = std::max<int64_t>(from, 0);
        to = std::min(to, lastColumn);
        for (int64_t t = from / perTile; from < to && t <= (to - 1) / perTile; ++t)
            tiles.Tile(zoom, t);
    };
    if (channel) {
        const int64_t page = int64_t(std::ceil(Owner->View().ViewWidth * dpr));
        ask(scrollX + width, scrollX + width + page);
        ask(scrollX - page, scrollX);
    }

    // The selection band, inverted; a cursor, or a selection narrower than a
    // column, is one column wide.
    int64_t bandFrom = 0, bandTo = 0;
    if (ShowsSelection()) {
        auto pixelOf = [&](uint32_t sample) { return int64_t(sample * zoom - double(scrollX)); };
        const int64_t a = pixelOf(Owner->Selected().Start);
        const int64_t b = pixelOf(Owner->Selected().End);
        if (a < width && b >= 0) {
            bandFrom = a;
            bandTo = a == b ? b + 1 : b;
        }
    }

    // Each column's levels (null: none to show), and the band's mask.
    static std::vector<const uint8_t*> column;
    static std::vector<QRgb> invert;
    column.assign(size_t(columns), nullptr);
    invert.assign(size_t(columns), 0);
    std::vector<uint8_t> waiting; // columns of the sound whose tile is not there yet
    waiting.assign(size_t(columns), 0);
    const uint8_t* tile = nullptr;
    int64_t tileIndex = -1;
    for (int x = left; x < right; ++x) {
        const size_t k = size_t(x - left);
        if (x >= bandFrom && x < bandTo)
            invert[k] = 0x00ffffffu;
        if (!channel || int64_t(double(x + scrollX) / zoom) >= count)
            continue;
        const int64_t c = scrollX + x;
        if (c / perTile != tileIndex) {
            tileIndex = c / perTile;
            tile = tiles.Tile(zoom, tileIndex);
        }
        column[k] = tile ? tile + c % perTile : nullptr;
        waiting[k] = !tile;
    }

    static QImage canvas;
    if (canvas.width() < columns || canvas.height() < bottom - top)
        canvas = QImage(std::max(columns, canvas.width()), std::max(bottom - top, canvas.height()),
                        QImage::Format_RGB32);
    FillCanvas(canvas, columns, top, bottom, height, column.data(), waiting.data(), invert.data(),
               back);
    if (left < int(std::lround(TSpectroStrip::RulerWidth * dpr))) {
        QPainter ruler(&canvas);
        ruler.translate(-left, -top);
        ruler.setClipRect(QRect(left, top, columns, bottom - top));
        DrawRuler(ruler, tiles.Scale(), height, ColorOf(Owner->View().LegendColor), dpr);
    }
    PutCanvas(canvas, logical, QPoint(left, top), columns, bottom - top, dpr);
}

} // namespace NSWaveWin
