#pragma once
// The transport panel's controls: glyph buttons that send commands to the
// document window, the framed groups, the playback volume slider and the
// recording level meter.

#include <QAbstractButton>
#include <QSlider>
#include <QWidget>
#include <vector>

namespace NSWaveWin {

class TWaveWin;

// A button with a glyph from the glyph sheet and an optional caption under
// it. A click sends its command to the document window; it is enabled when
// the command is. It takes the keyboard focus from Tab only (a click leaves
// it with the document), and then Space presses it.
class TBVButton : public QAbstractButton {
public:
    TBVButton(TWaveWin* window, int command, int glyph, int margin, const QString& caption,
              QWidget* parent = nullptr);
    int Command() const { return CommandId; }
    int Glyph() const { return GlyphNumber; }
    // Follows the document window's enabling.
    void UpdateState();
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    TWaveWin* Window;
    int CommandId;
    int GlyphNumber;
    int Margin;
};

// A framed group with a glyph and a two-line title, painted on the button
// face colour.
class TBVGroup : public QWidget {
public:
    TBVGroup(const QString& title, int glyph, QWidget* parent);
    // The control beside the title (the slider, the meter), placed on the
    // right of the title's room and as tall as the group allows.
    void SetSide(QWidget* side, int width, int maxHeight);
    // Where the glyph and the title are drawn: as wide as the longest line
    // of the title.
    QRect TitleRoom() const;
    const QString& TitleText() const { return Title; }
    // The narrowest width that holds the title and the side control.
    int NeededWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString Title;
    int GlyphNumber;
    QWidget* Side = nullptr;
    int SideWidth = 0;
    int SideHeight = 0;
};

// The playback volume: positions 0 (top, loudest) to 7 (bottom, silent).
class TVolSlider : public QSlider {
public:
    TVolSlider(TWaveWin* window, QWidget* parent);
    // Volume (7 − position) × 9362 for a slider position.
    static int VolumeOf(int position);
    static int PositionOf(int volume);

private:
    TWaveWin* Window;
};

// The recording level: a red bar over black, its height the level in percent.
class TRecLevelWin : public QWidget {
public:
    explicit TRecLevelWin(QWidget* parent);
    // The loudest channel's level.
    int Level() const;
    // One bar per channel, side by side; repaints only when a level changed.
    const std::vector<int>& Levels() const { return Percents; }
    void SetLevels(const std::vector<int>& percents);
    // Every bar at one level (0: all dark).
    void SetLevel(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<int> Percents{0};
};

} // namespace NSWaveWin
