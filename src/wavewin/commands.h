#pragma once
// The commands of the program: their numbers, menu texts, keys and glyphs,
// and the one rule that decides which of them a document window enables.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "wave/device.h"
#include "wave/file.h"
#include "wave/samplerange.h"

namespace NSWaveWin {

enum TCommandId : int {
    CmdNew = 2000,
    CmdOpen = 2001,
    CmdSave = 2002,
    CmdSaveAs = 2003,
    CmdRevert = 2004,
    CmdUndo = 2005,
    CmdCut = 2006,
    CmdCopy = 2007,
    CmdPaste = 2008,
    CmdDelete = 2009,
    CmdSelectAll = 2010,
    CmdDeselect = 2011,
    CmdSilence = 2012,
    CmdAbout = 2013,
    CmdPrint = 2021,
    CmdHeightUp = 2023,
    CmdHeightDown = 2024,
    CmdZoomIn = 2025,
    CmdZoomOut = 2026,
    CmdFit = 2027,
    CmdScrollLeft = 2028,
    CmdScrollRight = 2029,
    CmdScrollStart = 2030,
    CmdScrollEnd = 2031,
    CmdScrollUp = 2032,
    CmdScrollDown = 2033,
    CmdScrollTop = 2034,
    CmdScrollBottom = 2035,
    CmdPlay = 2037,
    CmdStop = 2038,
    CmdPause = 2039,
    CmdRecord = 2040,
    CmdEcho = 2041,
    CmdReverse = 2044,
    CmdAddTrack = 2045,
    CmdDeleteTrack = 2046,
    CmdAllChannels = 2047,
    CmdShowClipboard = 2048,
    CmdSoundFormat = 2049,
    CmdMergeTracks = 2050,
    CmdAmplitude = 2051,
    CmdFadeIn = 2052,
    CmdFadeOut = 2053,
    CmdLevel0 = 2054,
    CmdLevel7 = 2061,
    CmdClose = 2062,
    CmdPitch = 2066,
    CmdVibro = 2067,
    CmdOtherEffect = 2068,
    CmdSpectrogram = 2070,
    CmdRedo = 2202,
    CmdHelp = 2090,
    CmdExit = 24310,
    CmdCascade = 24361,
    CmdTileVertical = 24362,
    CmdTileHorizontal = 24363,
    CmdArrangeIcons = 24364,
    CmdCloseAll = 24365,
};

// The id of the channel views' pop-up menu.
constexpr int ContextMenuId = 2065;

// What the enabling of a document window's commands depends on.
struct TCommandState {
    NSWave::TDeviceState Device = NSWave::TDeviceState::Idle;
    bool AnyDeviceActive = false; // some document plays or records
    bool HasFileName = false;
    bool HasUndo = false;
    bool HasRedo = false;
    TSampleRange Selection;
    bool ClipboardHasSound = false;
    int ChannelHeight = 100;
    double Zoom = 1;
    // The widest zoom: the one that shows the whole sound, or the fixed
    // lower limit where that is wider still.
    double ZoomFloor = 0.00004;
    int64_t ScrollX = 0;
    int64_t MaxScrollX = 0;
    int64_t ScrollY = 0;
    int64_t MaxScrollY = 0;
    int ChannelCount = 1;
    uint32_t Length = 0;
    int Level = 0; // the playback volume's level, 0 to 7
    // The channel strips show spectrograms.
    bool Spectrogram = false;
    // Undo levels kept (1: one undo or redo slot), and the names of the
    // commands Undo and Redo would take back or apply again.
    int UndoLevels = 1;
    std::string UndoName, RedoName;
    // The arrow keys move the cursor instead of scrolling.
    bool ArrowsMoveCursor = false;
    // A file is being loaded into the window: only the commands that look
    // at the sound (zoom, scroll, the strips' height and kind) and Close
    // work until it is in.
    bool Loading = false;
};

// The menus of the menu bar, left to right.
enum class TMenu { None, File, Edit, Sound, View, Volume, Effect, Window, Help };
// The document dialog's bars of tool buttons.
enum class TToolBar { None, Height, Zoom, Transport, Tracks, Effects };

// Where a command sits in a menu: items are in order of Order, and a
// separator stands where Order / 100 changes.
struct TMenuPlace {
    TMenu Menu = TMenu::None;
    int Order = 0;
};

// A command's tool button, in order of Order on its bar.
struct TToolPlace {
    TToolBar Bar = TToolBar::None;
    int Order = 0;
    int Glyph = -1;
    const char* Caption = nullptr;
};

// The channel views' pop-up menu: items in order of Order (-1: not there),
// with a text of their own when it differs from the menu bar's.
struct TContextPlace {
    int Order = -1;
    const char* Text = nullptr;
};

class TWaveWin;

using TStateTest = std::function<bool(const TCommandState&)>;

// One command: everything the menus, the keys, the buttons and the window
// need to know of it, declared next to its handler.
struct TCommandInfo {
    int Id = 0;
    TMenuPlace Menu;
    const char* MenuText = nullptr; // with its key text after a tab; null: no item
    QList<QKeySequence> Keys;
    int Glyph = -1; // on the glyph sheet; -1 for none
    TContextPlace Context;
    TToolPlace Tool;
    // A key the document window takes itself when the frame's keys are not
    // there (a window on its own); 0 for none.
    int OwnKey = 0;
    // Enabled when this holds (null: always) and, for the edit commands
    // (WhileIdle), only while the document neither plays nor records.
    TStateTest Enabled;
    bool WhileIdle = false;
    // Also while a file is loading into the window (the view commands).
    bool WhileLoading = false;
    // A checked item when this holds; null: no check mark.
    TStateTest Checked;
    // The item's text when it differs in this state; a null text: MenuText.
    std::function<QString(const TCommandState&)> TextFor;
    // Whether the menu item is there in this state; null: always.
    TStateTest Shown;
    // The document window's handler; null for the main frame's commands.
    std::function<void(TWaveWin&)> Run;

