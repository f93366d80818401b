#pragma once
// The document window: one open sound. It owns the sound document, the
// selection, the one-level undo and redo records and the channel views;
// it carries out every document command and decides which are enabled.

#include <QElapsedTimer>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "undo/history.h"
#include "undo/undo.h"
#include "undo/undowindow.h"
#include "util/arry.h"
#include "util/opstatus.h"
#include "util/pointer.h"
#include "wave/device.h"
#include "wave/file.h"
#include "wavewin/commands.h"
#include "wavewin/viewstate.h"

class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QScrollBar;
class TDlgStatusBar;
class TTextGadget;

namespace NSWaveWin {

class TChannelWin;
class TRecLevelWin;
class TSelectionGadget;
class TTimeLine;
class TVolSlider;
class TWaveWinDlg;

// What every document window has: its file, its selection and its document.
class TWaveWinBase : public QWidget {
public:
    explicit TWaveWinBase(QWidget* parent);

    // The status bar's text gadget: progress texts and hints.
    TTextTarget* StatusText = nullptr;
    NSWave::TFile Document{22050, 2, 1, 1};

    // The file the sound came from or was saved to (empty: untitled), and
    // the selection; SetSelection and the file commands change them.
    const std::string& File() const { return FileName; }
    const TSampleRange& Selected() const { return Selection; }

protected:
    std::string FileName;
    TSampleRange Selection;

public:
    // Plays and records the document; gone before it.
    NSWave::TPlayRecEngine Engine{Document};
};

// What a change of the document touched, as its window announces it.
struct TDocumentChange {
    // The channels whose samples changed, in ascending order, and the first
    // changed sample among them.
    std::vector<int> Channels;
    uint32_t From = UINT32_MAX;
    // A channel's length or the number of channels changed.
    bool Lengths = false;
    // The rate, the sample size or the style changed.
    bool Format = false;

