// The min/max summary over a one-hour 44.1 kHz stereo document (about
// 1.3 GB of samples):
// - the extremes of every column of a view fitted to 1,900 columns (about
//   83,558 samples each), both channels, from the summary and by the plain
//   scan;
// - the summary's work after one second is deleted in the middle (and,
//   every other round, put back), next to one plain min/max pass over the
//   samples behind the change after the same edit;
// - the summary's memory as a percentage of the sample bytes (counter
//   "summary %").
//
// Run: build/release/bench/peaks_bench (medians of five repetitions).

#include <benchmark/benchmark.h>

#include <memory>

#include "machineload.h"
#include "wave/file.h"

namespace {

constexpr uint32_t HourSamples = 44100u * 3600u; // 158,760,000 per channel
constexpr uint32_t Middle = HourSamples / 2;
constexpr uint32_t Second = 44100;
constexpr int Columns = 1900;

NSWave::TFile& Hour() {
    static std::unique_ptr<NSWave::TFile> doc = [] {
        auto d = std::make_unique<NSWave::TFile>(44100, 2, 2, 2);
        d->SetSize(HourSamples, 2);
        for (int c = 0; c < 2; ++c) {
            // Noise whose loudness changes every few thousand samples.
            int32_t* s = d->Channel(c).MutableSamples(0);
            for (uint32_t i = 0; i < HourSamples; ++i)
                s[i] = int32_t((i + uint32_t(c)) * 2654435761u) >> ((i >> 12) % 8);
        }
        return d;
    }();
    return *doc;
}

void FitView(benchmark::State& state, bool summary) {
    NSWave::TFile& doc = Hour();
    const double zoom = double(Columns) / HourSamples;
    for (int c = 0; c < 2; ++c)
        doc.Channel(c).Extremes(0, HourSamples - 1); // summary built
    for (auto _ : state) {
        for (int c = 0; c < 2; ++c) {
            const NSWave::TChannel& channel = doc.Channel(c);
            uint64_t first = 0;
            for (int x = 0; x < Columns; ++x) {
                // The column's first sample through the next column's first.
                const auto next = uint64_t((x + 1) / zoom);
                benchmark::DoNotOptimize(summary ? channel.Extremes(first, next)
                                                 : NSWave::PlainExtremes(channel, first, next));
                first = next;
            }
        }
    }
    const NSWave::TChannel& channel = doc.Channel(0);
    state.counters["summary %"] = 100.0 * double(channel.SummaryBytes()) / (channel.Count * 4.0);
}

// One second out of the middle of one channel, or back in: the summary
// moves the blocks behind the edit and summarises the ones around it.
void EditInTheMiddle(NSWave::TChannel& channel, bool& deleted) {
    const TSampleRange second(Middle, Middle + Second);
    if (deleted)
        channel.InsertGap(second);
    else
        channel.DeleteRange(second, true);
    deleted = !deleted;
}

void BM_RebuildAfterEdit(benchmark::State& state) {
    NSWave::TChannel& channel = Hour().Channel(0);
    channel.Extremes(0, channel.Count - 1);
    bool deleted = false;
    for (auto _ : state) {
        state.PauseTiming();
        EditInTheMiddle(channel, deleted);
        state.ResumeTiming();
        benchmark::DoNotOptimize(channel.Extremes(0, channel.Count - 1));
    }
    if (deleted)
        EditInTheMiddle(channel, deleted);
}

void BM_PlainPassBehindTheEdit(benchmark::State& state) {
    NSWave::TChannel& channel = Hour().Channel(0);
    bool deleted = false;
    for (auto _ : state) {
        state.PauseTiming();
        EditInTheMiddle(channel, deleted);
        state.ResumeTiming();
        benchmark::DoNotOptimize(NSWave::PlainExtremes(channel, Middle, channel.Count - 1));
    }
    if (deleted)
        EditInTheMiddle(channel, deleted);
}

BENCHMARK_CAPTURE(FitView, summary, true)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(FitView, plain_scan, false)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RebuildAfterEdit)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainPassBehindTheEdit)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintMachineLoad("after");
}
