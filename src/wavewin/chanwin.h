#pragma once
// One channel's waveform view inside the document window.

#include <QWidget>
#include <cstdint>

namespace NSWaveWin {

class TWaveWin;

class TChannelWin : public QWidget {
public:
    TChannelWin(TWaveWin* owner, int channel);

    // Repaints the columns that show samples first..last.
    void InvalidateSamples(int64_t first, int64_t last);

    TWaveWin* Owner;
    int Channel;
    // Sample at which the current drag started; -1 when none.
    int64_t DragAnchor = -1;
    // Where the button went down; -1 once the drag has moved 3 pixels.
    int ClickX = -1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

} // namespace NSWaveWin
