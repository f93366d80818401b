// The document window's lifecycle, files, title, undo slots, command
// dispatch and transport.

#include "wavewin/wavewin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <algorithm>
#include <sstream>

#include "dlg/artwork.h"
#include "dlg/dlgbar.h"
#include "util/settings.h"
#include "util/xmsg.h"
#include "wave/reader.h"
#include "wave/soundformat.h"
#include "wavewin/chanwin.h"
#include "wavewin/clipboard.h"
#include "wavewin/filechoice.h"
#include "wavewin/timeline.h"
#include "wavewin/transport.h"
#include "wavewin/wavewindlg.h"

namespace NSWaveWin {

namespace {

TValueSetting BackColorSetting("View\\BackColor", 8388608);
TValueSetting WaveColorSetting("View\\WaveColor", 65535);
TValueSetting LegendColorSetting("View\\LegendColor", 16776960);
TValueSetting SelColorSetting("View\\SelColor", 16777215);

int UntitledCounter = 1;

std::vector<TWaveWin*>& AllWindows() {
    static std::vector<TWaveWin*> windows;
    return windows;
}

// "8 bit", "16 bit", "24 bit", "32 bit" or "float" for a size code.
std::string SizeText(int size) {
    if (NSWave::IsFloatSize(size))
        return "float";
    return std::to_string(NSWave::BitsOfSize(size)) + " bit";
}

} // namespace

TWaveWinBase::TWaveWinBase(QWidget* parent) : QWidget(parent) {}

TWaveWin::TWaveWin(QWidget* parent)
    : TWaveWinBase(parent), UntitledNumber(UntitledCounter++),
      BackColor(uint32_t(BackColorSetting.Get())), WaveColor(uint32_t(WaveColorSetting.Get())),
      LegendColor(uint32_t(LegendColorSetting.Get())), SelColor(uint32_t(SelColorSetting.Get())) {
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
    if (maximise)
        child->showMaximized();
    else
        child->show();
    window->SetupWindow();
    window->LoadFile(name);
    return window;
}

const std::vector<TWaveWin*>& TWaveWin::Windows() {
    return AllWindows();
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
        try {
            TOpStatus status("Loading: " + name, StatusTarget());
            result = Document.Load(name, &status);
            FileName = name;
            loaded = true;
        } catch (const NSWave::xcancelled&) {
            // The user stopped the load: the sound stays as it was.
            return;
        } catch (const xmsg& e) {
            ShowError("Error reading file '" + name + "': " + e.why());
            FileName.clear();
        }
    } else {
        FileName.clear();
        Document.SetSize(0, Document.ChannelCount());
        Document.SetChannelCount(1);
    }
    LastFileSetting().Set(FileName);
    SetModified(false);
    UndoRecord.reset();
    RedoRecord.reset();
    AnnounceChanges();
    UpdateTitle();
    ResetView();
    if (loaded && result.EndedEarly())
        ShowError(NSWave::EndedEarlyText(result, Document.Rate));
}

namespace {

using K = QKeySequence;
using NSWave::TDeviceState;

const TCommandRow SaveRow(TRow(CmdSave)
                              .Item(TMenu::File, 30, "&Save\tCtrl+S")
                              .Shortcuts({K(Qt::CTRL | Qt::Key_S)})
                              .Picture(NSArt::GlyphSave)
                              .Does([](TWaveWin& w) { w.SaveFile(false); }));
const TCommandRow SaveAsRow(TRow(CmdSaveAs)
                                .Item(TMenu::File, 40, "Save &As...\tCtrl+Shift+S")
                                .Shortcuts({K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)})
                                .Picture(NSArt::GlyphSaveAs)
                                .Does([](TWaveWin& w) { w.SaveFile(true); }));
const TCommandRow RevertRow(TRow(CmdRevert)
                                .Item(TMenu::File, 50, "Revert")
                                .Picture(NSArt::GlyphRevert)
                                .When([](const TCommandState& s) { return s.HasFileName; })
                                .Idle()
                                .Does([](TWaveWin& w) { w.LoadFile(w.FileName); }));
