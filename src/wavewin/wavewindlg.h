#pragma once
// The dialog that hosts a document window inside the main frame: the time
// line, the channel area, scroll bars, the transport panel, the effect and
// track buttons, the selection read-out and the status bar.

#include <QList>

#include "dlg/stddlg.h"
#include "wavewin/commands.h"

class QScrollBar;
class TDlgControlBar;

namespace NSWaveWin {

class TBVButton;
class TWaveWin;

class TWaveWinDlg : public TStdDlg {
public:
    // The template's client size in dialog units.
    static constexpr int WidthUnits = 410;
    static constexpr int HeightUnits = 261;

    explicit TWaveWinDlg(QWidget* parent = nullptr);
    TWaveWin* Window() const { return Wave; }
    const QList<TBVButton*>& Buttons() const { return ButtonList; }

    // Enter and Escape never close the document.
    void accept() override {}
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls of the template, group by group.
    void PlaceViewControls(); // time line, scroll bars
    void PlaceLevels();       // recording meter, playback volume
    void PlaceViewButtons();  // channel height, zoom, sound format
    void PlaceReadout();      // status bar, selection read-out
    // Which controls follow the dialog's width and height.
    void FollowSize();
    TDlgControlBar* MakeBar(int id, int x, int y, int w, int h);
    // The buttons of the commands on bar `which`, in their order.
    void AddButtons(TDlgControlBar* bar, TToolBar which, int margin);
    void ConnectScrollBar(QScrollBar* bar, bool horizontal);
    // Follows the window's state: button enabling, the volume slider.
    void FollowState();

    TWaveWin* Wave;
    QList<TBVButton*> ButtonList;
};

} // namespace NSWaveWin
