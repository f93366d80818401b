#include "wavewin/transport.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

#include <algorithm>

#include "dlg/artwork.h"
#include "wavewin/access.h"
#include "wavewin/commands.h"
#include "wavewin/timeline.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

// The button's raised or sunken border.
constexpr int Border = 2;
// Extra room under the glyph of a captioned button.
constexpr int CaptionRoom = 15;

} // namespace

TBVButton::TBVButton(TWaveWin* window, int command, int glyph, int margin, const QString& caption,
                     QWidget* parent)
    : QAbstractButton(parent), Window(window), CommandId(command), GlyphNumber(glyph),
      Margin(margin) {
    setText(caption);
    setToolTip(caption);
    setFocusPolicy(Qt::TabFocus);
    InstallAccessibility();
    // Spoken as it is shown: the caption, else the menu item's words.
    const TCommandInfo* info = FindCommand(command);
    QString item = info ? CommandText(info->MenuText) : QString();
    item = item.left(item.indexOf(QLatin1Char('\t'))).remove(QLatin1Char('&'));
    item.remove(QStringLiteral("..."));
    QString name = !caption.isEmpty() ? caption : item;
    if (name.isEmpty())
        name = command == CmdHeightUp ? QCoreApplication::translate("Commands", "Taller Channels")
               : command == CmdHeightDown
                   ? QCoreApplication::translate("Commands", "Shorter Channels")
                   : QCoreApplication::translate("Commands", "Command %1").arg(command);
    setAccessibleName(name);
    QStringList keys;
    if (info)
        for (const QKeySequence& key : info->Keys)
            keys << key.toString(QKeySequence::NativeText);
    QString description = item.isEmpty() || item == name ? QString() : item;
    if (!keys.isEmpty())
        description += (description.isEmpty() ? QString() : QStringLiteral("; ")) +
                       QCoreApplication::translate("Commands", "keys: ") +
                       keys.join(QStringLiteral(", "));
    setAccessibleDescription(description);
    setFont(ButtonFont());
    setFixedSize(sizeHint());
    connect(this, &QAbstractButton::clicked, window, [this] { Window->Command(CommandId); });
}

QSize TBVButton::sizeHint() const {
    const int glyph = NSArt::GlyphSize(GlyphNumber);
    int w = glyph + 2 * Margin + 2 * Border;
    // A caption is never cut: the button widens to hold it.
    if (!text().isEmpty())
        w = std::max(w, QFontMetrics(font()).horizontalAdvance(text()) + 2 * Border + 4);
    const int h = glyph + 2 * Margin + (text().isEmpty() ? 0 : CaptionRoom) + 2 * Border;
    return QSize(w, h);
}

void TBVButton::UpdateState() {
    setEnabled(Window->IsEnabled(CommandId));
}

bool TBVButton::event(QEvent* event) {
    // Space belongs to the button that has the focus, not to Play.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier) {
            event->accept();
            return true;
        }
    }
    return QAbstractButton::event(event);
}

void TBVButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool down = isDown() || isChecked();
    qDrawShadePanel(&painter, rect(), palette(), down, Border, &palette().brush(QPalette::Button));
    QRect inner = rect().adjusted(Border + Margin, Border + Margin, -(Border + Margin),
                                  -(Border + Margin + (text().isEmpty() ? 0 : CaptionRoom)));
    if (!text().isEmpty()) {
        QRect caption(Border, height() - Border - 12, width() - 2 * Border, 12);
        painter.setFont(font());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::ButtonText));
        painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, text());
    }
    if (down)
        inner.translate(1, 1);
    // The glyph keeps its square shape in a button widened for its caption.
    const int side = std::min(inner.width(), inner.height());
    QRect square(inner.left() + (inner.width() - side) / 2, inner.top(), side, side);
    NSArt::PaintGlyph(painter, GlyphNumber, QRectF(square), isEnabled());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(Border + 1, Border + 1, -Border - 1, -Border - 1);
        focus.backgroundColor = palette().color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