const TCommandRow CloseRow(TRow(CmdClose)
                               .Item(TMenu::File, 20, "&Close\tCtrl+W")
                               .Shortcuts({K(Qt::CTRL | Qt::Key_F4), K(Qt::CTRL | Qt::Key_W)})
                               .Picture(NSArt::GlyphClose)
                               .Idle()
                               .Does([](TWaveWin& w) { w.CmClose(); }));

} // namespace

bool TWaveWin::SaveFile(bool saveAs) {
    const std::string before = FileName;
    if (saveAs || FileName.empty()) {
        std::string chosen = ChooseSaveFile(FileName);
        if (chosen.empty())
            return false;
        FileName = chosen;
    }
    try {
        TOpStatus status("Saving: " + FileName, StatusTarget());
        try {
            Document.Save(FileName, &status);
        } catch (const NSWave::xfewerbits& e) {
            const std::string question = "The file type holds only " + std::to_string(e.TypeBits) +
                                         "-bit samples. Save anyway?";
            if (MessageBox(question, "Brimvale", TMsgButtons::YesNo, TMsgIcon::Question) != IdYes) {
                // Nothing was written: the window keeps the name it had.
                FileName = before;
                UpdateTitle();
                return false;
            }
            Document.Save(FileName, &status, nullptr, TSampleRange(), true);
        }
    } catch (const xmsg& e) {
        ShowError("Error writing file '" + FileName + "': " + e.why());
        SetModified(true);
        UpdateTitle();
        return false;
    }
    SetModified(false);
    UpdateTitle();
    return true;
}

void TWaveWin::SetModified(bool modified) {
    Modified = modified;
    if (ModifiedGadget)
        ModifiedGadget->SetText(modified ? "Modified" : "");
    if (Child)
        Child->setWindowModified(modified);
    NoteState();
}

std::string TWaveWin::Title() const {
    return FileName.empty() ? "Sound " + std::to_string(UntitledNumber) : FileName;
}

