#pragma once
// A half-open range of sample positions on one channel or on all of them: the
// selection, play ranges and undo ranges.

#include <algorithm>
#include <cstdint>

constexpr int AllChannels = 0x7FFF;

struct TSampleRange {
    uint32_t Start = 0;
    uint32_t End = 0;
    int Channel = AllChannels;
    bool Valid = false;

    // The empty range: no selection.
    TSampleRange() = default;
    // The two positions may come in either order.
    TSampleRange(uint32_t a, uint32_t b, int channel = AllChannels)
        : Start(std::min(a, b)), End(std::max(a, b)), Channel(channel), Valid(true) {}

    uint32_t Length() const { return End - Start; }
    bool IsEmpty() const { return !Valid || Start >= End; }
    bool operator==(const TSampleRange&) const = default;
};
