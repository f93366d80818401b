#pragma once
// Channel views under test: what a view shows, painted the plain way (every
// covered sample read, column after column, as the drawing rules put it),
// the view's own rendering of any stretch of columns, what the screen
// shows, and a comparison that names the first pixel that differs.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <cstdint>

#include "wavewin/chanwin.h"
#include "wavewin/wavewin.h"

namespace NSWaveWinTest {

inline QRgb RgbOf(uint32_t colorref) {
    return qRgb(int(colorref & 0xFF), int((colorref >> 8) & 0xFF), int((colorref >> 16) & 0xFF));
}

// Channel c of window w as a view of width × height pixels shows it; with
// `readable`, as it shows that many of its samples while the rest loads.
inline QImage PlainView(const NSWaveWin::TWaveWin& w, int c, int width, int height,
                        int64_t readable = INT64_MAX) {
    const QRgb back = RgbOf(w.View().BackColor), wave = RgbOf(w.View().WaveColor),
               green = qRgb(0, 255, 0);
    const NSWave::TChannel& channel = w.Document.Channel(c);
    const int64_t count = std::min<int64_t>(channel.Count, readable);
    auto sample = [&](int64_t i) { return i < count ? channel.Samples[i] : 0; };
    auto pixel = [&](double s) { return int64_t(s * w.View().Zoom - double(w.View().ScrollX)); };
    QImage image(width, height, QImage::Format_RGB32);
    auto set = [&](int64_t x, int y, QRgb colour) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            image.setPixel(int(x), y, colour);
    };
    auto fill = [&](int64_t from, int64_t to, QRgb colour) {
        from = std::max<int64_t>(from, 0);
        to = std::min<int64_t>(to, width);
        for (int y = 0; from < to && y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            std::fill(row + from, row + to, colour);
        }
    };

    // Erasing: the selection is a band of the wave's colour, a cursor one
    // column wide.
    const TSampleRange& selection = w.Selected();
    const bool shows =
        selection.Valid && (selection.Channel == c || selection.Channel == AllChannels);
    fill(0, width, back);
    if (shows) {
        const int64_t a = pixel(selection.Start), b = pixel(selection.End);
        if (a < width && b >= 0)
            fill(a, a == b ? b + 1 : b, wave);
    }
    const int centre = w.View().CentreY, half = w.View().HalfHeight;
    for (int x = 0; x < width; ++x)
        set(x, centre, wave);

    // Where the wave changes colour: the band's first column and the column
    // after it. A band that ends where the painting starts is not there.
    int64_t sx = -1, ex = -1;
    if (shows) {
        sx = pixel(selection.Start);
        ex = pixel(selection.End);
        if (0 > sx) {
            if (0 < ex)
                sx = 0;
            else
                sx = ex = -1;
        }
        if (0 <= sx && ex == sx)
            ex = sx + 1;
    }
    int64_t i = int64_t(double(w.View().ScrollX) / w.View().Zoom);
    QRgb pen = wave;
    int x = 0;
    for (; x < width; ++x) {
        const int64_t next = int64_t(double(w.View().ScrollX + x + 1) / w.View().Zoom);
        int32_t lo = sample(i), hi = lo;
        while (i < next) {
            ++i;
            const int32_t v = sample(i);
            if (v < lo)
                lo = v;
            else if (v > hi)
                hi = v;
        }
        const int y1 = centre + (((lo >> 16) * half) >> 15);
        const int y2 = centre + (((hi >> 16) * half) >> 15);
        if (x == sx)
            pen = back;
        else if (x == ex)
            pen = wave;
        if (y1 == y2)
            set(x, y1, pen);
        else
            for (int y = y1; y < y2; ++y)
                set(x, y, pen);
        if (next >= count)
            break;
    }
    for (; x < width; ++x)
        set(x, centre, green);
    return image;
}

inline QImage PlainView(const NSWaveWin::TChannelWin& view) {
    return PlainView(*view.Owner, view.Channel, view.width(), view.height());
}

// The pixels of `area` in both images are the same.
inline ::testing::AssertionResult SamePixels(const QImage& got, const QImage& want,
                                             const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(got.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(want.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            if (a[x] != b[x])
                return ::testing::AssertionFailure()
                       << "in " << area.left() << ".." << area.right() << " × " << area.top()
                       << ".." << area.bottom() << " first difference at column " << x << ", row "
                       << y << ": " << std::hex << a[x] << " instead of " << b[x] << std::dec;
    }
    return ::testing::AssertionSuccess();
}

// The view paints `area` alone (its paint event asks for just that) over a
// picture that holds something else there; elsewhere the picture is `rest`.
inline QImage Rendered(NSWaveWin::TChannelWin& view, const QRect& area, const QImage& rest) {
    QImage image = rest.copy();
    QPainter(&image).fillRect(area, QColor(255, 0, 255));
    view.render(&image, area.topLeft(), QRegion(area));
    return image;
}

// The part of the view that neither its parents clip nor a widget stacked
// above it or above one of its parents covers, in the view's coordinates.
inline QRect Unobscured(const QWidget& view) {
    QRegion region = view.visibleRegion();
    for (const QWidget* w = &view; w->parentWidget() && !w->isWindow(); w = w->parentWidget()) {
        const QObjectList& siblings = w->parentWidget()->children();
        for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
            const auto* above = qobject_cast<const QWidget*>(siblings[i]);
            if (above && above->isVisible() && !above->isWindow())
                region -= QRect(view.mapFrom(w->parentWidget(), above->pos()), above->size());
        }
    }
    // The largest band of whole rows left.
    QRect best;
    for (const QRect& r : region)
        if (r.width() * r.height() > best.width() * best.height())
            best = r;
    return best;
}

// What the screen shows of the view once every waiting repaint has run, in
// the view's coordinates; *visible receives the part that can be compared.
inline QImage OnScreen(NSWaveWin::TChannelWin& view, QRect* visible) {
    QCoreApplication::processEvents();
    *visible = Unobscured(view);
    QImage image(view.size(), QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    if (visible->isEmpty())
        return image;
    const QPoint origin = view.mapTo(view.window(), visible->topLeft());
    const QImage shown = view.screen()
                             ->grabWindow(view.window()->winId(), origin.x(), origin.y(),
                                          visible->width(), visible->height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            image.setPixel(visible->left() + x, visible->top() + y, shown.pixel(x, y));
    return image;
}

} // namespace NSWaveWinTest
