#pragma once
// One channel of a sound document: a growable array of signed 32-bit
// full-scale samples.

#include <cstdint>

#include "wave/samplerange.h"

class TOpStatus;

namespace NSWave {

class TFile;

// The most samples a channel can hold: positions are unsigned 32-bit.
constexpr uint64_t MaxChannelLength = UINT32_MAX;

class TChannel {
public:
    TChannel() = default;
    // The samples of `source` inside `range`, with silence beyond its end.
    TChannel(const TChannel& source, const TSampleRange& range);
    ~TChannel();
    TChannel(const TChannel&) = delete;
    TChannel& operator=(const TChannel&) = delete;

    // Sets the length to n. A reallocation leaves 32768 spare samples, and
    // shrinking reallocates only beyond 65536 spare, so small edits never
    // reallocate. New samples are zero unless keepUninitialised is set.
    void SetSize(uint32_t n, bool keepUninitialised = false);

    uint32_t CountInRange(const TSampleRange& range) const;
    int32_t* CopyOut(const TSampleRange& range, int32_t* buffer) const;
    const int32_t* CopyIn(const TSampleRange& range, const int32_t* buffer);
    int32_t* SwapRange(const TSampleRange& range, int32_t* buffer);
    void ZeroRange(const TSampleRange& range);
    // Throws xmsg when the channel would grow past MaxChannelLength.
    void InsertGap(const TSampleRange& range);
    void DeleteRange(const TSampleRange& range, bool shrink);
    // Gain ramp from `from` on the first sample towards `to`; saturates.
    void Amplify(const TSampleRange& range, double from, double to, TOpStatus* status, int span);
    // Runs a library effect over the range, replacing it with the output.
    void ApplyEffect(const TFile& document, const char* name, const char* args,
                     const TSampleRange& range, TOpStatus* status, int span, int outRate);

    // The length InsertGap(range) would give (0 for no change), computed
    // without changing anything, so callers can check a whole edit first.
    uint64_t LengthAfterGap(const TSampleRange& range) const;

    uint32_t Count = 0;
    uint32_t Capacity = 0;
    int32_t* Samples = nullptr;
};

// Throws the message for an edit that would make a channel too long.
[[noreturn]] void ThrowTooLong();

} // namespace NSWave