TBVGroup::TBVGroup(const QString& title, int glyph, QWidget* parent)
    : QWidget(parent), Title(title), GlyphNumber(glyph) {
    setAutoFillBackground(true);
    InstallAccessibility();
    setAccessibleName(QString(title).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
}

namespace {
constexpr int GroupPad = 4;
}

QRect TBVGroup::TitleRoom() const {
    const QFontMetrics metrics(ButtonFont());
    int w = NSArt::GlyphSize(GlyphNumber);
    for (const QString& line : Title.split(QLatin1Char('\n')))
        w = std::max(w, metrics.horizontalAdvance(line));
    return QRect(GroupPad, 1, w, height() - 2);
}

int TBVGroup::NeededWidth() const {
    return TitleRoom().right() + 1 + GroupPad + SideWidth + GroupPad;
}

void TBVGroup::SetSide(QWidget* side, int width, int maxHeight) {
    Side = side;
    SideWidth = width;
    SideHeight = maxHeight;
    resizeEvent(nullptr);
}

void TBVGroup::resizeEvent(QResizeEvent*) {
    if (!Side)
        return;
    // The side control sits in the middle of the room the title leaves.
    const int left = TitleRoom().right() + 1 + GroupPad;
    const int room = std::max(SideWidth, width() - left - GroupPad);
    const int h = std::min(SideHeight, height() - 2 * GroupPad);
    Side->setGeometry(left + (room - SideWidth) / 2, (height() - h) / 2, SideWidth, h);
}

void TBVGroup::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    qDrawShadeRect(&painter, rect(), palette(), true, 1);
    const QRect room = TitleRoom();
    const int size = NSArt::GlyphSize(GlyphNumber);
    const int glyphTop = std::max(2, height() / 4 - size / 2);
    painter.drawPixmap(QRect(room.left() + (room.width() - size) / 2, glyphTop, size, size),
                       NSArt::GlyphPixmap(GlyphNumber, true, size, devicePixelRatioF()));
    painter.setFont(ButtonFont());
    painter.setPen(palette().color(QPalette::ButtonText));
    QRect text(room.left(), height() / 2 + 2, room.width(), height() - (height() / 2 + 2));
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop, Title);
}

TVolSlider::TVolSlider(TWaveWin* window, QWidget* parent)
    : QSlider(Qt::Vertical, parent), Window(window) {
    setRange(0, 7);
    setTickInterval(2);
    setTickPosition(QSlider::TicksRight);
    setPageStep(1);
    // The top position is the loudest.
    setInvertedAppearance(true);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QCoreApplication::translate("Commands", "Playback volume"));
    setAccessibleDescription(QCoreApplication::translate(
        "Commands", "The volume of playback, loudest at the top; also the Volume menu"));
    connect(this, &QSlider::valueChanged, window,
            [this](int position) { Window->SetLevel(VolumeOf(position) / NSWave::VolumeStep); });
}

int TVolSlider::VolumeOf(int position) {
    return (7 - position) * NSWave::VolumeStep;
}

int TVolSlider::PositionOf(int volume) {
    return 7 - volume / NSWave::VolumeStep;
}

TRecLevelWin::TRecLevelWin(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    InstallAccessibility();
}

int TRecLevelWin::Level() const {
    return *std::max_element(Percents.begin(), Percents.end());
}

void TRecLevelWin::SetLevels(const std::vector<int>& percents) {
    const std::vector<int> levels = percents.empty() ? std::vector<int>{0} : percents;
    if (levels == Percents)
        return;
    Percents = levels;
    repaint();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, Level());
        QAccessible::updateAccessibility(&changed);
    }
}

void TRecLevelWin::SetLevel(int percent) {
    SetLevels(std::vector<int>(Percents.size(), percent));
}

void TRecLevelWin::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const int w = width(), h = height();
    const int inner = w - 2 * (w / 5);
    const int n = int(Percents.size());
    // The bars share the middle three fifths, a pixel apart.
    for (int c = 0; c < n; ++c) {
        const int percent = std::clamp(Percents[size_t(c)], 0, 100);
        if (percent <= 0)
            continue;
        const int left = w / 5 + inner * c / n;
        const int right = w / 5 + inner * (c + 1) / n - (c + 1 < n ? 1 : 0);
        const int top = h - h * percent / 100;
        painter.fillRect(QRect(left, top, std::max(1, right - left), h - top), QColor(255, 0, 0));
    }
}

} // namespace NSWaveWin
