#include "wavewin/commands.h"

#include <algorithm>

namespace NSWaveWin {

namespace {

QList<QKeySequence> Keys(std::initializer_list<QKeySequence> keys) {
    return QList<QKeySequence>(keys);
}

QList<TCommandInfo> MakeTable() {
    using K = QKeySequence;
    QList<TCommandInfo> t = {
        {CmdNew, "&New\tCtrl+N", 17, Keys({K(Qt::CTRL | Qt::Key_N)})},
        {CmdOpen, "&Open...\tCtrl+O", 16, Keys({K(Qt::CTRL | Qt::Key_O)})},
        {CmdSave, "&Save\tCtrl+S", 19, Keys({K(Qt::CTRL | Qt::Key_S)})},
        {CmdSaveAs, "Save &As...", 20, {}},
        {CmdRevert, "Revert", 39, {}},
        {CmdUndo, "&Undo\tCtrl+Z", 27, Keys({K(Qt::CTRL | Qt::Key_Z)})},
        {CmdCut, "Cu&t\tCtrl+X", 22,
         Keys({K(Qt::CTRL | Qt::Key_X), K(Qt::SHIFT | Qt::Key_Delete)})},
        {CmdCopy, "&Copy\tCtrl+C", 23,
         Keys({K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)})},
        {CmdPaste, "&Paste\tCtrl+V", 24,
         Keys({K(Qt::CTRL | Qt::Key_V), K(Qt::SHIFT | Qt::Key_Insert)})},
        {CmdDelete, "&Delete\tDelete", 25, Keys({K(Qt::Key_Delete)})},
        {CmdSelectAll, "Select &All\tCtrl+A", 26, Keys({K(Qt::CTRL | Qt::Key_A)})},
        {CmdDeselect, "D&e-Select\tEscape", -1, Keys({K(Qt::Key_Escape)})},
        {CmdSilence, "&Silence", 6, {}},
        {CmdAbout, "&About", -1, {}},
        {CmdPrint, "&Print...", 15, {}},
        {CmdHeightUp, nullptr, -1, {}},
        {CmdHeightDown, nullptr, -1, {}},
        // "+" arrives with Shift on most keyboards and without it on the
        // keypad; both are the same command.
        {CmdZoomIn, "Zoom &In\t+", 28,
         Keys(
             {K(Qt::Key_Plus), K(Qt::SHIFT | Qt::Key_Plus), K(Qt::KeypadModifier | Qt::Key_Plus)})},
        {CmdZoomOut, "Zoom &Out\t-", 29,
         Keys({K(Qt::Key_Minus), K(Qt::KeypadModifier | Qt::Key_Minus)})},
        {CmdFit, "Fit To Window\t=", 21, Keys({K(Qt::Key_Equal)})},
        {CmdScrollLeft, nullptr, -1, Keys({K(Qt::Key_Left)})},
        {CmdScrollRight, nullptr, -1, Keys({K(Qt::Key_Right)})},
        {CmdScrollStart, nullptr, -1, Keys({K(Qt::SHIFT | Qt::Key_Left)})},
        {CmdScrollEnd, nullptr, -1, Keys({K(Qt::SHIFT | Qt::Key_Right)})},
        {CmdScrollUp, nullptr, -1, Keys({K(Qt::Key_Up)})},
        {CmdScrollDown, nullptr, -1, Keys({K(Qt::Key_Down)})},
        {CmdScrollTop, nullptr, -1, Keys({K(Qt::SHIFT | Qt::Key_Up)})},
        {CmdScrollBottom, nullptr, -1, Keys({K(Qt::SHIFT | Qt::Key_Down)})},
        {CmdPlay, "&Play\tCtrl+P", 13, Keys({K(Qt::CTRL | Qt::Key_P), K(Qt::Key_Space)})},
        {CmdStop, "&Stop", 12, Keys({K(Qt::Key_Period)})},
        {CmdPause, "Pause", 14, {}},
        {CmdRecord, "&Record\tCtrl+R", 11, Keys({K(Qt::CTRL | Qt::Key_R)})},
        {CmdEcho, "&Echo...", 3, {}},
        {CmdReverse, "&Backwards", 4, {}},
        {CmdAddTrack, "&Add Track", 0, {}},
        {CmdDeleteTrack, "&Delete Track", 1, {}},
        {CmdAllChannels, "A&ll Channels\tShift+Click", -1, {}},
        {CmdShowClipboard, "&Show Clipboard", -1, {}},
        {CmdSoundFormat, "Sound &Format", -1, {}},
        {CmdMergeTracks, "&Merge Tracks", 2, {}},
        {CmdAmplitude, "&Amplitude...", 5, {}},
        {CmdFadeIn, "Fade &In", 7, {}},
        {CmdFadeOut, "Fade &Out", 8, {}},
        {CmdClose, "&Close\tCtrl+F4", 38, Keys({K(Qt::CTRL | Qt::Key_F4)})},
        {CmdPitch, "&Pitch...", 9, {}},
        {CmdVibro, "&Vibro...", -1, {}},
        {CmdOtherEffect, "Other &Effect...", -1, {}},
        {CmdExit, "E&xit\tAlt+F4", 18, {}},
        {CmdCascade, "&Cascade", -1, {}},
        {CmdTileVertical, "&Vertical", -1, {}},
        {CmdTileHorizontal, "&Horizontal", -1, {}},
        {CmdArrangeIcons, "Arrange &Icons", -1, {}},
        {CmdCloseAll, "C&lose All", -1, {}},
    };
    static const char* const levels[] = {"Level &0", "Level &1", "Level &2", "Level &3",
                                         "Level &4", "Level &5", "Level &6", "Level &7"};
    for (int k = 0; k < 8; ++k)
        t.append({CmdLevel0 + k, levels[k], 30 + k, {}});
    std::sort(t.begin(), t.end(),
              [](const TCommandInfo& a, const TCommandInfo& b) { return a.Id < b.Id; });
    return t;
}

} // namespace

