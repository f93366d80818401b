// The command rows against the enabling rules as they were written before
// the rows existed, over random window states: every row of the table
// answers as the rules do.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "wavewin/commands.h"
#include "wavewin/loudnessdlg.h"
#include "wavewin/measuredlg.h"
#include "wavewin/normalizedlg.h"
#include "wavewin/prefsdlg.h"

using namespace NSWaveWin;
using NSWave::TDeviceState;

namespace {

// The rules of the command table, one case per command.
// The keyboard's rows, which no header names.
constexpr int CmdMarkStartKey = 2218, CmdMarkEndKey = 2219, CmdZoomSelectionKey = 2220;

bool Rules(int id, const TCommandState& s) {
    const bool idle = s.Device == TDeviceState::Idle;
    const TSampleRange& sel = s.Selection;
    const bool range = sel.Valid && sel.Start < sel.End;
    const bool single = sel.Valid && sel.Channel != AllChannels;
    if (id >= CmdLevel0 && id <= CmdLevel7)
        return true;
    switch (id) {
    case CmdHeightUp:
        return s.ChannelHeight <= 1999.999;
    case CmdHeightDown:
        return s.ChannelHeight >= 50.001;
    case CmdZoomIn:
        return s.Zoom <= 10.0 - 0.001;
    case CmdZoomOut:
        return s.Zoom >= 0.00004 + 0.00000001;
    case CmdPlay:
        return idle || s.Device == TDeviceState::Playing;
    case CmdStop:
        return !idle;
    case CmdPause:
        return s.Device == TDeviceState::Playing || s.Device == TDeviceState::Recording;
    case CmdRecord:
        return !s.AnyDeviceActive && (idle || s.Device == TDeviceState::RecordPaused);
    case CmdZoomSelectionKey:
        return range;
    case CmdMarkStartKey:
    case CmdMarkEndKey:
        return s.Device == TDeviceState::Playing;
    case CmdPreferences:
    case CmdFit:
    case CmdSave:
    case CmdSaveAs:
    case CmdPrint:
        return true;
    }
    bool enabled = true;
    if (id == CmdRevert)
        enabled = s.HasFileName;
    else if (id == CmdUndo)
        enabled = s.HasUndo || (s.HasRedo && s.UndoLevels == 1);
    else if (id == CmdRedo)
        enabled = s.HasRedo && s.UndoLevels > 1;
    else if (id == CmdCut || id == CmdCopy || id == CmdDelete || id == CmdSilence)
        enabled = range;
    else if (id == CmdPaste)
        enabled = s.ClipboardHasSound;
    else if (id == CmdDeselect)
        enabled = sel.Valid;
    else if (id == CmdScrollLeft || id == CmdScrollStart)
        enabled = s.ArrowsMoveCursor || s.ScrollX > 0;
    else if (id == CmdScrollRight || id == CmdScrollEnd)
        enabled = s.ArrowsMoveCursor || s.ScrollX < s.MaxScrollX;
    else if (id == CmdScrollUp || id == CmdScrollTop)
        enabled = s.ScrollY > 0;
    else if (id == CmdScrollDown || id == CmdScrollBottom)
        enabled = s.ScrollY < s.MaxScrollY;
    else if (id == CmdEcho || id == CmdReverse || id == CmdAmplitude || id == CmdFadeIn ||
             id == CmdFadeOut || id == CmdPitch || id == CmdVibro || id == CmdOtherEffect ||
             id == CmdNormalize || id == CmdLoudness || id == CmdMeasure)
        enabled = s.Length > 0;
    else if (id == CmdAddTrack)
        enabled = s.ChannelCount < 32;
    else if (id == CmdDeleteTrack)
        enabled = s.ChannelCount > 1 && single;
    else if (id == CmdAllChannels)
        enabled = single;
    else if (id == CmdMergeTracks)
        enabled = s.ChannelCount > 1;
    return enabled && idle;
}

} // namespace

TEST(CommandRows, EnablingFollowsTheRulesInEveryState) {
    std::mt19937 random(20261209);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };
    const TDeviceState devices[] = {TDeviceState::Idle, TDeviceState::Playing,
                                    TDeviceState::Recording, TDeviceState::RecordPaused};
    ASSERT_GE(Commands().size(), 50);
    for (int round = 0; round < 3000; ++round) {
        TCommandState s;
        s.Device = devices[pick(0, 3)];
        s.AnyDeviceActive = pick(0, 1);
        s.HasFileName = pick(0, 1);
        s.HasUndo = pick(0, 1);
        s.HasRedo = pick(0, 1);
        s.UndoLevels = pick(1, 3);
        s.ArrowsMoveCursor = pick(0, 1);
        const uint32_t start = uint32_t(pick(0, 3));
        s.Selection = TSampleRange(start, start + uint32_t(pick(0, 2)),
                                   pick(0, 1) ? AllChannels : pick(0, 2));
        s.Selection.Valid = pick(0, 3) != 0;
        s.ClipboardHasSound = pick(0, 1);
        // Heights and zooms at and around their limits.
        s.ChannelHeight = std::vector<int>{49, 50, 51, 100, 1999, 2000, 2001}[size_t(pick(0, 6))];
        s.Zoom =
            std::vector<double>{0.00004, 0.0000401, 0.01, 1, 9.998, 9.999, 10}[size_t(pick(0, 6))];
        s.MaxScrollX = pick(0, 2);
        s.ScrollX = pick(0, int(s.MaxScrollX));
        s.MaxScrollY = pick(0, 2);
        s.ScrollY = pick(0, int(s.MaxScrollY));
        s.ChannelCount = pick(1, 3) == 3 ? pick(31, 33) : pick(1, 2);
        s.Length = uint32_t(pick(0, 1));
        s.Level = pick(0, 7);
        for (const TCommandInfo& c : Commands()) {
            ASSERT_EQ(CommandEnabled(c.Id, s), Rules(c.Id, s)) << "command " << c.Id;
            if (c.Id >= CmdLevel0 && c.Id <= CmdLevel7)
                ASSERT_EQ(CommandChecked(c.Id, s), c.Id - CmdLevel0 == s.Level);
            else
                ASSERT_FALSE(CommandChecked(c.Id, s)) << "command " << c.Id;
        }
    }
}

TEST(CommandRows, EachIdHasOneRowAndEachPlaceOneCommand) {
    std::set<int> ids;
    std::set<std::pair<int, int>> menuPlaces, toolPlaces, contextPlaces;
    for (const TCommandInfo& c : Commands()) {
        EXPECT_TRUE(ids.insert(c.Id).second) << c.Id;
        if (c.Menu.Menu != TMenu::None) {
            EXPECT_TRUE(menuPlaces.insert({int(c.Menu.Menu), c.Menu.Order}).second) << c.Id;
        }
        if (c.Tool.Bar != TToolBar::None) {
            EXPECT_TRUE(toolPlaces.insert({int(c.Tool.Bar), c.Tool.Order}).second) << c.Id;
        }
        if (c.Context.Order >= 0) {
            EXPECT_TRUE(contextPlaces.insert({0, c.Context.Order}).second) << c.Id;
        }
        // A command with neither an item, a key nor a button cannot be reached.
        EXPECT_TRUE(c.MenuText || !c.Keys.isEmpty() || c.Tool.Bar != TToolBar::None) << c.Id;
    }
}
