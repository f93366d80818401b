// The document window's lifecycle, files, title, undo slots, command
// dispatch and transport.

#include "wavewin/wavewin.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <sstream>

#include "dlg/artwork.h"
#include "dlg/cancelwatch.h"
#include "dlg/dlgbar.h"
#include "util/settings.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/reader.h"
#include "wave/soundformat.h"
#include "wavewin/chanwin.h"
#include "wavewin/clipboard.h"
#include "wavewin/filechoice.h"
#include "wavewin/timeline.h"
#include "wavewin/transport.h"
#include "wavewin/viewprefs.h"
#include "wavewin/wavewindlg.h"

namespace NSWaveWin {

TValueSetting BackColorSetting("View\\BackColor", 8388608);
TValueSetting WaveColorSetting("View\\WaveColor", 65535);
TValueSetting LegendColorSetting("View\\LegendColor", 16776960);
TValueSetting SelColorSetting("View\\SelColor", 16777215);

namespace {

int UntitledCounter = 1;

std::vector<TWaveWin*>& AllWindows() {
    static std::vector<TWaveWin*> windows;
    return windows;
}

// "8 bit", "16 bit", "24 bit", "32 bit" or "float" for a size code.
std::string SizeText(int size) {
    if (NSWave::IsFloatSize(size))
        return NSText::Tr("WaveWindow", "float");
    return NSText::Fill(NSText::Tr("WaveWindow", "%1 bit"),
                        {std::to_string(NSWave::BitsOfSize(size))});
}

// The full path of the file as the tooltip of the caption in the window's
// title bar (the caption shows only the file's name); elsewhere in the
// window there is no such tooltip.
class TCaptionTip : public QObject {
public:
    TCaptionTip(QMdiSubWindow* child, TWaveWin* window) : QObject(child), Window(window) {
        child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ToolTip)
            return false;
        auto* child = qobject_cast<QMdiSubWindow*>(watched);
        if (!child || !child->widget())
            return false;
        const QPoint at = static_cast<QHelpEvent*>(event)->pos();
        const int bar = child->widget()->geometry().top();
        // The title bar's buttons keep their own tips.
        if (at.y() >= bar || at.x() >= child->width() - 3 * bar)
            return false;
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                           QString::fromStdString(Window->Title()), child);
        return true;
    }

private:
    TWaveWin* Window;
};

} // namespace

TWaveWinBase::TWaveWinBase(QWidget* parent) : QWidget(parent) {}

TWaveWin::TWaveWin(QWidget* parent) : TWaveWinBase(parent), UntitledNumber(UntitledCounter++) {
    BackColor = uint32_t(BackColorSetting.Get());
    WaveColor = uint32_t(WaveColorSetting.Get());
    LegendColor = uint32_t(LegendColorSetting.Get());
    SelColor = uint32_t(SelColorSetting.Get());
    Engine.SetListener(this);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    AllWindows().push_back(this);
    connect(this, &TWaveWin::DocumentChanged, this,
            [this](const TDocumentChange& change) { FollowChange(change); });
}

TWaveWin::~TWaveWin() {
    // No notice may reach a window being destroyed: stop the engine first,
    // then drop the listener.
    Engine.Stop();
    Engine.SetListener(nullptr);
    auto& all = AllWindows();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    // The sound card may have become free for the others.
    BroadcastState();
}

TWaveWin* TWaveWin::Open(QMdiArea* client, const std::string& name, bool maximise) {
    auto* dialog = new TWaveWinDlg();
    TWaveWin* window = dialog->Window();
    QMdiSubWindow* child = client->addSubWindow(dialog);
    child->setAttribute(Qt::WA_DeleteOnClose);
    child->setWindowTitle(QString());
    // The window's own menu would claim Ctrl+F4 too, and a key claimed twice
    // does nothing: the program's Close command has it.
    if (QMenu* system = child->systemMenu())
        for (QAction* action : system->actions())
            action->setShortcuts({});
    window->Child = child;
    window->Client = client;
    new TCaptionTip(child, window);
    if (maximise)
        child->showMaximized();
    else
        child->show();
    // Active at once, so that the frame shows its name while it loads.
    client->setActiveSubWindow(child);
    window->SetupWindow();
    window->LoadFile(name);
    return window;
}

