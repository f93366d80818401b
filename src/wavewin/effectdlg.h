#pragma once
// The base of the effect dialogs (Echo, Vibro, Amplitude, Pitch, Normalize,
// Other Effect, each in its own file). Each works for one document window
// over the range fixed when it opens (the window's EffectiveRange), fills
// its fields from the settings and, on Ok, makes its change with undo; an
// error keeps it open.

#include <QSlider>
#include <string>

#include "dlg/stddlg.h"
#include "util/settings.h"
#include "wave/samplerange.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class TOpStatus;

namespace NSWaveWin {
class TWaveWin;
}

class TEffectDlg : public TStdDlg {
public:
    // The client size in dialog units and the title.
    TEffectDlg(NSWaveWin::TWaveWin& window, int widthUnits, int heightUnits, const QString& title);

    // The change itself over the range (clipped to the sound), once the
    // undo record is accepted; throws xmsg.
    virtual void Apply(const TSampleRange& range, TOpStatus& status);
    // Fills the controls from the settings.
    virtual void LoadFields() {}
    // Ok: Apply through the window's edit protocol. False keeps the dialog
    // open: Cancel in the undo-size question, or an error (shown first,
    // the sound given back as it was).
    virtual bool CanClose();

    const TSampleRange& Range() const { return EffectRange; }

    // Ok closes only when CanClose allows it. The dialog leaves the screen
    // when the change begins, and comes back when it failed or was
    // cancelled.
    void accept() override;
    void done(int result) override;
    // Runs the dialog until it is closed by Ok or Cancel.
    int Run();

protected:
    // The dialog base's set-up, then LoadFields. Derived dialogs call it
    // once their controls exist.
    void SetupWindow();
    // Runs the library effect `name` with `args` over `range`.
    void ApplyEffect(const TSampleRange& range, const std::string& name, const std::string& args,
                     TOpStatus& status);

    NSWaveWin::TWaveWin& Window;
    // The range clipped to the sound.
    TSampleRange EffectRange;

private:
    // Hidden for a change that then failed: its modal run ended, and Run
    // goes on with another.
    bool Reopen = false;
};

namespace NSWaveWin {

// "Ok" (id 1, the default button) and "Cancel" (id 2), 50 × 14 units each,
// side by side from (x, y).
void PlaceOkCancel(TStdDlg& dialog, int x, int y);
// A static text placed with id -1.
QLabel* PlaceText(TStdDlg& dialog, const QString& text, int x, int y, int w, int h);
// An edit with a caption whose key letter reaches the edit: the caption at
// (x, y + 2), `captionW` wide, the edit `w` wide after it.
QLineEdit* PlaceEdit(TStdDlg& dialog, int id, const QString& caption, int x, int y, int captionW,
                     int w);
// The number at the start of a text as an integer or a single-precision
// number; 0 when the text does not start with one.
int ReadInt(const QString& text);
float ReadFloat(const QString& text);
// A number in the default notation of text streams (six significant digits:
// 1, 0.5, 22.05).
std::string DefaultNumber(double value);

} // namespace NSWaveWin
