// The time texts of the read-out, the time line and the dialogs.

#include <gtest/gtest.h>

#include "wave/timefmt.h"

using NSWave::FormatSeconds;

namespace {

TEST(FormatSeconds, ExamplesDecimalsAndMinutes) {
    struct {
        double seconds;
        int decimals, minutes;
        const char* text;
    } const cases[] = {
        {0.5, -1, -1, "0.500"},
        {75.25, -1, -1, "1:15.25"},
        {65.004, -1, -1, "1:05.00"},
        {0, -1, -1, "0"},
        {61.25, -1, -1, "1:01.25"},
        {1.5, -1, -1, "1.50"},
        {75.5, 1, 1, "1:15.5"},
        {5, 0, 1, "0:05"},
        {0.25, 3, 0, "0.250"},
        {600, 0, 1, "10:00"},
        {75.25, 2, 0, "75.25"},
        // Automatic decimals at their thresholds.
        {0.00000009, -1, -1, "0"},
        {0.0000001, -1, -1, "0.0000"},
        {0.0099, -1, -1, "0.0099"},
        {0.01, -1, -1, "0.010"},
        {0.9999, -1, -1, "0.999"},
        {1, -1, -1, "1.00"},
        {60, -1, -1, "60.00"},
        {60.5, -1, -1, "1:00.50"},
        // Cut, not rounded, after printing with six decimals.
        {1.999, -1, -1, "1.99"},
        {1.9999996, -1, -1, "2.00"},
        // The leading zero and the minutes follow the printed digits.
        {69.9999996, -1, -1, "1:10.00"},
        {119.9999996, -1, -1, "2:00.00"},
        {59.9999996, 2, 1, "1:00.00"},
        {9.9999996, 0, 1, "0:10"},
        // A time before the start keeps its sign in front.
        {-5, 0, 1, "-0:05"},
        {-0.25, 3, 0, "-0.250"},
        {-0.0000001, 0, 0, "0"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(FormatSeconds(k.seconds, k.decimals, k.minutes), k.text)
            << k.seconds << " " << k.decimals << " " << k.minutes;
}

} // namespace
