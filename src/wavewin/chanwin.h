#pragma once
// One channel's waveform view inside the document window.

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <utility>

namespace NSWaveWin {

class TSpectroStrip;
class TWaveWin;

class TChannelWin : public QWidget {
public:
    TChannelWin(TWaveWin* owner, int channel);
    ~TChannelWin() override;

    // Repaints the columns that show samples first..last.
    void InvalidateSamples(int64_t first, int64_t last);
    // Whether the window's selection is on this view's channel.
    bool ShowsSelection() const;
    // The columns [from, to) of the selection band; empty when none shows.
    std::pair<int64_t, int64_t> Band() const;

    TWaveWin* Owner;
    int Channel;
    // The spectrogram's tiles, made when the view first shows one.
    std::unique_ptr<TSpectroStrip> Spectro;
    // What assistive technology was last told of the view.
    QString AnnouncedText;
    double AnnouncedValue = -1;
    // The window moved the view's pixels dx to the right.
    void Scrolled(int dx);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void PaintWave(const QRect& area);
    void PaintSpectrogram(const QRect& area);
    // Puts the first columns x rows of `canvas`, drawn in device pixels from
    // `device` on, on the screen at `logical`.
    void PutCanvas(const QImage& canvas, const QRect& logical, QPoint device, int columns, int rows,
                   double dpr);
    // For the start-up benchmark: tells it when the window first showed
    // and when it showed the whole loaded sound.
    void ReportPaint(const QRect& area) const;
};

} // namespace NSWaveWin
