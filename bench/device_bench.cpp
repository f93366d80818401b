// How fast playback starts and how much of the user-interface thread each
// refilled block costs, on the virtual sound card (no device latency in the
// figures). Goals: under 5 ms from Play to the first block at the card,
// under 0.1 ms per FillBlock. Recording: a filled block handled (written,
// flushed, now and then synced to the disk) well within its own duration.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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
    TPlayRecEngine engine(doc);
    const TSampleRange range(0, doc.GetLength(), int(state.range(0)));
    double wholePlayUs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        engine.Play(range);
        auto primed = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(Card().FirstQueued - start).count());
        wholePlayUs += std::chrono::duration<double, std::micro>(primed - start).count();
        state.PauseTiming();
        engine.Stop();
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
    TPlayRecEngine engine(doc);
    const TSampleRange range(0, doc.GetLength(), int(state.range(0)));
    engine.Play(range);
    for (auto _ : state) {
        if (engine.State() != TDeviceState::Playing) {
            state.PauseTiming();
            engine.Play(range);
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
    engine.Stop();
}
BENCHMARK(BM_FillBlock)->Arg(0)->Arg(AllChannels)->Unit(benchmark::kMicrosecond);

// One filled input block of a 44.1 kHz 16-bit recording handled: written to
// the capture file and flushed out of the program, and about once a second
// of sound pushed to the disk, so a crash loses nothing that reached the
// program. Next to it, the reference: the same bytes written with the C
// library's buffering alone. Also reported: the worst block, and the
// handling's share of the block's own duration (46 ms).
void BM_RecordBlock(benchmark::State& state) {
    TFile doc(44100, 2, 2, 1);
    TPlayRecEngine engine(doc);
    Card().SourceTone(440, 12000);
    engine.Record();
    double worstUs = 0, totalUs = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        Card().Capture(2048);
        TWaveHook::Instance().ProcessWaiting();
        const double us =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count();
        worstUs = std::max(worstUs, us);
        totalUs += us;
    }
    engine.Stop();
    state.counters["worst_us"] = worstUs;
    state.counters["share_of_block"] =
        totalUs / double(std::max<int64_t>(1, state.iterations())) / (2048.0 / 44100.0 * 1e6);
}
BENCHMARK(BM_RecordBlock)->Iterations(3000)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_RecordBlockReference(benchmark::State& state) {
    const std::string name = std::string(std::getenv("XDG_STATE_HOME")) + "/reference.sw";
    std::FILE* file = std::fopen(name.c_str(), "wb");
    std::vector<uint8_t> block(4096, 1);
    for (auto _ : state)
        std::fwrite(block.data(), 1, block.size(), file);
    std::fclose(file);
    std::remove(name.c_str());
}
BENCHMARK(BM_RecordBlockReference)->Iterations(3000)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("BRIMVALE_AUDIO", "virtual", 1);
    // Recordings go to the disk they go to in use, but into a folder of the
    // benchmark's own beside the user's recordings, where no start looks.
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    const std::filesystem::path base =
        stateHome && stateHome[0] == '/'
            ? std::filesystem::path(stateHome)
            : std::filesystem::path(home ? home : "/tmp") / ".local" / "state";
    std::filesystem::create_directories(base);
    std::string state = (base / "brimvale-bench-XXXXXX").string();
    if (!mkdtemp(state.data()))
        return 1;
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(state);
    return 0;
}