const std::vector<TWaveWin*>& TWaveWin::Windows() {
    return AllWindows();
}

void TWaveWin::ForgetUndo() {
    History.Clear();
    NoteState();
}

int TWaveWin::NextUntitledNumber() {
    return UntitledCounter;
}

void TWaveWin::SetupWindow() {
    Created = true;
    UpdateTitle();
    ResetView();
}

// --- files ---------------------------------------------------------------------

bool TWaveWin::ReplaceIfUntouched(const std::string& name) {
    if (!FileName.empty() || Modified)
        return false;
    LoadFile(name);
    return true;
}

void TWaveWin::LoadFile(const std::string& name) {
    CmStop();
    NSWave::TLoadResult result;
    bool loaded = false;
    if (!name.empty()) {
        // The window bears the file's name while it loads.
        const std::string before = FileName;
        FileName = name;
        UpdateTitle();
        // A load that does not end whole leaves the view as it was.
        const TViewState viewBefore = View();
        const TSampleRange selectionBefore = Selection;
        const bool fitsBefore = FitsWidth;
        auto restoreView = [&] {
            Zoom = viewBefore.Zoom;
            ScrollX = viewBefore.ScrollX;
            ScrollY = viewBefore.ScrollY;
            ChannelHeight = viewBefore.ChannelHeight;
            FitsWidth = fitsBefore;
            Selection = selectionBefore;
            UpdateView();
            UpdateSelectionTexts();
        };
        try {
            TOpStatus status(NSText::Fill(NSText::Tr("Window", "Loading: %1"), {name}),
                             StatusTarget());
            TCancelWatch* watch = StatusBar ? StatusBar->CancelWatch() : nullptr;
            // Every way out ends the showing of the sound being loaded.
            struct TLoadRun {
                TWaveWin& Window;
                TCancelWatch* Watch;
                ~TLoadRun() {
                    Window.Growing = TGrowing();
                    Window.LoadRunning = false;
                    if (Watch)
                        Watch->Admits = nullptr;
                    Window.NoteState();
                }
            } run{*this, watch};
            LoadRunning = true;
            if (watch)
                watch->Admits = [this](QObject* target, QEvent* event) {
                    return AdmitsWhileLoading(target, event);
                };
            NoteState();
            result = Document.Load(name, &status, nullptr, -1, this);
            loaded = true;
        } catch (const NSWave::xcancelled&) {
            // The user stopped the load: the sound stays as it was.
            FileName = before;
            UpdateTitle();
            restoreView();
            emit LoadEnded();
            return;
        } catch (const xmsg& e) {
            // The document is as it was, and so are its name, its changes
            // and its history: a Revert that cannot read the file loses
            // nothing.
            FileName = before;
            UpdateTitle();
            restoreView();
            ShowError(
                NSText::Fill(NSText::Tr("Window", "Error reading file '%1': %2"), {name, e.why()}));
            emit LoadEnded();
            return;
        }
    } else {
        FileName.clear();
        Document.SetSize(0, Document.ChannelCount());
        // A new sound in the format the preferences give (22,050 Hz 8-bit
        // mono unless changed); a recording into it takes the same.
        Document.SetChannelCount(std::clamp<int>(NewChannelsSetting.Get(), 1, 32));
        Document.Rate = std::clamp<int>(NewRateSetting.Get(), 1000, 768000);
        Document.Size = std::clamp<int>(NewSizeSetting.Get(), 1, 4);
    }
    LastFileSetting().Set(FileName);
    SetModified(false);
    ForgetUndo();
    AnnounceChanges();
    UpdateTitle();
    ResetView();
    if (loaded)
        emit LoadEnded();
    if (loaded && result.EndedEarly())
        ShowError(NSWave::EndedEarlyText(result, Document.Rate));
}

uint32_t TWaveWin::ShownLength() const {
    if (!Growing.File)
        return Document.GetLength();
    return uint32_t(std::min<uint64_t>(std::max(Growing.Expected, Growing.Frames), UINT32_MAX));
}

uint32_t TWaveWin::ShownFrames() const {
    return Growing.File ? uint32_t(Growing.Frames) : UINT32_MAX;
}

void TWaveWin::CancelLoad() {
    if (LoadRunning && StatusBar)
        StatusBar->CancelWatch()->Request();
}

