#include "wavewin/chanwin.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

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
    x2 = std::min<int64_t>(x2 + 2, width());
    update(QRect(int(x1), 0, int(x2 - x1), height()));
}

void TChannelWin::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), ColorOf(Owner->BackColor));
    painter.setPen(ColorOf(Owner->WaveColor));
    painter.drawLine(event->rect().left(), Owner->CentreY, event->rect().right(), Owner->CentreY);
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
