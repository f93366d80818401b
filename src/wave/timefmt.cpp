#include "wave/timefmt.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace NSWave {

namespace {

std::string Fixed(double x, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, x);
    return text;
}

} // namespace

int AutoDecimals(double seconds) {
    if (seconds < 0.0000001)
        return 0;
    if (seconds < 0.01)
        return 4;
    if (seconds < 1)
        return 3;
    return 2;
}

std::string FormatSeconds(double seconds, int decimals, int minutesForm) {
    if (decimals < 0)
        decimals = AutoDecimals(seconds);
    // A time before the start (the time line's first tick) keeps its sign in
    // front of the minutes.
    const bool negative = std::signbit(seconds);
    double x = std::fabs(seconds);
    std::string text;
    if (minutesForm == 1 || (minutesForm < 0 && x > 60)) {
        double minutes = std::trunc(x / 60);
        x -= 60 * minutes;
        if (x < 0) {
            minutes -= 1;
            x += 60;
        }
        // The leading "0" and the carry into the minutes follow the digits
        // as printed: 69.9999996 s is "1:10.00" and 119.9999996 s "2:00.00".
        std::string rest = Fixed(x, 6);
        if (rest.compare(0, 3, "60.") == 0) {
            minutes += 1;
            rest.replace(0, 2, "00");
        } else if (rest[1] == '.') {
            rest.insert(0, 1, '0');
        }
        text = Fixed(minutes, 0) + ":" + rest;
    } else {
        text = Fixed(x, 6);
    }
    const size_t point = text.find('.');
    if (point != std::string::npos)
        text.resize(decimals == 0 ? point : std::min(text.size(), point + 1 + size_t(decimals)));
    // No "-0" for a value that shows as zero.
    if (negative && text.find_first_not_of("0:.") != std::string::npos)
        text.insert(0, 1, '-');
    return text;
}

} // namespace NSWave
