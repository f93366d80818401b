#pragma once
// The transport panel's controls: glyph buttons that send commands to the
// document window, the framed groups, the playback volume slider and the
// recording level meter.

#include <QAbstractButton>
#include <QSlider>
#include <QWidget>

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString Title;
    int GlyphNumber;
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
    int Level() const { return Percent; }
    // Repaints only when the level changed.
    void SetLevel(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int Percent = 0;
};

} // namespace NSWaveWin