void TWaveWin::UpdateTitle() {
    if (!Created)
        return;
    if (Child)
        Child->setWindowTitle(QString::fromStdString(Title()));
    if (Dialog)
        Dialog->setAccessibleName(QString::fromStdString(Title()));
    if (FormatButton) {
        std::ostringstream text;
        text << SizeText(Document.Size) << "/" << double(Document.Rate) / 1000 << " kHz";
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
    switch (MessageBox("Save changes to '" + Title() + "'?", "Brimvale", TMsgButtons::YesNoCancel,
                       TMsgIcon::Question)) {
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
        UndoRecord.reset();
    } else {
        record->SelectionBefore = Selection;
        record->SelectionAfter = Selection;
        record->ModifiedBefore = Modified;
        UndoRecord = std::move(owned);
    }
    RedoRecord.reset();
    SetModified(true);
    return true;
}

bool TWaveWin::HasRedo() const {
    return bool(RedoRecord);
}

// --- commands ------------------------------------------------------------------------

TCommandState TWaveWin::CommandState() const {
    TCommandState s;
    s.Device = Engine.State();
    s.AnyDeviceActive = NSWave::ActiveDocument() != nullptr;
    s.HasFileName = !FileName.empty();
    s.HasUndo = bool(UndoRecord);
    s.HasRedo = bool(RedoRecord);
    s.Selection = Selection;
    s.ClipboardHasSound = ClipboardHasSound();
    s.ChannelHeight = ChannelHeight;
    s.Zoom = Zoom;
    s.ScrollX = ScrollX;
    s.MaxScrollX = MaxScrollX;
    s.ScrollY = ScrollY;
    s.MaxScrollY = MaxScrollY;
    s.ChannelCount = Document.ChannelCount();
    s.Length = Document.GetLength();
    s.Level = const_cast<TWaveWin*>(this)->Level();
    s.Spectrogram = Spectrogram;
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
    info->Run(*this);
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
                              .Item(TMenu::Sound, 0, "&Play\tCtrl+P")
                              .Shortcuts({K(Qt::CTRL | Qt::Key_P), K(Qt::Key_Space)})
                              .Picture(NSArt::GlyphPlay)
                              .Button(TToolBar::Transport, 30, NSArt::GlyphPlay, "Play")
                              .WindowKey(Qt::Key_Space)
                              .When([](const TCommandState& s) {
                                  return s.Device == TDeviceState::Idle ||
                                         s.Device == TDeviceState::Playing;
                              })
                              .Does([](TWaveWin& w) { w.CmPlay(); }));
const TCommandRow
    StopRow(TRow(CmdStop)
                .Item(TMenu::Sound, 30, "&Stop")
                .Shortcuts({K(Qt::Key_Period)})
                .Picture(NSArt::GlyphStop)
                .Button(TToolBar::Transport, 10, NSArt::GlyphStop, "Stop")
                .WindowKey(Qt::Key_Period)
                .When([](const TCommandState& s) { return s.Device != TDeviceState::Idle; })
                .Does([](TWaveWin& w) { w.CmStop(); }));
const TCommandRow PauseRow(TRow(CmdPause)
                               .Item(TMenu::Sound, 20, "Pause")
                               .Picture(NSArt::GlyphPause)
                               .Button(TToolBar::Transport, 20, NSArt::GlyphPause, "Pause")
                               .When([](const TCommandState& s) {
                                   return s.Device == TDeviceState::Playing ||
                                          s.Device == TDeviceState::Recording;
                               })
                               .Does([](TWaveWin& w) { w.CmPause(); }));
const TCommandRow RecordRow(TRow(CmdRecord)
                                .Item(TMenu::Sound, 10, "&Record\tCtrl+R")
                                .Shortcuts({K(Qt::CTRL | Qt::Key_R)})
                                .Picture(NSArt::GlyphRecord)
                                .Button(TToolBar::Transport, 0, NSArt::GlyphRecord, "Record")
                                .When([](const TCommandState& s) {
                                    return !s.AnyDeviceActive &&
                                           (s.Device == TDeviceState::Idle ||
                                            s.Device == TDeviceState::RecordPaused);
                                })
                                .Does([](TWaveWin& w) { w.CmRecord(); }));

// Level 0 to 7 of the playback volume, checked at the level in use.
[[maybe_unused]] const bool LevelRows = [] {
    static const char* const texts[] = {"Level &0", "Level &1", "Level &2", "Level &3",
                                        "Level &4", "Level &5", "Level &6", "Level &7"};
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
            StatusText->SetText("Click the red record button to continue recording");
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
    Engine.Stop();
    // A recording stopped before any sound arrived leaves nothing to insert.
    if (file.GetFileName().empty() || recorded == 0)
        return;
    InsertRecording(file, tail);
}

bool TWaveWin::InsertRecording(const TTmpFile& capture,
                               std::shared_ptr<const NSWave::TCaptureTail> tail) {
    auto* record = new NSUndo::TInsertion(*this, Selection, capture, Document.Rate, -1);
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
    SetSelection(TSampleRange(p, p, PlaySelection.Channel), true);
}

void TWaveWin::PlayStopped() {
    SetSelection(PlaySelection, true);
    BroadcastState();
}

void TWaveWin::RecordProgress() {
    if (Meter)
        Meter->SetLevel(TPlayRecStatus::Level);
    if (StatusText) {
        std::ostringstream text;
        text << "Recorded " << double(Recorded) / double(std::max(1, Document.Rate)) << " seconds";
        StatusText->SetText(text.str());
    }
}

void TWaveWin::RecordInMemory(const std::string& why) {
    ShowError(why);
}

void TWaveWin::InputLost() {
    if (Meter)
        Meter->SetLevel(0);
    if (StatusText)
        StatusText->SetText("Click the red record button to continue recording");
    BroadcastState();
}

void TWaveWin::RecordStopped() {
    if (Meter)
        Meter->SetLevel(0);
    if (StatusText)
        StatusText->SetText("");
}

} // namespace NSWaveWin
