#pragma once
// Times in seconds as the selection read-out, the time line and the dialogs
// show them: "0.500", "1:15.25", "0:05".

#include <string>

namespace NSWave {

// The time texts of the selection read-out, the time line and the dialogs.
// decimals < 0 chooses them from the value; minutesForm: -1 decides from the
// value (> 60 s), 0 never, 1 always (the time line decides once per paint
// from the time at its right edge). Digits beyond the decimals are cut, not
// rounded, after printing with six decimals.
std::string FormatSeconds(double seconds, int decimals = -1, int minutesForm = -1);

// The decimals FormatSeconds chooses for a value when not told: 0 for none,
// 4 below a hundredth, 3 below a second, else 2. A text that follows another
// (the Pitch dialog's new duration after the old one) takes the other's.
int AutoDecimals(double seconds);

} // namespace NSWave
