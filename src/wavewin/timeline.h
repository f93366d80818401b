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