void TWaveWin::LoadStarted(const NSWave::TFile& loading, uint64_t expected) {
    Growing = TGrowing();
    Growing.File = &loading;
    Growing.Expected = expected;
    Growing.LaidOut = ShownLength();
    // The channels laid out at the length to come, the whole of it in
    // sight, and on the screen at once.
    ResetView();
    UpdateTitle();
    if (TimeLine)
        TimeLine->update();
    Growing.SinceDrawn.start();
    if (StatusBar)
        StatusBar->PaintPending();
}

void TWaveWin::LoadArrived(uint64_t frames) {
    Growing.Frames = frames;
    // A few times a second is enough to see the sound come in.
    if (Growing.SinceDrawn.hasExpired(150))
        ShowArrived();
    if (OnLoadArrived)
        OnLoadArrived(frames);
}

void TWaveWin::ShowArrived() {
    if (!Growing.File)
        return;
    Growing.SinceDrawn.start();
    if (ShownLength() != Growing.LaidOut) {
        // A length not announced grows with the sound: the scale follows
        // while the whole sound is in sight.
        Growing.LaidOut = ShownLength();
        if (FitsWidth) {
            SetScale(FitZoom());
            FitsWidth = true;
        } else {
            UpdateView();
        }
        Growing.Drawn = Growing.Frames;
        return;
    }
    for (TChannelWin* view : ChannelViews)
        view->InvalidateSamples(int64_t(Growing.Drawn), int64_t(Growing.Frames));
    Growing.Drawn = Growing.Frames;
}

bool TWaveWin::AdmitsWhileLoading(QObject* target, QEvent* event) const {
    switch (event->type()) {
    case QEvent::Close:
        // The window and the frame stop the load before they close.
        return true;
    case QEvent::Shortcut:
        // The frame's keys: the command state decides what they do.
        return qobject_cast<QAction*>(target) != nullptr;
    default:
        break;
    }
    auto* widget = qobject_cast<QWidget*>(target);
    QWidget* frame = Child ? static_cast<QWidget*>(Child) : static_cast<QWidget*>(Dialog);
    if (!widget || !frame || !(widget == frame || frame->isAncestorOf(widget)))
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        // Not the selection: the sound it would select is not there yet.
        return !dynamic_cast<TChannelWin*>(widget) && !dynamic_cast<TTimeLine*>(widget);
    default:
        return true;
    }
}

namespace {

using K = QKeySequence;
using NSWave::TDeviceState;

const TCommandRow SaveRow(TRow(CmdSave)
                              .Item(TMenu::File, 30, QT_TRANSLATE_NOOP("Commands", "&Save\tCtrl+S"))
                              .Shortcuts({K(Qt::CTRL | Qt::Key_S)})
                              .Picture(NSArt::GlyphSave)
                              .Does([](TWaveWin& w) { w.SaveFile(false); }));
const TCommandRow SaveAsRow(TRow(CmdSaveAs)
                                .Item(TMenu::File, 40,
                                      QT_TRANSLATE_NOOP("Commands", "Save &As...\tCtrl+Shift+S"))
                                .Shortcuts({K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)})
                                .Picture(NSArt::GlyphSaveAs)
                                .Does([](TWaveWin& w) { w.SaveFile(true); }));
const TCommandRow RevertRow(TRow(CmdRevert)
                                .Item(TMenu::File, 50, QT_TRANSLATE_NOOP("Commands", "Revert"))
                                .Picture(NSArt::GlyphRevert)
                                .When([](const TCommandState& s) { return s.HasFileName; })
                                .Idle()
                                .Does([](TWaveWin& w) { w.CmRevert(); }));
const TCommandRow CloseRow(TRow(CmdClose)
                               .Item(TMenu::File, 20,
                                     QT_TRANSLATE_NOOP("Commands", "&Close\tCtrl+W"))
                               .Shortcuts({K(Qt::CTRL | Qt::Key_F4), K(Qt::CTRL | Qt::Key_W)})
                               .Picture(NSArt::GlyphClose)
                               .Idle()
                               .Viewing()
                               .Does([](TWaveWin& w) { w.CmClose(); }));

} // namespace

