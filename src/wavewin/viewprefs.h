#pragma once
// Preferences of the view and of new sounds, kept in the settings store and
// set in the Preferences dialog. Each default is the program's behaviour
// without a preference.

#include <cstdint>

#include "util/settings.h"

namespace NSWaveWin {

// The arrow keys move the cursor by a pixel (Shift: extend the selection)
// instead of scrolling by a page (Shift: to the start or end); 0 by default.
extern TValueSetting ArrowsMoveCursorSetting;
// During playback the view scrolls to keep the play cursor in sight; 1.
extern TValueSetting FollowPlaySetting;
// A new sound's rate, sample size code and channels (recordings into a new
// sound take them too): 22,050 Hz, 8-bit, mono.
extern TValueSetting NewRateSetting;
extern TValueSetting NewSizeSetting;
extern TValueSetting NewChannelsSetting;
// The view colours, red in the low byte.
extern TValueSetting BackColorSetting;
extern TValueSetting WaveColorSetting;
extern TValueSetting LegendColorSetting;
extern TValueSetting SelColorSetting;

class TWaveWin;

// Moves the cursor by `delta` samples, or with `extend` the selection's
// moving end (the other end stays where it was anchored), and keeps it in
// sight.
void MoveCursor(TWaveWin& window, int64_t delta, bool extend);
// The samples one pixel of the view shows (at least 1).
int64_t SamplesPerPixel(const TWaveWin& window);

} // namespace NSWaveWin
