// How fast playback starts and how much of the user-interface thread each
// refilled block costs, on the virtual sound card (no device latency in the
// figures). Goals: under 5 ms from Play to the first block at the card,
// under 0.1 ms per FillBlock.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>

#include "platform/audio_virtual.h"
#include "wave/device.h"
#include "wave/file.h"

using namespace NSWave;

namespace {

// Ten minutes of stereo at 44.1 kHz, 16 bits, with something in it.
TFile& Document() {
    static TFile* doc = [] {
        auto* d = new TFile(44100, 2, 2, 2);
        const uint32_t n = 44100u * 600u;
        d->SetSize(n, 2);
        for (int c = 0; c < 2; ++c) {
            int32_t* s = d->Channel(c).MutableSamples(0);
            for (uint32_t i = 0; i < n; ++i)
                s[i] = int32_t((i * 2654435761u) ^ uint32_t(c)) >> 1;
        }
        return d;
    }();
    return *doc;
}

NSAudio::TVirtualCard& Card() {
    return NSAudio::TVirtualCard::Instance();
}

// From the call to Play until the card holds the first block; also the whole
// Play, which primes all 32 blocks.
void BM_PlayToFirstBlock(benchmark::State& state) {
    TFile& doc = Document();
    const TSampleRange range(0, doc.GetLength(), int(state.range(0)));
    double wholePlayUs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        doc.Play(range);
        auto primed = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(Card().FirstQueued - start).count());
        wholePlayUs += std::chrono::duration<double, std::micro>(primed - start).count();
        state.PauseTiming();
        doc.Stop();
        Card().Played.clear();
        // What the event loop does between user actions: Qt tidies its list
        // of posted events only when it delivers them all.
        QCoreApplication::sendPostedEvents();
        state.ResumeTiming();
    }
    state.counters["whole_play_us"] =
        benchmark::Counter(wholePlayUs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PlayToFirstBlock)
    ->Arg(0)
    ->Arg(AllChannels)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// One returned block refilled and queued again: FillBlock through the hook.
void BM_FillBlock(benchmark::State& state) {
    TFile& doc = Document();
    const TSampleRange range(0, doc.GetLength(), int(state.range(0)));
    doc.Play(range);
    for (auto _ : state) {
        if (doc.DeviceState != TDeviceState::Playing) {
            state.PauseTiming();
            doc.Play(range);
            state.ResumeTiming();
        }
        Card().PlayBlocks(1);
        TWaveHook::Instance().ProcessWaiting();
        if (Card().Played.size() > (1u << 24)) {
            state.PauseTiming();
            Card().Played.clear();
            QCoreApplication::sendPostedEvents();
            state.ResumeTiming();
        }
    }
    doc.Stop();
}
BENCHMARK(BM_FillBlock)->Arg(0)->Arg(AllChannels)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("BRIMVALE_AUDIO", "virtual", 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