bool TWaveWin::SaveFile(bool saveAs) {
    const std::string before = FileName;
    const bool wasModified = Modified;
    if (saveAs || FileName.empty()) {
        std::string chosen = ChooseSaveFile(FileName);
        if (chosen.empty())
            return false;
        FileName = chosen;
    }
    try {
        TOpStatus status(NSText::Fill(NSText::Tr("Window", "Saving: %1"), {FileName}),
                         StatusTarget());
        try {
            Document.Save(FileName, &status);
        } catch (const NSWave::xfewerbits& e) {
            const std::string question = NSText::Fill(
                NSText::Tr("Window", "The file type holds only %1-bit samples. Save anyway?"),
                {std::to_string(e.TypeBits)});
            if (MessageBox(question, "Brimvale", TMsgButtons::YesNo, TMsgIcon::Question) != IdYes) {
                // Nothing was written: the window keeps the name it had.
                FileName = before;
                UpdateTitle();
                return false;
            }
            Document.Save(FileName, &status, nullptr, TSampleRange(), true);
        }
    } catch (const xmsg& e) {
        // Nothing was written: the window keeps its name and its state. A
        // save the user cancelled needs no message.
        if (!dynamic_cast<const NSWave::xcancelled*>(&e))
            ShowError(NSText::Fill(NSText::Tr("Window", "Error writing file '%1': %2"),
                                   {FileName, e.why()}));
        FileName = before;
        SetModified(wasModified);
        UpdateTitle();
        return false;
    }
    SetModified(false);
    History.Saved();
    UpdateTitle();
    return true;
}

void TWaveWin::SetModified(bool modified) {
    Modified = modified;
    if (ModifiedGadget)
        ModifiedGadget->SetText(modified ? NSText::Tr("Window", "Modified") : "");
    if (Child)
        Child->setWindowModified(modified);
    NoteState();
}

std::string TWaveWin::Title() const {
    return FileName.empty()
               ? NSText::Fill(NSText::Tr("Window", "Sound %1"), {std::to_string(UntitledNumber)})
               : FileName;
}

std::string TWaveWin::Caption() const {
    if (FileName.empty())
        return Title();
    const size_t slash = FileName.rfind('/');
    return slash == std::string::npos ? FileName : FileName.substr(slash + 1);
}

void TWaveWin::CmRevert() {
    if (Modified &&
        MessageBox(
            NSText::Fill(
                NSText::Tr("Window", "Discard the changes to %1 and reload it from the file?"),
                {Caption()}),
            "Brimvale", TMsgButtons::YesNo, TMsgIcon::Question) != IdYes)
        return;
    LoadFile(FileName);
}

void TWaveWin::UpdateTitle() {
    if (!Created)
        return;
    if (Child)
        Child->setWindowTitle(QString::fromStdString(Caption()));
    if (Dialog)
        Dialog->setAccessibleName(QString::fromStdString(Title()));
    if (FormatButton) {
        // While a file loads, the button tells the format of what arrives.
        const NSWave::TFile& shown = Growing.File ? *Growing.File : Document;
        std::ostringstream text;
        text << SizeText(shown.Size) << "/" << double(shown.Rate) / 1000 << " kHz";
        FormatButton->setText(QString::fromStdString(text.str()));
    }
    NoteState();
}

bool TWaveWin::CanClose() {
    // A recording in progress goes into the sound first, so that the
    // question below covers it instead of the close throwing it away.
    FinishRecording();
    if (!Modified)
        return true;
    switch (MessageBox(NSText::Fill(NSText::Tr("Window", "Save changes to '%1'?"), {Title()}),
                       "Brimvale", TMsgButtons::YesNoCancel, TMsgIcon::Question)) {
    case IdYes:
        return SaveFile(false);
    case IdNo:
        return true;
    default:
        return false;
    }
}

