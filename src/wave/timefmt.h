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

} // namespace NSWave