    bool Touches(int channel) const {
        return std::binary_search(Channels.begin(), Channels.end(), channel);
    }
};

// Scroll requests of the scroll bars and the scroll commands.
enum class TScroll {
    LineBack,
    LineForward,
    PageBack,
    PageForward,
    ThumbPosition,
    ThumbTrack,
    ToStart,
    ToEnd
};

// The window's state is its own: the views read the view state through
// View() and report the mouse's gestures; everything else goes through the
// commands and the methods below.
class TWaveWin : public TWaveWinBase,
                 public NSUndo::TUndoWindow,
                 public NSWave::TPlayRecStatus,
                 private TViewState,
                 private NSWave::TLoadObserver {
    Q_OBJECT
    friend struct TWaveWinProbe; // the tests' way to set a view state directly
public:
    explicit TWaveWin(QWidget* parent);
    ~TWaveWin() override;

    // Opens a document window in the main frame's client area and loads
    // `name` into it (empty: a new untitled sound).
    static TWaveWin* Open(QMdiArea* client, const std::string& name, bool maximise);
    // Every document window that exists, oldest first.
    static const std::vector<TWaveWin*>& Windows();
    // The counter that numbers untitled windows; the next number it gives.
    static int NextUntitledNumber();

    // --- lifecycle, files and title ---------------------------------------
    // Loads `name` here when the window has no file and is not modified.
    virtual bool ReplaceIfUntouched(const std::string& name);
    void LoadFile(const std::string& name);
    bool SaveFile(bool saveAs);
    void SetModified(bool modified);
    bool IsModified() const { return Modified; }
    // The number of an untitled window ("Sound N").
    int Number() const { return UntitledNumber; }
    void UpdateTitle();
    // The full name: the file's path, or "Sound N".
    std::string Title() const;
    // The window's caption: the file's name without its folder, or "Sound N".
    std::string Caption() const;
    // Reloads the file, asking first when that throws changes away.
    void CmRevert();
    // Asks whether a modified sound may be discarded (Yes saves first);
    // false keeps the window open.
    bool CanClose();
    // The window's set-up once its dialog exists: title and view.
    void SetupWindow();

    // --- a load in progress ------------------------------------------------
    // The window shows the sound as it arrives, its time line at the length
    // the file announces; the view commands and Close work meanwhile.
    bool Loading() const { return LoadRunning; }
    // Stops the load as Escape does (the sound stays as it was).
    void CancelLoad();
    // The sound the views show: the document, or the one being loaded.
    const NSWave::TFile& Shown() const { return Growing.File ? *Growing.File : Document; }
    // Its length, and how many of its frames hold sound (all but while
    // loading).
    uint32_t ShownLength() const;
    uint32_t ShownFrames() const;
    // Asks the views to draw the frames that arrived since they last did.
    void ShowArrived();
    // Called after each run of frames that arrives during a load.
    std::function<void(uint64_t frames)> OnLoadArrived;

    // --- undo ----------------------------------------------------------------
    // Takes a record into the history under the running command's name.
    virtual bool AddUndo(NSUndo::TUndoBase* record);
    virtual bool HasRedo() const;
    bool HasUndo() const { return History.CanUndo(); }
    // Lets go of what Undo and Redo would bring back; the sound stays.
    void ForgetUndo();
    const NSUndo::TUndoHistory& UndoHistory() const { return History; }
    NSWave::TFile& GetDocument() override { return Document; }
    uint64_t KeptUndoBytes() override;
    void DropPushedOut() override;
    int MessageBox(const std::string& text, const std::string& caption, TMsgButtons buttons,
                   TMsgIcon icon) override;

    // --- commands --------------------------------------------------------------
    // Carries out a document command; one that is not enabled does nothing.
    void Command(int id);
    bool IsEnabled(int id) const;
    // Checked menu items: the volume level in use.
    bool IsChecked(int id) const;
    TCommandState CommandState() const;
    // The progress reporter's gadgets in this window's status bar.
    TStatusTarget StatusTarget() const;

    // --- selection and view ----------------------------------------------------
    virtual void SetSelection(const TSampleRange& range, bool bringIntoView = false);
    virtual void UpdateView();
    void ResetView();
    void FitHeight();
    // Sets the channel height (truncated; the layout keeps it in range).
    void SetChannelHeight(double height);
    void SetScale(double zoom);
    void ZoomToFit();
    void ScrollHorizontally(TScroll code, int64_t position = 0);
    void ScrollVertically(TScroll code, int64_t position = 0);
    void ShowSample(uint32_t sample);
    // The view's colours, red in the low byte.
    void SetColors(uint32_t back, uint32_t wave, uint32_t legend, uint32_t selection);
    // Shows spectrograms in the channel strips, or waveforms.
    void ShowSpectrogram(bool spectrogram);
    // What the views show: colours, zoom, scroll positions, strip geometry.
    const TViewState& View() const { return *this; }
    using TViewState::PixelOf;
    using TViewState::SampleUnder;
    // The channel views, one per channel.
    const TArry<TChannelWin>& Views() const { return ChannelViews; }
    // Scrolls vertically so that the channel's strip is in sight.
    void ShowChannel(int channel);
    // Writes the selection's start, end and length into the read-out.
    void UpdateSelectionTexts();
    // The range the effects work on: the selection; a cursor's whole
    // channel(s); the whole sound without a selection.
    TSampleRange EffectiveRange() const;

    // The selection that returns when the playback stops starts (or ends)
    // at the play position.
    void MarkPlayRange(bool start);
    // The range that plays (and becomes the selection again at Stop).
    const TSampleRange& PlayRange() const { return PlaySelection; }
    // Mouse gestures from a channel view.
    void MouseDown(TChannelWin* view, int x, bool shift, bool control);
    void MouseMove(TChannelWin* view, int x, bool buttonDown);
    void MouseUp(TChannelWin* view, int x);
    // A drag of the mouse is selecting in `view`.
    bool Dragging(const TChannelWin* view) const;

    // --- transport ---------------------------------------------------------------
    void CmPlay();
    void CmStop();
    void CmPause();
    void CmRecord();
    void FinishRecording();
    // Inserts a raw capture file (".ub", ".sw" or ".s3", `channels`
    // interleaved) at the selection, or at the end without one, at the
    // document's rate, through an undoable insertion; false when it was
    // cancelled or could not be read.
    bool InsertRecording(const TTmpFile& capture,
                         std::shared_ptr<const NSWave::TCaptureTail> tail = nullptr,
                         int channels = 1);
    void SetLevel(int level);
    int Level();

    // The play/record listener.
    void PlayPosition() override;
    void PlayStopped() override;
    void RecordProgress() override;
    void RecordStopped() override;
    void RecordInMemory(const std::string& why) override;
    void InputLost() override;

    // --- edit commands, effects, tracks ------------------------------------------
    // Undo takes the newest record back; with one level it applies a
    // redo record again when there is no undo record, as it always did.
    void CmUndo();
    void CmRedo();
    void CmCut();
    void CmCopy();
    void CmPaste();
    void CmDelete();
    void CmSelectAll();
    void CmDeselect();
    void CmSilence();
    void CmAllChannels();
    void CmReverse();
    void CmFadeIn();
    void CmFadeOut();
    void CmAmplitude();
    void CmEcho();
    void CmVibro();
    void CmPitch();
    void CmOtherEffect();
    void CmSoundFormat();
    void CmAddTrack();
    void CmDeleteTrack();
    void CmMergeTracks();
    void CmPrint();
    void CmClose();

    // The one protocol of every sample-changing command, the effect dialogs
    // included. `record` was built while the document was unchanged; AddUndo
    // takes it (false: the user cancelled, nothing happens) and marks the
    // sound modified. Then `change` runs under a progress reporter showing
    // `caption` and sets the selection it leaves. When it throws, the
    // message is shown and an accepted record takes the change back, the
    // earlier undo history and modified flag returning with the document as
    // it was.
    bool ApplyEdit(NSUndo::TUndoBase* record, const std::string& caption,
                   const std::function<void(TOpStatus&)>& change);
    // ApplyEdit for a change in place over `range` (clipped to the sound, a
    // range on one channel to that channel; nothing happens and nothing is
    // recorded when that is empty) with a replacement record. Over all
    // channels the shorter ones reach the range's end before the change,
    // with undo data or without, so the result never depends on the user's
    // answer.
    // `fill` ByChange: the change writes every sample of the range, reading
    // the old ones only through Amplify (or not at all).
    bool ApplyInPlace(const TSampleRange& range, const std::string& caption,
                      const std::function<void(const TSampleRange&, TOpStatus&)>& change,
                      NSUndo::TReplacement::TFill fill = NSUndo::TReplacement::TFill::Copy);
    // `range` clipped as ApplyInPlace clips it.
    TSampleRange InPlaceRange(const TSampleRange& range) const;
    // The gain of the Amplitude dialog's OK, `percent` of the samples over
    // EffectiveRange(); false when the user cancelled at the undo-size
    // question (the dialog then stays open).
    bool ApplyAmplitude(int percent);
    // Run once by the next ApplyEdit, after its record is accepted and just
    // before the change (a dialog hides itself there and the window is
    // painted without it). A change the user cancels through the status
    // bar's Cancel or Escape is taken back by its record, without a word;
    // ApplyEdit then returns false.
    std::function<void()> BeforeChange;

    // --- neighbours in the document dialog (set by TWaveWinDlg) --------------
    QMdiSubWindow* Child = nullptr;
    QMdiArea* Client = nullptr;
    TWaveWinDlg* Dialog = nullptr;
    TDlgStatusBar* StatusBar = nullptr;
    TTextGadget* ModifiedGadget = nullptr;
    TTimeLine* TimeLine = nullptr;
    QScrollBar* HScroll = nullptr;
    QScrollBar* VScroll = nullptr;
    QPushButton* FormatButton = nullptr;
    TRecLevelWin* Meter = nullptr;
    TVolSlider* Slider = nullptr;
    TSelectionGadget* StartGadget = nullptr;
    TSelectionGadget* EndGadget = nullptr;
    TSelectionGadget* LengthGadget = nullptr;

    static constexpr double ZoomMax = 10.0;
    // The fixed lower limit of the zoom; a sound too long for it to show
    // whole lowers the limit to the zoom that does (MinZoom).
    static constexpr double ZoomMin = 0.00004;
    // The zoom that shows the whole sound, and the widest zoom allowed.
    double FitZoom() const;
    double MinZoom() const;
    static constexpr int MinChannelHeight = 50;
    static constexpr int MaxChannelHeight = 2000;

signals:
    // Anything the enabling of commands, the buttons or the menus show may
    // have changed.
    void StateChanged();
    // The document changed; the views, the time line, the read-out and the
    // title follow from here.
    void DocumentChanged(const NSWaveWin::TDocumentChange& change);
    // A load ended, whole, failed or cancelled.
    void LoadEnded();

public:
    // Tells every window's listeners that the state changed (the sound card
    // changed hands, the clipboard changed).
    static void BroadcastState();
    // BroadcastState once the event loop is next idle: for the engine's
    // notices, sent while its state is still changing.
    static void BroadcastStateAtIdle();
    void NoteState();
    // Tells the listeners what changed in the document since the last time
    // (nothing when nothing did). The edit protocol, Undo, loading and the
    // end of every command call it; nobody repaints after a change.
    void AnnounceChanges();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void LoadStarted(const NSWave::TFile& loading, uint64_t expected) override;
    void LoadArrived(uint64_t frames) override;
    // The input the window takes while it loads (the rest waits).
    bool AdmitsWhileLoading(QObject* target, QEvent* event) const;

    // The sound being loaded, what of it has arrived and what the views
    // were last asked to draw.
    struct TGrowing {
        const NSWave::TFile* File = nullptr;
        uint64_t Expected = 0;
        uint64_t Frames = 0;
        uint64_t Drawn = 0;
        uint32_t LaidOut = 0; // the length the layout was made for
        QElapsedTimer SinceDrawn;
    } Growing;
    bool LoadRunning = false;

    TArry<TChannelWin> ChannelViews{10, 10};
    bool Modified = false;
    int UntitledNumber;
    TSampleRange PlaySelection;
    NSUndo::TUndoHistory History;
    // The name the next undo record takes: the running command's.
    std::string CommandName;
    // True once the window is on screen and laid out.
    bool Created = false;
    // The view shows the whole sound, as fitted, and keeps doing so when
    // the window's width changes, until the zoom or the scroll is changed.
    bool FitsWidth = false;
    // The mouse's drag: the view that holds the mouse (the button went down
    // there without Control; Qt sends it the moves until the button is
    // released, wherever the mouse goes), the sample at which the drag
    // started (-1: none) and where the button went down (-1 once the drag
    // has moved 3 pixels).
    struct TDrag {
        const TChannelWin* View = nullptr;
        int64_t Anchor = -1;
        int ClickX = -1;
    } Drag;

    // The window's own part of following a change: the layout when lengths
    // changed, the title and read-out when the format did.
    void FollowChange(const TDocumentChange& change);
    // Lays the channel views out and sets the scroll ranges; true when the
    // horizontal scroll position moved.
    bool Layout();
    // The document's shape when it was last announced.
    std::vector<uint32_t> AnnouncedLengths;
    int AnnouncedRate = 0, AnnouncedSize = 0, AnnouncedStyle = 0;

    // Takes the newest undo record back, or applies the newest redo record
    // again.
    void TakeStep(bool undo);
    // Shows a document error in the program's message box.
    void ShowError(const std::string& text);
    // Saves to FileName, asking before a type that holds fewer bits.
    void SaveTo(const std::string& name);
};

} // namespace NSWaveWin
