#include "wave/peaks.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "wave/channel.h"

namespace NSWave {

namespace {

constexpr uint32_t FinePerCoarse = TPeakSummary::CoarseBlock / TPeakSummary::FineBlock;
constexpr TPeak NoPeak{INT32_MAX, INT32_MIN};

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

void TPeakSummary::Refresh(const int32_t* samples, uint32_t count) {
    // Only whole blocks are kept, so a channel that got shorter leaves the
    // blocks below its new end as they are.
    const size_t fineCount = count / FineBlock;
    const size_t firstFine = Fresh / FineBlock;
    Fine.Fit(fineCount);
    for (size_t k = firstFine; k < fineCount; ++k) {
        TPeak peak = NoPeak;
        Fold(peak, samples + k * FineBlock, FineBlock);
        Fine.Min[k] = peak.Min;
        Fine.Max[k] = peak.Max;
    }
    const size_t coarseCount = count / CoarseBlock;
    Coarse.Fit(coarseCount);
    for (size_t j = firstFine / FinePerCoarse; j < coarseCount; ++j) {
        TPeak peak = NoPeak;
        Fine.Fold(peak, j * FinePerCoarse, (j + 1) * FinePerCoarse);
        Coarse.Min[j] = peak.Min;
        Coarse.Max[j] = peak.Max;
    }
    Fresh = Summarised = count;
}

TPeak TPeakSummary::Extremes(const int32_t* samples, uint32_t count, uint32_t first,
                             uint32_t last) {
    TPeak peak = NoPeak;
    const uint64_t end = uint64_t(last) + 1;
    // A short stretch is read directly, which spares a view zoomed in after
    // an edit the rebuild.
    if (end - first < 2 * FineBlock) {
        Fold(peak, samples + first, size_t(end - first));
        return peak;
    }
    if (Fresh < count || Summarised != count)
        Refresh(samples, count);

    // The samples up to the first fine boundary and from the last one on;
    // between them fine blocks up to the first coarse boundary and from the
    // last one on, and coarse blocks in the middle.
    const uint64_t fineFrom = (first + FineBlock - 1) / FineBlock;
    const uint64_t fineTo = end / FineBlock;
    Fold(peak, samples + first, size_t(fineFrom * FineBlock - first));
    Fold(peak, samples + fineTo * FineBlock, size_t(end - fineTo * FineBlock));
    const uint64_t coarseFrom = (fineFrom + FinePerCoarse - 1) / FinePerCoarse;
    const uint64_t coarseTo = fineTo / FinePerCoarse;
    if (coarseFrom < coarseTo) {
        Fine.Fold(peak, fineFrom, coarseFrom * FinePerCoarse);
        Coarse.Fold(peak, coarseFrom, coarseTo);
        Fine.Fold(peak, coarseTo * FinePerCoarse, fineTo);
    } else {
        Fine.Fold(peak, fineFrom, fineTo);
    }
    return peak;
}

} // namespace NSWave
