#pragma once
// Sets a window's view state directly, as no command does: a test's way to
// put the view where a case needs it.

#include "wavewin/wavewin.h"

namespace NSWaveWin {

struct TWaveWinProbe {
    static TViewState& View(TWaveWin& w) { return w; }
};

} // namespace NSWaveWin
