#pragma once
// The commands of the program: their numbers, menu texts, keys and glyphs,
// and the one rule that decides which of them a document window enables.

#include <QKeySequence>
#include <QList>
#include <cstdint>

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
    CmdExit = 24310,
    CmdCascade = 24361,
    CmdTileVertical = 24362,
    CmdTileHorizontal = 24363,
    CmdArrangeIcons = 24364,
    CmdCloseAll = 24365,
};

// The id of the channel views' pop-up menu.
constexpr int ContextMenuId = 2065;

struct TCommandInfo {
    int Id;
    const char* MenuText; // with its key text after a tab; null for commands without an item
    int Glyph;            // on the glyph sheet; -1 for none
    QList<QKeySequence> Keys;
};

// Every command with a menu item or a key, in id order.
const QList<TCommandInfo>& Commands();
const TCommandInfo* FindCommand(int id);

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
    int64_t ScrollX = 0;
    int64_t MaxScrollX = 0;
    int64_t ScrollY = 0;
    int64_t MaxScrollY = 0;
    int ChannelCount = 1;
    uint32_t Length = 0;
};

// Whether a document window with this state enables command `id`. Commands
// the document window does not decide (the main frame's) answer true.
bool CommandEnabled(int id, const TCommandState& state);

// Whether an id belongs to the document window (false: the main frame's).
bool IsDocumentCommand(int id);

} // namespace NSWaveWin
