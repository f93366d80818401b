#include "wave/channel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/samplemem.h"

namespace NSWave {

void ThrowTooLong() {
    throw xmsg(NSText::Tr(
        "Sound", "The sound would become too long: a channel can hold at most 4294967295 samples"));
}

TChannel::TChannel(const TChannel& source, const TSampleRange& range) {
    if (!range.Valid || range.Start >= range.End)
        return;
    SetSize(range.End - range.Start, true);
    uint32_t n = source.CountInRange(range);
    int32_t* to = MutableSamples(0);
    if (n)
        std::memcpy(to, source.Samples + range.Start, size_t(n) * sizeof(int32_t));
    std::fill(to + n, to + Count, 0);
}

TChannel::~TChannel() {
    FreeSamples(Writable(), Capacity);
}

void TChannel::SetSize(uint32_t n, bool keepUninitialised) {
    Changed(std::min(n, Count));
    if (n == 0) {
        FreeSamples(Writable(), Capacity);
        Samples = nullptr;
        Capacity = Count = 0;
        return;
    }
    size_t freshFrom = n;
    if (n > Capacity || uint64_t(Capacity) > uint64_t(n) + 65536) {
        auto capacity = uint32_t(std::min<uint64_t>(uint64_t(n) + 32768, UINT32_MAX));
        Samples = ReallocSamples(Writable(), Capacity, capacity, &freshFrom);
        Capacity = capacity;
    }
    if (!keepUninitialised && n > Count) {
        // Pages that were never touched already read as zero.
        size_t zeroEnd = std::min<size_t>(n, std::max<size_t>(freshFrom, Count));
        std::fill(Writable() + Count, Writable() + zeroEnd, 0);
    }
    Count = n;
}

TChannel::TArray TChannel::ExchangeArray(TArray array) {
    TArray own{Writable(), Count, Capacity};
    Samples = array.Samples;
    Count = array.Count;
    Capacity = array.Capacity;
    Prior = nullptr;
    PriorCount = 0;
    Changed(0);
    return own;
}

uint32_t TChannel::CountInRange(const TSampleRange& range) const {
    if (range.Start >= Count || range.End <= range.Start)
        return 0;
    return std::min(range.End, Count) - range.Start;
}

int32_t* TChannel::CopyOut(const TSampleRange& range, int32_t* buffer) const {
    if (!buffer)
        return nullptr;
    uint32_t n = CountInRange(range);
    if (n)
        std::memcpy(buffer, Samples + range.Start, size_t(n) * sizeof(int32_t));
    return buffer + n;
}

const int32_t* TChannel::CopyIn(const TSampleRange& range, const int32_t* buffer) {
    if (!buffer)
        return nullptr;
    uint32_t n = CountInRange(range);
    if (n)
        std::memcpy(MutableSamples(range.Start, range.Start + n), buffer,
                    size_t(n) * sizeof(int32_t));
    return buffer + n;
}

int32_t* TChannel::SwapRange(const TSampleRange& range, int32_t* buffer) {
    if (!buffer)
        return nullptr;
    uint32_t n = CountInRange(range);
    if (n)
        std::swap_ranges(buffer, buffer + n, MutableSamples(range.Start, range.Start + n));
    return buffer + n;
}

void TChannel::ZeroRange(const TSampleRange& range) {
    if (range.Start > Count)
        return;
    uint32_t end = std::min(range.End, Count);
    if (!range.Valid || range.Start >= end)
        return;
    std::fill(MutableSamples(range.Start, end), Writable() + end, 0);
}

uint64_t TChannel::LengthAfterGap(const TSampleRange& range) const {
    if (!range.Valid)
        return 0;
    if (range.Start > Count)
        return std::max(range.End, Count);
    if (range.Start >= range.End)
        return 0;
    return uint64_t(Count) + (range.End - range.Start);
}

void TChannel::InsertGap(const TSampleRange& range) {
    if (!range.Valid)
        return;
    if (range.Start > Count) {
        if (range.End > Count)
            SetSize(range.End);
        return;
    }
    if (range.Start >= range.End)
        return;
    uint64_t length = LengthAfterGap(range);
    if (length > MaxChannelLength)
        ThrowTooLong();
    uint32_t oldCount = Count, gap = range.End - range.Start;
    SetSize(uint32_t(length), true);
    int32_t* from = Writable() + range.Start;
    std::memmove(from + gap, from, size_t(oldCount - range.Start) * sizeof(int32_t));
    std::fill(from, from + gap, 0);
    // The samples behind the gap only moved.
    Peaks.Inserted(range.Start, gap);
    Mark(range.Start);
}

void TChannel::DeleteRange(const TSampleRange& range, bool shrink) {
    if (range.Start > Count)
        return;
    uint32_t end = std::min(range.End, Count);
    if (!range.Valid || range.Start >= end)
        return;
    uint32_t n = end - range.Start;
    int32_t* from = Writable() + range.Start;
    std::memmove(from, from + n, size_t(Count - end) * sizeof(int32_t));
    Peaks.Deleted(range.Start, n);
    Mark(range.Start);
    if (shrink)
        SetSize(Count - n, true);
    else
        std::fill(Writable() + Count - n, Writable() + Count, 0);
}

namespace {

// Gain (n − i) × from ÷ n + i × to ÷ n on sample i of n, in exactly that
// order of double operations (a running sum drifts by a unit now and then),
// saturated at the 32-bit limits. Where the processor has 256-bit vectors the
// loop is written with them (the compiler's own vectorising of the saturation
// shuffles far more than it computes); both ways give exactly the same
// samples, as each lane does the same IEEE operations.
struct TRamp {
    double From, To, N;
    double Gain(double i) const { return (N - i) * From / N + i * To / N; }
};

int32_t RampSample(double gain, int32_t sample) {
    const double v = gain * double(sample);
    return int32_t(std::min(std::max(v, -2147483648.0), 2147483647.0));
}

#if defined(__x86_64__)
// Which terms of the gain the vector loop computes. A term whose factor is
// zero is ±0, and adding it leaves the other term as it is (up to the sign
// of a zero gain, which makes no difference to a sample), so a fade needs
// one division per sample instead of two.
enum class TTerms { Both, ToOnly, FromOnly };

template <TTerms Terms>
__attribute__((target("avx2"))) void RampAvx2(int32_t* s, const int32_t* in, int count,
                                              const TRamp& ramp, double first) {
    const __m256d lo = _mm256_set1_pd(-2147483648.0), hi = _mm256_set1_pd(2147483647.0);
    const __m256d from = _mm256_set1_pd(ramp.From), to = _mm256_set1_pd(ramp.To);
    const __m256d n = _mm256_set1_pd(ramp.N), four = _mm256_set1_pd(4.0);
    __m256d i4 = _mm256_add_pd(_mm256_set1_pd(first), _mm256_set_pd(3.0, 2.0, 1.0, 0.0));
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        auto* at = reinterpret_cast<__m128i*>(s + k);
        const auto* from4 = reinterpret_cast<const __m128i*>(in + k);
        __m256d gain;
        if constexpr (Terms == TTerms::ToOnly)
            gain = _mm256_div_pd(_mm256_mul_pd(i4, to), n);
        else if constexpr (Terms == TTerms::FromOnly)
            gain = _mm256_div_pd(_mm256_mul_pd(_mm256_sub_pd(n, i4), from), n);
        else
            gain = _mm256_add_pd(_mm256_div_pd(_mm256_mul_pd(_mm256_sub_pd(n, i4), from), n),
                                 _mm256_div_pd(_mm256_mul_pd(i4, to), n));
        __m256d v = _mm256_mul_pd(gain, _mm256_cvtepi32_pd(_mm_loadu_si128(from4)));
        v = _mm256_min_pd(_mm256_max_pd(v, lo), hi);
        _mm_storeu_si128(at, _mm256_cvttpd_epi32(v));
        i4 = _mm256_add_pd(i4, four);
    }
    for (; k < count; ++k)
        s[k] = RampSample(ramp.Gain(first + double(k)), in[k]);
}

#endif

// Samples first … first + count − 1 of the ramp over `in`, written at s
// (which may be in).
void RampBlock(int32_t* s, const int32_t* in, int count, const TRamp& ramp, double first) {
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        if (ramp.From == 0.0)
            RampAvx2<TTerms::ToOnly>(s, in, count, ramp, first);
        else if (ramp.To == 0.0)
            RampAvx2<TTerms::FromOnly>(s, in, count, ramp, first);
        else
            RampAvx2<TTerms::Both>(s, in, count, ramp, first);
        return;
    }
#endif
    for (int k = 0; k < count; ++k)
        s[k] = RampSample(ramp.Gain(first + double(k)), in[k]);
}

} // namespace