void TWaveWin::ShowError(const std::string& text) {
    MessageBox(text, "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
}

int TWaveWin::MessageBox(const std::string& text, const std::string& caption, TMsgButtons buttons,
                         TMsgIcon icon) {
    return ShowMessageBox(text, caption, buttons, icon);
}

// --- undo ------------------------------------------------------------------------

bool TWaveWin::AddUndo(NSUndo::TUndoBase* record) {
    std::unique_ptr<NSUndo::TUndoBase> owned(record);
    if (record->Outcome == NSUndo::TUndoBase::Cancelled)
        return false;
    if (record->Outcome == NSUndo::TUndoBase::NoUndo) {
        History.Clear();
    } else {
        record->SelectionBefore = Selection;
        record->SelectionAfter = Selection;
        record->ModifiedBefore = Modified;
        History.Add(std::move(owned), CommandName.empty() ? "Edit" : CommandName,
                    NSUndo::UndoLevels());
    }
    SetModified(true);
    return true;
}

bool TWaveWin::HasRedo() const {
    return History.CanRedo();
}

uint64_t TWaveWin::KeptUndoBytes() {
    return History.NewestBytes(NSUndo::UndoLevels() - 1);
}

void TWaveWin::DropPushedOut() {
    // A change that fails afterwards gets the history back without them.
    History.DropPushedOut(NSUndo::UndoLevels());
}

// --- commands ------------------------------------------------------------------------

TCommandState TWaveWin::CommandState() const {
    TCommandState s;
    s.Device = Engine.State();
    s.AnyDeviceActive = NSWave::ActiveDocument() != nullptr;
    s.HasFileName = !FileName.empty();
    s.HasUndo = History.CanUndo();
    s.HasRedo = History.CanRedo();
    s.UndoLevels = NSUndo::UndoLevels();
    s.ArrowsMoveCursor = ArrowsMoveCursorSetting.Get() != 0;
    s.UndoName = History.UndoName();
    s.RedoName = History.RedoName();
    s.Selection = Selection;
    s.ClipboardHasSound = ClipboardHasSound();
    s.ChannelHeight = ChannelHeight;
    s.Zoom = Zoom;
    s.ZoomFloor = MinZoom();
    s.ScrollX = ScrollX;
    s.MaxScrollX = MaxScrollX;
    s.ScrollY = ScrollY;
    s.MaxScrollY = MaxScrollY;
    s.ChannelCount = Document.ChannelCount();
    s.Length = Document.GetLength();
    s.Level = const_cast<TWaveWin*>(this)->Level();
    s.Spectrogram = Spectrogram;
    s.Loading = LoadRunning;
    return s;
}

bool TWaveWin::IsEnabled(int id) const {
    return CommandEnabled(id, CommandState());
}

bool TWaveWin::IsChecked(int id) const {
    return CommandChecked(id, CommandState());
}

TStatusTarget TWaveWin::StatusTarget() const {
    return StatusBar ? StatusBar->Target() : TStatusTarget();
}

void TWaveWin::Command(int id) {
    const TCommandInfo* info = FindCommand(id);
    if (!info || !info->Run || !IsEnabled(id))
        return;
    // The undo record the command leaves is named after it: "&Fade In" is
    // "Fade In", "&Echo..." is "Echo".
    QString name = CommandText(info->MenuText).section('\t', 0, 0);
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QStringLiteral("...")))
        name.chop(3);
    const std::string outer = std::move(CommandName);
    CommandName = name.trimmed().toStdString();
    info->Run(*this);
    CommandName = outer;
    AnnounceChanges();
    NoteState();
}

void TWaveWin::CmClose() {
    // The hosting window closes; it asks before losing changes.
    if (Child)
        Child->close();
    else if (Dialog)
        Dialog->close();
}

void TWaveWin::NoteState() {
    emit StateChanged();
}

void TWaveWin::BroadcastState() {
    for (TWaveWin* window : AllWindows())
        window->NoteState();
}

void TWaveWin::BroadcastStateAtIdle() {
    // The engine tells of an end while it is still ending (its state reads
    // "playing" until the notice returns): the buttons and menus follow
    // once the event loop is idle again, when the state is final. Several
    // requests before then make one broadcast.
    static bool pending = false;
    if (pending || !QCoreApplication::instance())
        return;
    pending = true;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        pending = false;
        BroadcastState();
    });
}

void TWaveWin::keyPressEvent(QKeyEvent* event) {
    // The keys the window handles itself, besides the menu keys: they reach
    // it when the frame's shortcuts are not there (a window on its own).
    for (const TCommandInfo& c : Commands())
        if (c.OwnKey != 0 && c.OwnKey == event->key()) {
            Command(c.Id);
            return;
        }
    QWidget::keyPressEvent(event);
}

// --- transport -------------------------------------------------------------------------

