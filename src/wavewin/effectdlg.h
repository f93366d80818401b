#pragma once
// The base of the effect dialogs (Echo, Vibro, Amplitude, Pitch, Normalize,
// Loudness, Other Effect, each in its own file). Each works for one document
// window over the range fixed when it opens (the window's EffectiveRange),
// fills its fields from the settings and, on Ok, makes its change with undo;
// an error keeps it open. Preview plays the change made to a copy of the
// range's first seconds; pressing it again, or changing a field while it
// plays, plays it anew, and the dialog's end stops it.

#include <QSlider>
#include <functional>
#include <string>

#include "dlg/stddlg.h"
#include "util/settings.h"
#include "util/text.h"
#include "wave/samplerange.h"
#include "wavewin/preview.h"

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

    // The change the fields ask for, or null when a field is refused (said
    // in a message unless `quiet`). `keep`: the fields go into the settings,
    // as on Ok; a preview leaves them.
    virtual NSWaveWin::TEffectChange ReadEffect(bool keep, bool quiet);
    // Fills the controls from the settings.
    virtual void LoadFields() {}
    // Ok: the change of ReadEffect over the range, through the window's edit
    // protocol. False keeps the dialog open: Cancel in the undo-size
    // question, or an error (shown first, the sound given back as it was).
    virtual bool CanClose();
    // The Preview button: the change of ReadEffect on a copy, played.
    void Preview(bool quiet = false);
    NSWaveWin::TEffectPreview& Previewer() { return Previews; }

    const TSampleRange& Range() const { return EffectRange; }

    // Ok closes only when CanClose allows it. The dialog leaves the screen
    // when the change begins, and comes back when it failed or was
    // cancelled.
    void accept() override;
    void done(int result) override;
    // Runs the dialog until it is closed by Ok or Cancel.
    int Run();

protected:
    // The dialog base's set-up, then LoadFields; from then on a change of
    // any field replays a preview that plays. Derived dialogs call it once
    // their controls exist.
    void SetupWindow();
    // The library effect `name` with `args`. A library effect writes every
    // sample of its range, so on Ok a channel's new array is left for it to
    // fill rather than copied first.
    NSWaveWin::TEffectChange LibraryEffect(const std::string& name, const std::string& args);

    NSWaveWin::TWaveWin& Window;
    // The range clipped to the sound.
    TSampleRange EffectRange;
    // The progress caption of Ok's change.
    std::string Caption = NSText::Tr("Effect", "Filtering...");

private:
    // Whether the change ReadEffect last gave is a library effect.
    bool FillsRange = false;

private:
    NSWaveWin::TEffectPreview Previews;
    // Hidden for a change that then failed: its modal run ended, and Run
    // goes on with another.
    bool Reopen = false;
};

namespace NSWaveWin {

// "Ok" (id 1, the default button) and "Cancel" (id 2), 50 × 14 units each,
// side by side from (x, y).
void PlaceOkCancel(TStdDlg& dialog, int x, int y);
// "Preview" (id 3), 50 × 14 units at (x, y), which calls `preview`.
void PlacePreview(TStdDlg& dialog, int x, int y, std::function<void()> preview);
// Ok and Cancel from (x, y), Preview beside them.
void PlaceOkCancelPreview(TStdDlg& dialog, int x, int y, std::function<void()> preview);
// Calls `changed` whenever one of the dialog's fields changes.
void FollowFields(QWidget& dialog, const std::function<void()>& changed);
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
