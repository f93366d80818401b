#pragma once
// The smallest and largest sample over a stretch of a channel, as the
// waveform views and the printout draw each pixel column.
//
// A view fitted to a long sound covers millions of samples per column, so
// every channel keeps a summary of its minima and maxima over fixed blocks
// of 256 samples and, above them, of 65,536 samples. A query reads the
// samples themselves only at its two ends and takes the blocks in between
// from the summary; the answer is the same as a scan over every sample.
//
// The summary is built when first asked for and rebuilt, again only when
// asked, from the first sample a change touched: changes only mark where
// they begin (TChannel::Changed), so a run of edits costs one rebuild.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace NSWave {

class TChannel;

struct TPeak {
    int32_t Min;
    int32_t Max;
    bool operator==(const TPeak&) const = default;
};

// Minimum and maximum of the channel's samples first..last (inclusive, in
// either order), reading every one of them; positions at or beyond the
// channel's end read as 0.
TPeak PlainExtremes(const TChannel& channel, uint64_t first, uint64_t last);

// The block summary of one channel's samples. TChannel owns one and hands
// it its samples on every call, so it never keeps a pointer that a
// reallocation could leave dangling.
class TPeakSummary {
public:
    static constexpr uint32_t FineBlock = 256;
    static constexpr uint32_t CoarseBlock = 65536;

    // Samples from `from` on, or the number of samples, may have changed.
    void Changed(uint32_t from) {
        if (from < Fresh)
            Fresh = from;
    }

    // Minimum and maximum of samples[first..last]; first <= last < count.
    // Brings the summary up to date with the samples first.
    TPeak Extremes(const int32_t* samples, uint32_t count, uint32_t first, uint32_t last);

    // Heap memory the summary holds.
    size_t MemoryBytes() const { return Fine.Bytes() + Coarse.Bytes(); }

private:
    // One level: the minimum and maximum of each whole block, in two
    // arrays so that a run of blocks folds like a run of samples. A last,
    // partial block is read sample by sample, so a channel's end never needs
    // an entry of its own.
    struct TLevel {
        std::vector<int32_t> Min;
        std::vector<int32_t> Max;

        void Fit(size_t n);
        // Folds the entries [from, to) into `peak`.
        void Fold(TPeak& peak, size_t from, size_t to) const;
        size_t Bytes() const { return (Min.capacity() + Max.capacity()) * sizeof(int32_t); }
    };

    void Refresh(const int32_t* samples, uint32_t count);

    TLevel Fine;
    TLevel Coarse;
    // The samples [0, Fresh) are what the entries were built from, and
    // Summarised is the number of samples the channel had then.
    uint32_t Fresh = 0;
    uint32_t Summarised = 0;
};

} // namespace NSWave
