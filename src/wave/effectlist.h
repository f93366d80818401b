#pragma once
// The installed library's effects that the Other Effect dialog offers: those
// a range can go through in place, so that the replacement undo record takes
// them back exactly.

#include <string>
#include <vector>

namespace NSWave {

struct TLibraryEffect {
    std::string Name;
    // The library's own text of the words the effect takes; may be empty.
    std::string Usage;
};

// Effects that work on one channel at its own rate and keep its length,
// sorted by name. Left out: those the library marks as changing the rate,
// the channel count or the length, deprecated and internal ones, and names
// the program gives a meaning of its own (echo, vibro, resample), which the
// effect runner would not hand to the library as they stand.
std::vector<TLibraryEffect> InPlaceEffects();

} // namespace NSWave