namespace {

const TCommandRow PlayRow(TRow(CmdPlay)
                              .Item(TMenu::Sound, 0, QT_TRANSLATE_NOOP("Commands", "&Play\tCtrl+P"))
                              .Shortcuts({K(Qt::CTRL | Qt::Key_P), K(Qt::Key_Space)})
                              .Picture(NSArt::GlyphPlay)
                              .Button(TToolBar::Transport, 30, NSArt::GlyphPlay,
                                      QT_TRANSLATE_NOOP("Commands", "Play"))
                              .WindowKey(Qt::Key_Space)
                              .When([](const TCommandState& s) {
                                  return s.Device == TDeviceState::Idle ||
                                         s.Device == TDeviceState::Playing;
                              })
                              .Does([](TWaveWin& w) { w.CmPlay(); }));
const TCommandRow StopRow(
    TRow(CmdStop)
        .Item(TMenu::Sound, 30, QT_TRANSLATE_NOOP("Commands", "&Stop"))
        .Shortcuts({K(Qt::Key_Period)})
        .Picture(NSArt::GlyphStop)
        .Button(TToolBar::Transport, 10, NSArt::GlyphStop, QT_TRANSLATE_NOOP("Commands", "Stop"))
        .WindowKey(Qt::Key_Period)
        .When([](const TCommandState& s) { return s.Device != TDeviceState::Idle; })
        .Does([](TWaveWin& w) { w.CmStop(); }));
const TCommandRow PauseRow(TRow(CmdPause)
                               .Item(TMenu::Sound, 20, QT_TRANSLATE_NOOP("Commands", "Pause"))
                               .Picture(NSArt::GlyphPause)
                               .Button(TToolBar::Transport, 20, NSArt::GlyphPause,
                                       QT_TRANSLATE_NOOP("Commands", "Pause"))
                               .When([](const TCommandState& s) {
                                   return s.Device == TDeviceState::Playing ||
                                          s.Device == TDeviceState::Recording;
                               })
                               .Does([](TWaveWin& w) { w.CmPause(); }));
const TCommandRow RecordRow(
    TRow(CmdRecord)
        .Item(TMenu::Sound, 10, QT_TRANSLATE_NOOP("Commands", "&Record\tCtrl+R"))
        .Shortcuts({K(Qt::CTRL | Qt::Key_R)})
        .Picture(NSArt::GlyphRecord)
        .Button(TToolBar::Transport, 0, NSArt::GlyphRecord, QT_TRANSLATE_NOOP("Commands", "Record"))
        .When([](const TCommandState& s) {
            return !s.AnyDeviceActive &&
                   (s.Device == TDeviceState::Idle || s.Device == TDeviceState::RecordPaused);
        })
        .Does([](TWaveWin& w) { w.CmRecord(); }));

// Level 0 to 7 of the playback volume, checked at the level in use.
[[maybe_unused]] const bool LevelRows = [] {
    static const char* const texts[] = {
        QT_TRANSLATE_NOOP("Commands", "Level &0"), QT_TRANSLATE_NOOP("Commands", "Level &1"),
        QT_TRANSLATE_NOOP("Commands", "Level &2"), QT_TRANSLATE_NOOP("Commands", "Level &3"),
        QT_TRANSLATE_NOOP("Commands", "Level &4"), QT_TRANSLATE_NOOP("Commands", "Level &5"),
        QT_TRANSLATE_NOOP("Commands", "Level &6"), QT_TRANSLATE_NOOP("Commands", "Level &7")};
    for (int k = 0; k < 8; ++k)
        TCommandRow(TRow(CmdLevel0 + k)
                        .Item(TMenu::Volume, k, texts[k])
                        .Picture(NSArt::GlyphLevel0 + k)
                        .CheckedWhen([k](const TCommandState& s) { return s.Level == k; })
                        .Does([k](TWaveWin& w) { w.SetLevel(k); }));
    return true;
}();

} // namespace

void TWaveWin::CmPlay() {
    if (Engine.State() == NSWave::TDeviceState::Playing) {
        CmStop();
        return;
    }
    FinishRecording();
    PlaySelection = Selection;
    try {
        Engine.Play(Selection, Level() * NSWave::VolumeStep);
    } catch (const xmsg& e) {
        ShowError(e.why());
    }
    BroadcastState();
}

