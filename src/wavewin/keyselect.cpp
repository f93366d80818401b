// Keyboard selection and navigation: the cursor by a screen, to the start
// or the end, Shift extending the selection; marks at the play position;
// Zoom to Selection.

#include <algorithm>
#include <cmath>

#include "wavewin/commands.h"
#include "wavewin/viewprefs.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

TValueSetting ArrowsMoveCursorSetting("View\\ArrowsMoveCursor", 0);
TValueSetting FollowPlaySetting("View\\FollowPlayback", 1);
TValueSetting NewRateSetting("NewSound\\Rate", 22050);
TValueSetting NewSizeSetting("NewSound\\Size", 1);
TValueSetting NewChannelsSetting("NewSound\\Channels", 1);

enum : int {
    CmdCursorStart = 2210,
    CmdCursorEnd = 2211,
    CmdExtendToStart = 2212,
    CmdExtendToEnd = 2213,
    CmdScreenBack = 2214,
    CmdScreenOn = 2215,
    CmdExtendScreenBack = 2216,
    CmdExtendScreenOn = 2217,
    CmdMarkStart = 2218,
    CmdMarkEnd = 2219,
    CmdZoomSelection = 2220,
};

namespace {

// The end of the selection that stays while Shift and a key move the other
// one, kept on the window between keys.
const char* const AnchorProperty = "bvKeyAnchor";

int64_t ScreenSamples(const TWaveWin& w) {
    return std::max<int64_t>(1, int64_t(double(std::max(w.View().ViewWidth, 1)) / w.View().Zoom));
}

} // namespace

int64_t SamplesPerPixel(const TWaveWin& w) {
    return std::max<int64_t>(1, std::llround(1.0 / w.View().Zoom));
}

void MoveCursor(TWaveWin& w, int64_t delta, bool extend) {
    const int64_t length = w.Document.GetLength();
    const TSampleRange& sel = w.Selected();
    bool ok = false;
    const int64_t kept = w.property(AnchorProperty).toLongLong(&ok);
    const bool anchored = ok && sel.Valid && (kept == sel.Start || kept == sel.End);
    int64_t anchor, moving;
    if (!sel.Valid) {
        anchor = moving = std::clamp<int64_t>(w.SampleUnder(0), 0, length);
    } else if (anchored) {
        anchor = kept;
        moving = kept == sel.Start ? sel.End : sel.Start;
    } else {
        anchor = sel.Start;
        moving = sel.End;
    }
    const int64_t to = std::clamp<int64_t>(moving + delta, 0, length);
    const int channel = sel.Valid ? sel.Channel : AllChannels;
    if (!extend)
        anchor = to;
    w.setProperty(AnchorProperty, qlonglong(anchor));
    w.SetSelection(
        TSampleRange(uint32_t(std::min(anchor, to)), uint32_t(std::max(anchor, to)), channel),
        false);
    w.ShowSample(uint32_t(to));
}

namespace {

using K = QKeySequence;

void MoveRow(int id, QKeyCombination key, bool extend, int64_t (*delta)(const TWaveWin&)) {
    TCommandRow(TRow(id).Shortcuts({K(key)}).Idle().Does(
        [extend, delta](TWaveWin& w) { MoveCursor(w, delta(w), extend); }));
}

int64_t ToStart(const TWaveWin&) {
    return INT32_MIN;
}
int64_t ToEnd(const TWaveWin&) {
    return INT32_MAX;
}
int64_t ScreenBack(const TWaveWin& w) {
    return -ScreenSamples(w);
}
int64_t ScreenOn(const TWaveWin& w) {
    return ScreenSamples(w);
}

[[maybe_unused]] const bool MoveRows = [] {
    MoveRow(CmdCursorStart, QKeyCombination(Qt::Key_Home), false, ToStart);
    MoveRow(CmdCursorEnd, QKeyCombination(Qt::Key_End), false, ToEnd);
    MoveRow(CmdExtendToStart, Qt::SHIFT | Qt::Key_Home, true, ToStart);
    MoveRow(CmdExtendToEnd, Qt::SHIFT | Qt::Key_End, true, ToEnd);
    MoveRow(CmdScreenBack, Qt::CTRL | Qt::Key_Left, false, ScreenBack);
    MoveRow(CmdScreenOn, Qt::CTRL | Qt::Key_Right, false, ScreenOn);
    MoveRow(CmdExtendScreenBack, Qt::CTRL | Qt::SHIFT | Qt::Key_Left, true, ScreenBack);
    MoveRow(CmdExtendScreenOn, Qt::CTRL | Qt::SHIFT | Qt::Key_Right, true, ScreenOn);
    return true;
}();

bool Playing(const TCommandState& s) {
    return s.Device == NSWave::TDeviceState::Playing;
}

} // namespace

// "[" and "]" while playing: the selection that returns when the playback
// stops starts or ends at the play position.
void TWaveWin::MarkPlayRange(bool start) {
    const uint32_t p = uint32_t(std::max(0, Position));
    TSampleRange& r = PlaySelection;
    const int channel = r.Valid ? r.Channel : AllChannels;
    if (start)
        r = TSampleRange(p, r.Valid && r.End > p ? r.End : p, channel);
    else
        r = TSampleRange(r.Valid && r.Start <= p ? r.Start : 0, p, channel);
}

namespace {

const TCommandRow MarkStartRow(
    TRow(CmdMarkStart).Shortcuts({K(Qt::Key_BracketLeft)}).When(Playing).Does([](TWaveWin& w) {
        w.MarkPlayRange(true);
    }));
const TCommandRow MarkEndRow(
    TRow(CmdMarkEnd).Shortcuts({K(Qt::Key_BracketRight)}).When(Playing).Does([](TWaveWin& w) {
        w.MarkPlayRange(false);
    }));

const TCommandRow ZoomSelectionRow(
    TRow(CmdZoomSelection)
        .Item(TMenu::View, 25, QT_TRANSLATE_NOOP("Commands", "Zoom to Se&lection\tCtrl+E"))
        .Shortcuts({K(Qt::CTRL | Qt::Key_E)})
        .When(RangeSelected)
        .Does([](TWaveWin& w) { w.ZoomToFit(); }));

} // namespace

} // namespace NSWaveWin