    // The row's parts, each set by one call: TRow(id).Item(...).When(...).
    TCommandInfo& Item(TMenu menu, int order, const char* text);
    TCommandInfo& Shortcuts(QList<QKeySequence> keys);
    TCommandInfo& Picture(int glyph);
    TCommandInfo& Popup(int order, const char* text = nullptr);
    TCommandInfo& Button(TToolBar bar, int order, int glyph, const char* caption = nullptr);
    TCommandInfo& WindowKey(int key);
    TCommandInfo& When(TStateTest enabled);
    TCommandInfo& Idle();
    TCommandInfo& Viewing();
    TCommandInfo& CheckedWhen(TStateTest checked);
    TCommandInfo& TextWhen(std::function<QString(const TCommandState&)> text);
    TCommandInfo& ShownWhen(TStateTest shown);
    TCommandInfo& Does(std::function<void(TWaveWin&)> run);
};

// A row for command `id`, to be completed by the calls above.
TCommandInfo TRow(int id);

// Adds a row to the table; the rows are declared as static objects of this
// type, so a command's file is the only place that names it.
struct TCommandRow {
    explicit TCommandRow(TCommandInfo info);
};

// Every command with a menu item, a key or a button, in id order.
const QList<TCommandInfo>& Commands();
const TCommandInfo* FindCommand(int id);
// The rows of a menu or of the pop-up menu in their order, with a null
// entry where a separator goes.
QList<const TCommandInfo*> MenuItems(TMenu menu);
QList<const TCommandInfo*> ContextItems();
QList<const TCommandInfo*> ToolButtons(TToolBar bar);
// A text of the table (menu item, pop-up item, button caption, menu title)
// in the user's language; the table keeps the English text.
QString CommandText(const char* text);
// The item text of a row in a state.
QString ItemText(const TCommandInfo& info, const TCommandState& state);

// Whether a document window with this state enables command `id`. Commands
// the document window does not decide (the main frame's) answer true.
bool CommandEnabled(int id, const TCommandState& state);
bool CommandChecked(int id, const TCommandState& state);
bool CommandShown(int id, const TCommandState& state);

// Whether an id belongs to the document window (false: the main frame's).
bool IsDocumentCommand(int id);

// Shared enabling tests.
bool RangeSelected(const TCommandState& s); // a selection that is not a cursor
bool SoundHolds(const TCommandState& s);    // the longest channel holds samples

} // namespace NSWaveWin