void TChannel::Amplify(const TSampleRange& range, double from, double to, TOpStatus* status,
                       int span) {
    if (range.Start > Count)
        return;
    uint32_t end = std::min(range.End, Count);
    if (!range.Valid || range.Start >= end)
        return;
    // The gain runs from `from` on the first sample to (n − 1)/n of the way
    // towards `to` on the last.
    const uint32_t n = end - range.Start;
    const int base = StatusBase(status);
    const TRamp ramp{from, to, double(n)};
    constexpr uint32_t Block = 1u << 16;
    int32_t* s = MutableSamples(range.Start, end);
    // Below PriorCount the input is the prior array's; past it (room the
    // change made) the channel's own.
    const uint32_t priorEnd =
        Prior ? std::max(range.Start, std::min(end, PriorCount)) - range.Start : 0;
    const int32_t* in = Prior ? Prior + range.Start : s;
    for (uint32_t i = 0, count = 0; i < n; i += count) {
        count = std::min(Block, n - i);
        if (i < priorEnd)
            count = std::min(count, priorEnd - i);
        RampBlock(s + i, (i < priorEnd ? in : s) + i, int(count), ramp, double(i));
        if (status) {
            status->SetPercent(base + int(int64_t(span) * (i + count - 1) / n));
            // The undo record takes back what was done so far.
            if (status->Cancelled()) {
                Replaced(range.Start, end);
                throw xcancelled();
            }
        }
    }
    // A paint during a progress report may have summarised half-written
    // samples.
    if (status)
        Replaced(range.Start, end);
}

TPeak TChannel::Extremes(uint64_t first, uint64_t last, uint32_t readable) const {
    if (first > last)
        std::swap(first, last);
    const uint32_t count = std::min(Count, readable);
    if (first >= count)
        return {0, 0};
    TPeak peak = Peaks.Extremes(Samples, count, uint32_t(first),
                                uint32_t(std::min<uint64_t>(last, count - 1)));
    if (last >= count) {
        peak.Min = std::min(peak.Min, 0);
        peak.Max = std::max(peak.Max, 0);
    }
    return peak;
}

} // namespace NSWave
