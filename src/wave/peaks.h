#pragma once
// The smallest and largest sample over a stretch of a channel, as the
// waveform views and the printout draw each pixel column.
//
// A view fitted to a long sound covers millions of samples per column, so
// every channel keeps a summary of its minima and maxima over blocks of 256
// samples and, above them, of 65,536 samples. A query reads the samples
// themselves only at its ends and takes the blocks in between from the
// summary; the answer is the same as a scan over every sample.
//
// The blocks come in stretches: runs of whole blocks that start at a sample
// position of their own. An insertion or deletion splits the stretch it
// falls in, drops the blocks it cut through and moves the stretches behind
// it, so the samples that only moved are never summarised again; an
// in-place change drops the blocks it touched. What no stretch covers is
// summarised, lazily at the next query, into new stretches; a gap too short
// for that is read sample by sample.

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
    void Changed(uint32_t from);
    // Samples [from, to) were written in place; the rest stayed.
    void Replaced(uint32_t from, uint32_t to);
    // n samples were put in at `at`; those from `at` on moved up by n.
    void Inserted(uint32_t at, uint32_t n);
    // The n samples from `at` on were taken out; those behind moved down.
    void Deleted(uint32_t at, uint32_t n);

    // Minimum and maximum of samples[first..last]; first <= last < count.
    // Brings the summary up to date with the samples first.
    TPeak Extremes(const int32_t* samples, uint32_t count, uint32_t first, uint32_t last);

    // Heap memory the summary holds.
    size_t MemoryBytes() const {
        return Fine.Bytes() + Coarse.Bytes() + Stretches.capacity() * sizeof(TStretch);
    }
    // The number of stretches, as of the last query.
    size_t StretchCount() const { return Stretches.size(); }
    // How many blocks were summarised so far, all told.
    uint64_t BuiltBlocks() const { return Built; }

private:
    // One level of entries: the minimum and maximum of each block, in two
    // arrays so that a run of blocks folds like a run of samples.
    struct TLevel {
        std::vector<int32_t> Min;
        std::vector<int32_t> Max;

        size_t Size() const { return Min.size(); }
        void Fit(size_t n);
        // Folds the entries [from, to) into `peak`.
        void Fold(TPeak& peak, size_t from, size_t to) const;
        size_t Bytes() const { return (Min.capacity() + Max.capacity()) * sizeof(int32_t); }
    };

    // Blocks of samples [Start + k × FineBlock, Start + (k + 1) × FineBlock)
    // for k < Blocks, whose entries are Fine[Entry + k].
    struct TStretch {
        uint32_t Start;
        uint32_t Blocks;
        uint32_t Entry;
        uint64_t End() const { return uint64_t(Start) + uint64_t(Blocks) * FineBlock; }
    };

    // Drops every block that overlaps [from, to), and with from == to the
    // one block that straddles `from`.
    void Cut(uint64_t from, uint64_t to);
    // Moves the stretches that start at or after `from` by delta samples.
    void Shift(uint64_t from, int64_t delta);

    void Refresh(const int32_t* samples, uint32_t count);
    // Summarises every gap between stretches that is long enough.
    void FillGaps(const int32_t* samples, uint32_t count);
    // Copies the stretches' entries in order into fresh arrays, joining
    // stretches that meet, and leaves what no stretch uses behind.
    void Compact();
    // Drops the n shortest stretches, so that their samples are summarised
    // again in line with the stretch before them.
    void DropShortest(size_t n);
    // Fine entries for `blocks` blocks of samples, at the end of Fine.
    void Append(const int32_t* samples, uint32_t blocks);
    // Rebuilds the coarse entries of groups [from, to) of Fine.
    void Regroup(size_t from, size_t to);

    void FoldEntries(TPeak& peak, size_t from, size_t to) const;
    void FoldStretch(TPeak& peak, const int32_t* samples, const TStretch& stretch, uint64_t from,
                     uint64_t to) const;

    // Fine holds the entries of all stretches, and maybe some no stretch
    // uses any more; Coarse[j] folds Fine[j × 256, (j + 1) × 256), so a run
    // of one stretch's entries takes whole groups from it.
    TLevel Fine;
    TLevel Coarse;
    std::vector<TStretch> Stretches; // in the order of their samples
    bool Stale = true;
    // The number of samples the channel had at the last query.
    uint32_t Summarised = 0;
    uint64_t Built = 0;
};

} // namespace NSWave
