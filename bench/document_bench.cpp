// Edits in the middle of a one-hour 44.1 kHz stereo document, next to a
// plain memmove of the bytes each edit has to move.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "machineload.h"
#include "wave/file.h"

namespace {

constexpr uint32_t HourSamples = 44100u * 3600u; // 158,760,000 per channel
constexpr uint32_t Middle = HourSamples / 2;
constexpr uint32_t Second = 44100;

NSWave::TFile& Hour() {
    static std::unique_ptr<NSWave::TFile> doc = [] {
        auto d = std::make_unique<NSWave::TFile>(44100, 2, 2, 2);
        d->SetSize(HourSamples, 2);
        for (int c = 0; c < 2; ++c) {
            int32_t* s = d->Channel(c).MutableSamples(0);
            for (uint32_t i = 0; i < HourSamples; i += 1024)
                s[i] = int32_t(i);
        }
        return d;
    }();
    return *doc;
}

template <class F> double Seconds(F f) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void BM_Memmove(benchmark::State& state) {
    // The bytes a middle edit moves: the second half of both channels.
    const size_t bytes = size_t(HourSamples - Middle) * sizeof(int32_t);
    auto& doc = Hour();
    for (auto _ : state) {
        double t = 0;
        for (int c = 0; c < 2; ++c) {
            int32_t* s = doc.Channel(c).MutableSamples(0);
            t +=
                Seconds([&] { std::memmove(s + Middle, s + Middle + Second, bytes - Second * 4); });
            t +=
                Seconds([&] { std::memmove(s + Middle + Second, s + Middle, bytes - Second * 4); });
        }
        state.SetIterationTime(t / 2);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 2 * int64_t(bytes));
}

void BM_DeleteRange(benchmark::State& state) {
    auto& doc = Hour();
    const TSampleRange second(Middle, Middle + Second);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { doc.DeleteRange(second, true); }));
        doc.InsertSilence(second);
    }
}

void BM_InsertSilence(benchmark::State& state) {
    auto& doc = Hour();
    const TSampleRange second(Middle, Middle + Second);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { doc.InsertSilence(second); }));
        doc.DeleteRange(second, true);
    }
}

void BM_Paste(benchmark::State& state) {
    auto& doc = Hour();
    NSWave::TFile clip(44100, 2, 2, 2);
    clip.SetSize(Second, 2);
    for (auto _ : state) {
        NSWave::TFile source(clip, TSampleRange(0, Second));
        TSampleRange at(Middle, Middle);
        TSampleRange result;
        state.SetIterationTime(Seconds([&] { result = doc.Paste(source, at); }));
        doc.DeleteRange(result, true);
    }
}

// Allocating and first writing the samples of a one-hour stereo document.
void BM_FirstTouch(benchmark::State& state) {
    for (auto _ : state) {
        NSWave::TFile doc(44100, 2, 2, 2);
        state.SetIterationTime(Seconds([&] {
            for (int c = 0; c < 2; ++c) {
                doc.Channel(c).SetSize(HourSamples, true);
                std::memset(doc.Channel(c).MutableSamples(0), 1, size_t(HourSamples) * 4);
            }
        }));
    }
}

BENCHMARK(BM_FirstTouch)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Memmove)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_DeleteRange)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_InsertSilence)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Paste)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintMachineLoad("after");
}
