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
// below left out.
void DrawRuler(QPainter& painter, const NSWave::TSpectrumScale& scale, int height, QColor ink) {
    const int w = TSpectroStrip::RulerWidth;
    painter.fillRect(QRect(0, 0, w, height), QColor(0, 0, 0, 160));
    painter.setPen(ink);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    const double span = std::log(scale.High() / scale.Low());
    int lastY = height + 100;
    for (double decade = 1; decade <= 100000; decade *= 10)
        for (double step : {1.0, 2.0, 5.0}) {
            const double hz = decade * step;
            if (hz < scale.Low() || hz > scale.High())
                continue;
            const int y = int(std::lround(height * (1 - std::log(hz / scale.Low()) / span)));
            if (lastY - y < 14 || y < 6)
                continue;
            lastY = y;
            painter.drawLine(w - 6, y, w - 1, y);
            const QString text =
                hz >= 1000 ? QString::number(hz / 1000) + "k" : QString::number(hz);
            painter.drawText(QRect(0, y - 7, w - 8, 14), Qt::AlignRight | Qt::AlignVCenter, text);
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
        const TWaveWin& w = *View->Owner;
        if (!w.View().Spectrogram || zoom != w.View().Zoom)
            return;
        const int64_t x1 = std::max<int64_t>(first - w.View().ScrollX, 0);
        const int64_t x2 = std::min<int64_t>(end - w.View().ScrollX, View->width());
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
    for (int y = top; y < bottom; ++y) {
        // The top row of pixels shows the highest row of levels.
        const int level = rows - 1 - std::clamp(int(int64_t(y) * rows / h), 0, rows - 1);
        const ptrdiff_t offset = ptrdiff_t(level) * perTile;
        auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(y - top));
        for (int k = 0; k < columns; ++k) {
            const uint8_t* levels = column[k];
            const QRgb colour = levels ? palette[levels[offset]] : waiting[k] ? Waiting : back;
            line[k] = colour ^ invert[k];
        }
    }
}

} // namespace

void TChannelWin::PaintSpectrogram(const QRect& area) {
    if (!Spectro)
        Spectro = std::make_unique<TSpectroStrip>(this);
    NSWave::TSpectrogram& tiles = Spectro->Tiles;
    const int left = area.left(), right = area.right() + 1;
    const int top = area.top(), bottom = area.bottom() + 1;
    const int columns = right - left;
    const QRgb back = ColorOf(Owner->View().BackColor);
    NSWave::TChannel* channel =
        Owner->Document.HasChannel(Channel) ? &Owner->Document.Channel(Channel) : nullptr;
    const int64_t count = channel ? channel->Count : 0;
    const double zoom = Owner->View().Zoom;
    const int64_t scrollX = Owner->View().ScrollX;
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
        const int64_t page = Owner->View().ViewWidth;
        ask(scrollX + width(), scrollX + width() + page);
        ask(scrollX - page, scrollX);
    }

    // Each column's levels (null: none to show), and the band's mask.
    static std::vector<const uint8_t*> column;
    static std::vector<QRgb> invert;
    column.assign(size_t(columns), nullptr);
    invert.assign(size_t(columns), 0);
    std::vector<uint8_t> waiting; // columns of the sound whose tile is not there yet
    waiting.assign(size_t(columns), 0);
    const auto [bandFrom, bandTo] = Band();
    const uint8_t* tile = nullptr;
    int64_t tileIndex = -1;
    for (int x = left; x < right; ++x) {
        const size_t k = size_t(x - left);
        if (x >= bandFrom && x < bandTo)
            invert[k] = 0x00ffffffu;
        if (!channel || Owner->SampleUnder(x) >= count)
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
    FillCanvas(canvas, columns, top, bottom, height(), column.data(), waiting.data(), invert.data(),
               back);
    if (left < TSpectroStrip::RulerWidth) {
        QPainter ruler(&canvas);
        ruler.translate(-left, -top);
        ruler.setClipRect(QRect(left, top, columns, bottom - top));
        DrawRuler(ruler, tiles.Scale(), height(), ColorOf(Owner->View().LegendColor));
    }
    QPainter(this).drawImage(area.topLeft(), canvas, QRect(0, 0, columns, bottom - top));
}

} // namespace NSWaveWin
