#include "wavewin/chanwin.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "wavewin/commands.h"
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
    const TSampleRange& s = Owner->Selection;
    return s.Valid && (s.Channel == Channel || s.Channel == AllChannels);
}

std::pair<int64_t, int64_t> TChannelWin::Band() const {
    if (!ShowsSelection())
        return {0, 0};
    const int64_t a = Owner->PixelOf(double(Owner->Selection.Start));
    const int64_t b = Owner->PixelOf(double(Owner->Selection.End));
    if (a >= width() || b < 0)
        return {0, 0};
    // A cursor, or a selection narrower than a column, is one column wide.
    return {a, a == b ? b + 1 : b};
}

void TChannelWin::paintEvent(QPaintEvent* event) {
    const QRect area = event->rect();
    const int left = area.left();
    const int right = area.right() + 1;
    const int top = area.top();
    const int rows = area.height();
    const QColor back = ColorOf(Owner->BackColor);
    const QColor wave = ColorOf(Owner->WaveColor);
    QPainter painter(this);

    // The background, with the selection as a band of the wave's colour.
    // Everything here is filled, never stroked: one pixel is one pixel on
    // any scale.
    const auto [bandFrom, bandTo] = Band();
    const int bandLeft = int(std::clamp<int64_t>(bandFrom, left, right));
    const int bandRight = int(std::clamp<int64_t>(bandTo, left, right));
    painter.fillRect(QRect(left, top, right - left, rows), back);
    if (bandLeft < bandRight)
        painter.fillRect(QRect(bandLeft, top, bandRight - bandLeft, rows), wave);

    const int centre = Owner->CentreY;
    const int half = Owner->HalfHeight;
    painter.fillRect(QRect(left, centre, right - left, 1), wave);

    // Each column shows the smallest and largest sample from its own first
    // sample through the next column's first, so neighbouring columns join.
    // The column's extent depends only on x, so any stretch of columns is
    // drawn exactly as a full repaint draws it.
    const NSWave::TChannel* channel =
        Owner->Document.HasChannel(Channel) ? &Owner->Document.Channel(Channel) : nullptr;
    const uint64_t count = channel ? channel->Count : 0;
    const double zoom = Owner->Zoom;
    const int64_t scrollX = Owner->ScrollX;
    uint64_t i = uint64_t(std::max<int64_t>(0, Owner->SampleUnder(left)));
    int x = left;
    for (; x < right; ++x) {
        const uint64_t next = uint64_t(double(scrollX + x + 1) / zoom);
        const NSWave::TPeak peak = channel ? channel->Extremes(i, next) : NSWave::TPeak{0, 0};
        i = next;
        const int y1 = centre + (((peak.Min >> 16) * half) >> 15);
        const int y2 = centre + (((peak.Max >> 16) * half) >> 15);
        // Inside the band the wave takes the background's colour.
        const QColor& pen = x >= bandFrom && x < bandTo ? back : wave;
        painter.fillRect(QRect(x, y1, 1, std::max(1, y2 - y1)), pen);
        if (next >= count)
            break;
    }
    // Past the end of the sound the zero line is green.
    if (x < right)
        painter.fillRect(QRect(x, centre, right - x, 1), QColor(0, 255, 0));
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
    static const struct {
        int Id;
        const char* Text;
    } items[] = {{CmdUndo, "&Undo\tCtrl+Z"},
                 {CmdCut, "Cu&t\tCtrl+X"},
                 {CmdCopy, "&Copy\tCtrl+C"},
                 {CmdPaste, "&Paste\tCtrl+V"},
                 {CmdSilence, "Clear"},
                 {CmdSelectAll, "Select &All\tCtrl+A"},
                 {CmdDeselect, "D&e-Select\tEscape"},
                 {CmdAllChannels, "A&ll Channels\tShift+Click"}};
    QMenu menu(this);
    for (const auto& item : items) {
        QString text = QString::fromLatin1(item.Text);
        if (item.Id == CmdUndo && Owner->HasRedo() && !Owner->HasUndo())
            text = QStringLiteral("Redo\tCtrl+Z");
        QAction* action = menu.addAction(text);
        action->setEnabled(Owner->IsEnabled(item.Id));
        const int id = item.Id;
        TWaveWin* owner = Owner;
        QObject::connect(action, &QAction::triggered, owner, [owner, id] { owner->Command(id); });
    }
    menu.exec(event->globalPos());
}

} // namespace NSWaveWin