const QList<TCommandInfo>& Commands() {
    static const QList<TCommandInfo> table = MakeTable();
    return table;
}

const TCommandInfo* FindCommand(int id) {
    for (const TCommandInfo& c : Commands())
        if (c.Id == id)
            return &c;
    return nullptr;
}

bool IsDocumentCommand(int id) {
    switch (id) {
    case CmdNew:
    case CmdOpen:
    case CmdAbout:
    case CmdShowClipboard:
    case CmdExit:
    case CmdCascade:
    case CmdTileVertical:
    case CmdTileHorizontal:
    case CmdArrangeIcons:
    case CmdCloseAll:
        return false;
    default:
        return true;
    }
}

bool CommandEnabled(int id, const TCommandState& s) {
    using NSWave::TDeviceState;
    const bool idle = s.Device == TDeviceState::Idle;
    const TSampleRange& sel = s.Selection;
    const bool range = sel.Valid && sel.Start < sel.End;
    const bool single = sel.Valid && sel.Channel != AllChannels;

    // Commands decided whatever the device does.
    switch (id) {
    case CmdHeightUp:
        return s.ChannelHeight <= 1999.999;
    case CmdHeightDown:
        return s.ChannelHeight >= 50.001;
    case CmdZoomIn:
        return s.Zoom <= 10.0 - 0.001;
    case CmdZoomOut:
        return s.Zoom >= 0.00004 + 0.00000001;
    case CmdFit:
        return true;
    case CmdPlay:
        return idle || s.Device == TDeviceState::Playing;
    case CmdStop:
        return !idle;
    case CmdPause:
        return s.Device == TDeviceState::Playing || s.Device == TDeviceState::Recording;
    case CmdRecord:
        return !s.AnyDeviceActive && (idle || s.Device == TDeviceState::RecordPaused);
    default:
        if (id >= CmdLevel0 && id <= CmdLevel7)
            return true;
        break;
    }

    // The rest are off while the document plays or records.
    bool enabled;
    switch (id) {
    case CmdRevert:
        enabled = s.HasFileName;
        break;
    case CmdUndo:
        enabled = s.HasUndo || s.HasRedo;
        break;
    case CmdCut:
    case CmdCopy:
    case CmdDelete:
    case CmdSilence:
        enabled = range;
        break;
    case CmdPaste:
        enabled = s.ClipboardHasSound;
        break;
    case CmdSelectAll:
    case CmdSoundFormat:
    case CmdClose:
        enabled = true;
        break;
    case CmdDeselect:
        enabled = sel.Valid;
        break;
    case CmdScrollLeft:
    case CmdScrollStart:
        enabled = s.ScrollX > 0;
        break;
    case CmdScrollRight:
    case CmdScrollEnd:
        enabled = s.ScrollX < s.MaxScrollX;
        break;
    case CmdScrollUp:
    case CmdScrollTop:
        enabled = s.ScrollY > 0;
        break;
    case CmdScrollDown:
    case CmdScrollBottom:
        enabled = s.ScrollY < s.MaxScrollY;
        break;
    case CmdEcho:
    case CmdReverse:
    case CmdAmplitude:
    case CmdFadeIn:
    case CmdFadeOut:
    case CmdPitch:
    case CmdVibro:
    case CmdOtherEffect:
        enabled = s.Length > 0;
        break;
    case CmdAddTrack:
        enabled = s.ChannelCount < 32;
        break;
    case CmdDeleteTrack:
        enabled = s.ChannelCount > 1 && single;
        break;
    case CmdAllChannels:
        enabled = single;
        break;
    case CmdMergeTracks:
        enabled = s.ChannelCount > 1;
        break;
    default:
        // Not decided by the document window (Save, Save As, Print and the
        // main frame's commands): always available.
        return true;
    }
    return enabled && idle;
}

} // namespace NSWaveWin
