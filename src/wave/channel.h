#pragma once
// One channel of a sound document: a growable array of signed 32-bit
// full-scale samples, with the summary of its minima and maxima that the
// waveform views draw from.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "wave/peaks.h"
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

    // Minimum and maximum of samples first..last (inclusive, first <= last);
    // positions at or beyond Count read as 0, so a range reaching past the
    // end includes 0. Whole blocks come from the summary. `readable` bounds
    // what is read, for a channel still being filled: the samples from there
    // on read as 0 and the summary is built only below it.
    TPeak Extremes(uint64_t first, uint64_t last, uint32_t readable = UINT32_MAX) const;
    // Samples from `from` on may have changed (or the length changed): the
    // summary is rebuilt from there, lazily, at the next Extremes call.
    void Changed(uint32_t from) {
        Peaks.Changed(from);
        Mark(from);
    }
    // Only samples [from, to) changed, in place: the summary is rebuilt
    // there alone.
    void Replaced(uint32_t from, uint32_t to) {
        Peaks.Replaced(from, to);
        Mark(from);
    }
    // The first sample changed since the last call (NoChange: none), for
    // the views that show the channel; the next call starts afresh.
    static constexpr uint32_t NoChange = UINT32_MAX;
    uint32_t TakeChangedFrom() { return std::exchange(ChangedFrom, NoChange); }
    // The same for the spectrogram, which follows the channel on its own.
    uint32_t TakeSpectrumChangedFrom() { return std::exchange(SpectrumFrom, NoChange); }
    // The samples for writing, from `from` on: marks them changed. Write
    // before the next Extremes call; a writer that lets the event loop run
    // while it writes (progress reports) marks again when it is done.
    int32_t* MutableSamples(uint32_t from) {
        Changed(from);
        return Samples ? Writable() + from : nullptr;
    }
    // The samples [from, to) for writing, marking only them changed.
    int32_t* MutableSamples(uint32_t from, uint32_t to) {
        Replaced(from, to);
        return Samples ? Writable() + from : nullptr;
    }
    // Exchanges the samples (and length) with `other`; both count as
    // changed from their first sample. Puts a staged result in place at once.
    void SwapSamples(TChannel& other) {
        std::swap(Samples, other.Samples);
        std::swap(Count, other.Count);
        std::swap(Capacity, other.Capacity);
        Changed(0);
        other.Changed(0);
    }
    // Heap memory of the summary.
    size_t SummaryBytes() const { return Peaks.MemoryBytes(); }
    // The summary's stretches and the blocks it has summarised all told,
    // which show how much an edit cost it.
    size_t StretchCount() const { return Peaks.StretchCount(); }
    uint64_t SummarisedBlocks() const { return Peaks.BuiltBlocks(); }

    // The channel's array as one piece (samples, length, room, from
    // AllocSamples), handed between the channel and an undo record without
    // copying a sample.
    struct TArray {
        int32_t* Samples = nullptr;
        uint32_t Count = 0;
        uint32_t Capacity = 0;
    };
    // Gives the channel `array` and returns the one it had; the channel
    // counts as changed from its first sample, and has no prior samples.
    TArray ExchangeArray(TArray array);
    // Where a change that rewrites the channel reads the samples as they
    // were: the array the channel had before it was given one for the
    // change, whose range the change then writes without reading it.
    // Amplify reads its input there below PriorCount; null for the channel's
    // own samples.
    const int32_t* Prior = nullptr;
    uint32_t PriorCount = 0;

    uint32_t Count = 0;
    uint32_t Capacity = 0;
    // Read-only, so that every write goes through MutableSamples or an
    // operation above and the summary never shows what was overwritten.
    const int32_t* Samples = nullptr;

private:
    // The array is the channel's own; only the channel's operations and
    // MutableSamples write through this.
    int32_t* Writable() const { return const_cast<int32_t*>(Samples); }
    // Tells the views (not the summary) that samples from `from` on changed.
    void Mark(uint32_t from) {
        ChangedFrom = std::min(ChangedFrom, from);
        SpectrumFrom = std::min(SpectrumFrom, from);
    }

    mutable TPeakSummary Peaks;
    // A new channel is new from its first sample.
    uint32_t ChangedFrom = 0;
    uint32_t SpectrumFrom = 0;
};

// Throws the message for an edit that would make a channel too long.
[[noreturn]] void ThrowTooLong();

} // namespace NSWave
