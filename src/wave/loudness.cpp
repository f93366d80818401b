// Loudness figures through libebur128: one state per channel for the
// channel's own figures, one for the channels together.

#include "wave/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/reader.h"

namespace NSWave {

namespace {

constexpr uint32_t Block = 1 << 16;
constexpr double FullScale = 2147483648.0;

struct TStateFree {
    void operator()(ebur128_state* st) const { ebur128_destroy(&st); }
};
using TState = std::unique_ptr<ebur128_state, TStateFree>;

TState NewState(unsigned channels, int rate, int mode) {
    TState st(ebur128_init(channels, unsigned(std::max(rate, 1)), mode));
    if (!st)
        throw xmsg(NSText::Tr("Loudness", "The loudness could not be measured: out of memory."));
    // Every channel counts with weight 1: the sound carries no layout that
    // would name a surround channel.
    for (unsigned c = 0; c < channels; ++c)
        ebur128_set_channel(st.get(), c, EBUR128_LEFT);
    return st;
}

double Decibels(double linear) {
    return linear > 0 ? 20 * std::log10(linear) : -HUGE_VAL;
}

double Global(ebur128_state* st) {
    double value = -HUGE_VAL;
    if (ebur128_loudness_global(st, &value) != EBUR128_SUCCESS)
        return -HUGE_VAL;
    return value;
}

double RangeOf(ebur128_state* st) {
    double value = 0;
    if (ebur128_loudness_range(st, &value) != EBUR128_SUCCESS)
        return 0;
    return value;
}

double TruePeakOf(ebur128_state* st, unsigned channel) {
    double value = 0;
    ebur128_true_peak(st, channel, &value);
    return value;
}

// Samples `from` to `from + n` of one channel, with silence past its end.
const int32_t* Piece(const TChannel& channel, uint32_t from, uint32_t n,
                     std::vector<int32_t>& pad) {
    if (uint64_t(from) + n <= channel.Count)
        return channel.Samples + from;
    pad.assign(n, 0);
    if (from < channel.Count)
        std::copy(channel.Samples + from, channel.Samples + channel.Count, pad.begin());
    return pad.data();
}

class TProgress {
public:
    TProgress(TOpStatus* status, uint64_t total)
        : Status(status), Base(StatusBase(status)), Total(std::max<uint64_t>(total, 1)) {}
    void Step(uint64_t n) {
        Done += n;
        if (!Status)
            return;
        if (Status->Cancelled())
            throw xcancelled();
        Status->SetPercent(Base + int(Done * uint64_t(100 - Base) / Total));
    }

private:
    TOpStatus* Status;
    int Base;
    uint64_t Total;
    uint64_t Done = 0;
};

} // namespace

TLoudness MeasureLoudness(const TFile& doc, const TSampleRange& range, TLoudnessDetail detail,
                          TOpStatus* status) {
    TLoudness result;
    TSampleRange r = range;
    r.End = std::min(r.End, doc.GetLength());
    for (int c = 0; c < doc.ChannelCount(); ++c)
        if (r.Channel == AllChannels || r.Channel == c)
            result.Channels.push_back(c);
    const uint32_t frames = r.Valid && r.End > r.Start ? r.End - r.Start : 0;
    const unsigned n = unsigned(result.Channels.size());
    result.PerChannel.resize(n);
    if (n == 0)
        return result;

    const bool all = detail == TLoudnessDetail::All;
    const int togetherMode = EBUR128_MODE_I | (all ? EBUR128_MODE_LRA : EBUR128_MODE_TRUE_PEAK);
    TState together = NewState(n, doc.Rate, togetherMode);
    std::vector<TState> each;
    if (all)
        for (unsigned i = 0; i < n; ++i)
            each.push_back(
                NewState(1, doc.Rate, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK));
    std::vector<long double> squares(n, 0);
    std::vector<int64_t> peaks(n, 0);

    TProgress progress(status, uint64_t(frames) * (all ? 2 : 1));
    std::vector<int32_t> interleaved;
    std::vector<int32_t> pad;
    for (uint32_t at = 0; at < frames; at += std::min(Block, frames - at)) {
        const uint32_t count = std::min(Block, frames - at);
        interleaved.resize(size_t(count) * n);
        for (unsigned i = 0; i < n; ++i) {
            const int32_t* s = Piece(doc.Channel(result.Channels[i]), r.Start + at, count, pad);
            long double sum = 0;
            int64_t peak = peaks[i];
            for (uint32_t k = 0; k < count; ++k) {
                interleaved[size_t(k) * n + i] = s[k];
                const double v = s[k];
                sum += v * v;
                peak = std::max(peak, std::abs(int64_t(s[k])));
            }
            squares[i] += sum;
            peaks[i] = peak;
            if (all)
                ebur128_add_frames_int(each[i].get(), reinterpret_cast<const int*>(s), count);
        }
        if (all)
            progress.Step(count);
        ebur128_add_frames_int(together.get(), reinterpret_cast<const int*>(interleaved.data()),
                               count);
        progress.Step(count);
    }

    TLoudnessFigures& t = result.Together;
    t.Integrated = Global(together.get());
    t.Range = all ? RangeOf(together.get()) : 0;
    t.TruePeak = t.SamplePeak = t.Rms = -HUGE_VAL;
    long double allSquares = 0;
    for (unsigned i = 0; i < n; ++i) {
        TLoudnessFigures& f = result.PerChannel[i];
        f.SamplePeak = Decibels(double(peaks[i]) / FullScale);
        const double rms = frames ? std::sqrt(double(squares[i] / frames)) / FullScale : 0;
        f.Rms = Decibels(rms);
        if (all) {
            f.Integrated = Global(each[i].get());
            f.Range = RangeOf(each[i].get());
            f.TruePeak = Decibels(TruePeakOf(each[i].get(), 0));
        } else {
            f.TruePeak = Decibels(TruePeakOf(together.get(), i));
        }
        // The true peak is never below the sample peak it passes through.
        f.TruePeak = std::max(f.TruePeak, f.SamplePeak);
        t.TruePeak = std::max(t.TruePeak, f.TruePeak);
        t.SamplePeak = std::max(t.SamplePeak, f.SamplePeak);
        allSquares += squares[i];
    }
    t.Rms =
        Decibels(frames ? std::sqrt(double(allSquares / (uint64_t(frames) * n))) / FullScale : 0);
    return result;
}

double LoudnessGain(double integrated, double truePeak, double target, double ceiling) {
    if (!std::isfinite(integrated) || !std::isfinite(truePeak))
        return 0;
    return std::min(target - integrated, ceiling - truePeak);
}

} // namespace NSWave
