#pragma once
// The time line above the channel views and the selection read-out below
// them.

#include <QWidget>

#include "dlg/dlgbar.h"

namespace NSWaveWin {

class TWaveWin;

// A ruler in seconds that scrolls and zooms with the channel views.
class TTimeLine : public QWidget {
public:
    TTimeLine(TWaveWin* window, QWidget* parent);

    // A row of the tick table: seconds between ticks, decimals of the labels.
    struct TTick {
        double Spacing;
        int Decimals;
    };
    // The spacing for a sample rate and a zoom: the first row whose ticks
    // are more than 50 pixels apart; null when none is.
    static const TTick* ChooseTick(int rate, double zoom);
    TWaveWin& Owner() const { return *Window; }
    // The line under the ticks: halfway between the palette's text and its
    // ground (mid-grey on black and white).
    static QColor LineColor(const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TWaveWin* Window;
};

// A caption or value of the selection read-out.
class TSelectionGadget : public TTextGadget {
public:
    TSelectionGadget(QWidget* parent, const QString& text, const QFont& font, const QColor& color,
                     bool recessed);
};

// The fonts the read-out and the time line draw with, shared by all windows.
const QFont& CaptionFont(); // "Start", "End", "Length": 8 px bold
const QFont& ValueFont();   // the values: 9 px
const QFont& RulerFont();   // the time line's labels: 8 px
const QFont& ButtonFont();  // button captions and group titles: 9 px

} // namespace NSWaveWin