void TWaveWin::CmStop() {
    const NSWave::TDeviceState was = Engine.State();
    FinishRecording();
    Engine.Stop();
    if (was == NSWave::TDeviceState::Playing)
        SetSelection(PlaySelection, true);
    if (was != NSWave::TDeviceState::Idle)
        BroadcastState();
}

void TWaveWin::CmPause() {
    if (Engine.State() == NSWave::TDeviceState::Playing) {
        TSampleRange cursor = Selection;
        Engine.Stop();
        SetSelection(cursor, true);
    } else if (Engine.State() == NSWave::TDeviceState::Recording) {
        Engine.Pause();
        if (StatusText)
            StatusText->SetText(
                NSText::Tr("Window", "Click the red record button to continue recording"));
    }
    BroadcastState();
}

void TWaveWin::CmRecord() {
    try {
        Engine.Record();
    } catch (const xmsg& e) {
        ShowError(e.why());
    }
    BroadcastState();
}

void TWaveWin::FinishRecording() {
    if (Engine.State() != NSWave::TDeviceState::Recording &&
        Engine.State() != NSWave::TDeviceState::RecordPaused)
        return;
    TTmpFile file = Engine.TakeRecording();
    // The note that lets a later start recover the recording goes only when
    // this step is over, with the recording in the document.
    const TTmpFile note = Engine.RecordNote();
    const std::shared_ptr<const NSWave::TCaptureTail> tail = Engine.RecordTail();
    const int recorded = Engine.RecordedSamples();
    const int channels = Engine.InChannels();
    Engine.Stop();
    // A recording stopped before any sound arrived leaves nothing to insert.
    if (file.GetFileName().empty() || recorded == 0)
        return;
    InsertRecording(file, tail, channels);
}

bool TWaveWin::InsertRecording(const TTmpFile& capture,
                               std::shared_ptr<const NSWave::TCaptureTail> tail, int channels) {
    // The capture file is raw: its channels are interleaved as recorded.
    auto* record = new NSUndo::TInsertion(*this, Selection, capture, Document.Rate, channels);
    // The part of the take that only memory holds (a full disk) goes in
    // with the capture file.
    record->Tail = std::move(tail);
    const bool inserted = ApplyEdit(record, std::string(), [&](TOpStatus&) {
        TTempCursor wait;
        record->Redo(*this, nullptr);
        SetSelection(record->Inserted, false);
    });
    UpdateTitle();
    ResetView();
    return inserted;
}

namespace {
// The playback volume belongs to the sound card, not to one document; asked
// of the card once (it may have to open a device for that), then kept.
int CardVolume = -1;
} // namespace

int TWaveWin::Level() {
    if (CardVolume < 0)
        CardVolume = Engine.GetVolume();
    return CardVolume / NSWave::VolumeStep;
}

void TWaveWin::SetLevel(int level) {
    Engine.SetVolume(uint16_t(NSWave::VolumeStep * level));
    CardVolume = NSWave::VolumeStep * level;
    BroadcastState();
}

void TWaveWin::PlayPosition() {
    const uint32_t p = uint32_t(std::max(0, Position));
    SetSelection(TSampleRange(p, p, PlaySelection.Channel), FollowPlaySetting.Get() != 0);
}

void TWaveWin::PlayStopped() {
    SetSelection(PlaySelection, true);
    BroadcastState();
    BroadcastStateAtIdle();
}

void TWaveWin::RecordProgress() {
    if (Meter)
        Meter->SetLevels(TPlayRecStatus::Levels);
    if (StatusText) {
        std::ostringstream text;
        text << double(Recorded) / double(std::max(1, Document.Rate));
        StatusText->SetText(
            NSText::Fill(NSText::Tr("Window", "Recorded %1 seconds"), {text.str()}));
    }
}

void TWaveWin::RecordInMemory(const std::string& why) {
    ShowError(why);
}

void TWaveWin::InputLost() {
    if (Meter)
        Meter->SetLevel(0);
    if (StatusText)
        StatusText->SetText(
            NSText::Tr("Window", "Click the red record button to continue recording"));
    BroadcastState();
    BroadcastStateAtIdle();
}

void TWaveWin::RecordStopped() {
    if (Meter)
        Meter->SetLevel(0);
    if (StatusText)
        StatusText->SetText("");
    BroadcastStateAtIdle();
}

} // namespace NSWaveWin
