#include "wave/peaks.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <utility>

#include "wave/channel.h"

namespace NSWave {

namespace {

constexpr uint32_t FinePerCoarse = TPeakSummary::CoarseBlock / TPeakSummary::FineBlock;
constexpr TPeak NoPeak{INT32_MAX, INT32_MIN};
// A gap between stretches shorter than this is read sample by sample.
constexpr uint64_t MinGap = 4 * TPeakSummary::FineBlock;
// Beyond this many stretches the shortest are summarised again.
constexpr size_t MaxStretches = 256;

// Two running values rather than a branch per value, so the compiler can
// work on several at once.
void Fold(TPeak& peak, const int32_t* mins, const int32_t* maxs, size_t n) {
    int32_t lo = peak.Min, hi = peak.Max;
    for (size_t i = 0; i < n; ++i) {
        lo = mins[i] < lo ? mins[i] : lo;
        hi = maxs[i] > hi ? maxs[i] : hi;
    }
    peak = {lo, hi};
}

void Fold(TPeak& peak, const int32_t* samples, size_t n) {
    Fold(peak, samples, samples, n);
}

} // namespace

TPeak PlainExtremes(const TChannel& channel, uint64_t first, uint64_t last) {
    if (first > last)
        std::swap(first, last);
    if (first >= channel.Count)
        return {0, 0};
    const uint64_t end = std::min<uint64_t>(last, channel.Count - 1) + 1;
    TPeak peak = NoPeak;
    Fold(peak, channel.Samples + first, size_t(end - first));
    if (last >= channel.Count)
        peak = {std::min(peak.Min, 0), std::max(peak.Max, 0)};
    return peak;
}

// Sizes the level to n entries, keeping those below n, with a little room
// to grow and without holding on to much more than it needs.
void TPeakSummary::TLevel::Fit(size_t n) {
    for (std::vector<int32_t>* entries : {&Min, &Max}) {
        if (n > entries->capacity())
            entries->reserve(n + n / 8);
        entries->resize(n);
        if (entries->capacity() > n + n / 4 + 64)
            entries->shrink_to_fit();
    }
}

void TPeakSummary::TLevel::Fold(TPeak& peak, size_t from, size_t to) const {
    if (from < to)
        NSWave::Fold(peak, Min.data() + from, Max.data() + from, to - from);
}

void TPeakSummary::Changed(uint32_t from) {
    Cut(from, UINT64_MAX);
}

void TPeakSummary::Replaced(uint32_t from, uint32_t to) {
    if (from < to)
        Cut(from, to);
}

void TPeakSummary::Inserted(uint32_t at, uint32_t n) {
    if (n == 0)
        return;
    Cut(at, at);
    Shift(at, int64_t(n));
}

void TPeakSummary::Deleted(uint32_t at, uint32_t n) {
    if (n == 0)
        return;
    Cut(at, uint64_t(at) + n);
    Shift(uint64_t(at) + n, -int64_t(n));
}

void TPeakSummary::Cut(uint64_t from, uint64_t to) {
    Stale = true;
    auto first = std::partition_point(Stretches.begin(), Stretches.end(),
                                      [&](const TStretch& s) { return s.End() <= from; });
    auto last = first;
    std::vector<TStretch> pieces;
    for (; last != Stretches.end() && last->Start < to; ++last) {
        const TStretch& s = *last;
        // The blocks that end by `from`, and the first that starts at or
        // after `to`.
        const uint64_t head = from > s.Start ? (from - s.Start) / FineBlock : 0;
        const uint64_t tail = to >= s.End() ? s.Blocks : (to - s.Start + FineBlock - 1) / FineBlock;
        if (head > 0)
            pieces.push_back({s.Start, uint32_t(head), s.Entry});
        if (tail < s.Blocks)
            pieces.push_back({uint32_t(s.Start + tail * FineBlock), uint32_t(s.Blocks - tail),
                              uint32_t(s.Entry + tail)});
    }
    if (first == last)
        return;
    const auto at = Stretches.erase(first, last);
    Stretches.insert(at, pieces.begin(), pieces.end());
}

void TPeakSummary::Shift(uint64_t from, int64_t delta) {
    Stale = true;
    for (TStretch& s : Stretches)
        if (s.Start >= from)
            s.Start = uint32_t(int64_t(s.Start) + delta);
}

void TPeakSummary::Regroup(size_t from, size_t to) {
    for (size_t j = from; j < to; ++j) {
        TPeak peak = NoPeak;
        Fine.Fold(peak, j * FinePerCoarse, (j + 1) * FinePerCoarse);
        Coarse.Min[j] = peak.Min;
        Coarse.Max[j] = peak.Max;
    }
}

void TPeakSummary::Append(const int32_t* samples, uint32_t blocks) {
    const size_t old = Fine.Size(), size = old + blocks;
    Built += blocks;
    Fine.Fit(size);
    for (size_t k = old; k < size; ++k, samples += FineBlock) {
        TPeak peak = NoPeak;
        Fold(peak, samples, FineBlock);
        Fine.Min[k] = peak.Min;
        Fine.Max[k] = peak.Max;
    }
    Coarse.Fit(size / FinePerCoarse);
    Regroup(old / FinePerCoarse, size / FinePerCoarse);
}

void TPeakSummary::FillGaps(const int32_t* samples, uint32_t count) {
    std::vector<TStretch> filled;
    auto fill = [&](uint64_t from, uint64_t to) {
        if (to < from + MinGap)
            return;
        const auto blocks = uint32_t((to - from) / FineBlock);
        // A channel that grows at its end, as a recording does, keeps
        // one stretch.
        if (!filled.empty() && filled.back().End() == from &&
            filled.back().Entry + filled.back().Blocks == Fine.Size())
            filled.back().Blocks += blocks;
        else
            filled.push_back({uint32_t(from), blocks, uint32_t(Fine.Size())});
        Append(samples + from, blocks);
    };
    uint64_t at = 0;
    for (const TStretch& s : Stretches) {
        fill(at, s.Start);
        filled.push_back(s);
        at = s.End();
    }
    fill(at, count);
    Stretches = std::move(filled);
}

void TPeakSummary::Compact() {
    TLevel fine;
    size_t live = 0;
    for (const TStretch& s : Stretches)
        live += s.Blocks;
    fine.Fit(live);
    std::vector<TStretch> joined;
    size_t k = 0;
    for (const TStretch& s : Stretches) {
        std::copy_n(Fine.Min.begin() + s.Entry, s.Blocks, fine.Min.begin() + ptrdiff_t(k));
        std::copy_n(Fine.Max.begin() + s.Entry, s.Blocks, fine.Max.begin() + ptrdiff_t(k));
        if (!joined.empty() && joined.back().End() == s.Start)
            joined.back().Blocks += s.Blocks;
        else
            joined.push_back({s.Start, s.Blocks, uint32_t(k)});
        k += s.Blocks;
    }
    Fine = std::move(fine);
    Stretches = std::move(joined);
    Coarse.Fit(live / FinePerCoarse);
    Regroup(0, live / FinePerCoarse);
}

void TPeakSummary::DropShortest(size_t n) {
    std::vector<size_t> order(Stretches.size());
    std::iota(order.begin(), order.end(), size_t(0));
    n = std::min(n, order.size());
    std::nth_element(order.begin(), order.begin() + ptrdiff_t(n), order.end(),
                     [&](size_t a, size_t b) { return Stretches[a].Blocks < Stretches[b].Blocks; });
    std::vector<bool> dropped(Stretches.size());
    for (size_t i = 0; i < n; ++i)
        dropped[order[i]] = true;
    std::vector<TStretch> kept;
    for (size_t i = 0; i < Stretches.size(); ++i)
        if (!dropped[i])
            kept.push_back(Stretches[i]);
    Stretches = std::move(kept);
}

void TPeakSummary::Refresh(const int32_t* samples, uint32_t count) {
    // A channel that got shorter without saying so.
    if (count < Summarised)
        Cut(count, UINT64_MAX);
    FillGaps(samples, count);
    size_t live = 0, joinable = 0;
    for (size_t i = 0; i < Stretches.size(); ++i) {
        live += Stretches[i].Blocks;
        joinable += i > 0 && Stretches[i - 1].End() == Stretches[i].Start;
    }
    if (Fine.Size() > live + live / 2 + 4096 || (joinable && Stretches.size() > MaxStretches / 4))
        Compact();
    // Each edit that falls between block boundaries leaves stretches that
    // cannot be joined; the shortest are summarised again in line with their
    // neighbours, which keeps a query's work to the blocks it covers.
    if (Stretches.size() > MaxStretches) {
        DropShortest(Stretches.size() / 2);
        FillGaps(samples, count);
        Compact();
    }
    Stale = false;
    Summarised = count;
}

void TPeakSummary::FoldEntries(TPeak& peak, size_t from, size_t to) const {
    const size_t coarseFrom = (from + FinePerCoarse - 1) / FinePerCoarse;
    const size_t coarseTo = to / FinePerCoarse;
    if (coarseFrom < coarseTo) {
        Fine.Fold(peak, from, coarseFrom * FinePerCoarse);
        Coarse.Fold(peak, coarseFrom, coarseTo);
        Fine.Fold(peak, coarseTo * FinePerCoarse, to);
    } else {
        Fine.Fold(peak, from, to);
    }
}

// Samples [from, to) inside the stretch: its whole blocks from the entries,
// the samples at either end as they are.
void TPeakSummary::FoldStretch(TPeak& peak, const int32_t* samples, const TStretch& s,
                               uint64_t from, uint64_t to) const {
    const uint64_t fineFrom = (from - s.Start + FineBlock - 1) / FineBlock;
    const uint64_t fineTo = (to - s.Start) / FineBlock;
    if (fineFrom >= fineTo) {
        Fold(peak, samples + from, size_t(to - from));
        return;
    }
    const uint64_t wholeFrom = s.Start + fineFrom * FineBlock,
                   wholeTo = s.Start + fineTo * FineBlock;
    Fold(peak, samples + from, size_t(wholeFrom - from));
    Fold(peak, samples + wholeTo, size_t(to - wholeTo));
    FoldEntries(peak, s.Entry + fineFrom, s.Entry + fineTo);
}

TPeak TPeakSummary::Extremes(const int32_t* samples, uint32_t count, uint32_t first,
                             uint32_t last) {
    TPeak peak = NoPeak;
    const uint64_t end = uint64_t(last) + 1;
    // A short stretch is read directly, which spares a view zoomed in after
    // an edit the summary's work.
    if (end - first < 2 * FineBlock) {
        Fold(peak, samples + first, size_t(end - first));
        return peak;
    }
    if (Stale || Summarised != count)
        Refresh(samples, count);

    uint64_t at = first;
    auto s = std::partition_point(Stretches.begin(), Stretches.end(),
                                  [&](const TStretch& t) { return t.End() <= at; });
    for (; at < end && s != Stretches.end() && s->Start < end; ++s) {
        if (s->Start > at) {
            Fold(peak, samples + at, size_t(s->Start - at));
            at = s->Start;
        }
        const uint64_t to = std::min(end, s->End());
        FoldStretch(peak, samples, *s, at, to);
        at = to;
    }
    if (at < end)
        Fold(peak, samples + at, size_t(end - at));
    return peak;
}

} // namespace NSWave
