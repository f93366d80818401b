// How fast playback starts and how much of the user-interface thread each
// refilled block costs, on the virtual sound card (no device latency in the
// figures). Goals: under 5 ms from Play to the first block at the card,
// under 0.1 ms per FillBlock. Recording: a filled block handled (written,
// flushed, now and then synced to the disk) well within its own duration.
//
// Run under scripts/with-sound-server, it first plays through the real
// sound path: from Play to the first sound the server's own recorder
// (`parec`, on the default sink's monitor) hears, next to the same recorder
// hearing the server's own player (`pacat`) start from its first byte; and
// how far the play cursor stands from what is heard. Goal: first sound
// within 50 ms of Play.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "machineload.h"
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

// The server's recorder on the default sink's monitor, read as it arrives.
class TServerEar {
public:
    explicit TServerEar(int rate) : Rate(rate) {
        Recorder.start("parec",
                       {"--device=@DEFAULT_MONITOR@", "--raw", "--format=s16le", "--channels=1",
                        "--rate=" + QString::number(rate), "--latency-msec=5"});
        Recorder.waitForStarted(10000);
    }
    ~TServerEar() {
        Recorder.terminate();
        Recorder.waitForFinished(10000);
    }
    // Reads what has come; returns the index (from the first sample ever
    // read) of the first sample louder than `threshold` in it, else -1.
    int64_t Listen(int threshold, int* value = nullptr) {
        const QByteArray bytes = Pending + Recorder.readAllStandardOutput();
        const int whole = int(bytes.size() / 2) * 2;
        Pending = bytes.mid(whole);
        int64_t found = -1;
        for (int i = 0; i < whole; i += 2) {
            const int v = int16_t(uint16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
            if (found < 0 && std::abs(v) > threshold) {
                found = Heard;
                if (value)
                    *value = v;
            }
            ++Heard;
        }
        return found;
    }
    // Waits until the server has been quiet for `ms` milliseconds.
    bool Quiet(int ms) {
        QDeadlineTimer deadline(10000);
        int64_t quietFrom = Heard;
        while (!deadline.hasExpired()) {
            Recorder.waitForReadyRead(20);
            QCoreApplication::processEvents();
            if (Listen(300) >= 0)
                quietFrom = Heard;
            if (Heard - quietFrom > int64_t(Rate) * ms / 1000)
                return true;
        }
        return false;
    }
    bool Running() const { return Recorder.state() == QProcess::Running; }
    QProcess Recorder;
    int64_t Heard = 0;
    int Rate;

private:
    QByteArray Pending;
};

double Median(std::vector<double> v) {
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Play to the first sound the server hears, each round after a quiet half
// second; next to it the server's own player starting from the first byte,
// and the play cursor against what is heard while the sound plays.
void MeasureFirstSoundThroughTheServer() {
    constexpr int Rate = 44100;
    constexpr int Rounds = 15;
    const char* server = std::getenv("PULSE_SERVER");
    if (!server) {
        std::printf("first sound through the sound server: skipped (no PULSE_SERVER; run under "
                    "scripts/with-sound-server)\n");
        return;
    }
    PrintMachineLoad("before the first-sound rounds");
    auto* before = NSAudio::TAudioBackend::Install(&NSAudio::PortAudioBackend());
    TFile doc(Rate, 2, 2, 1);
    doc.Channel(0).SetSize(Rate * 3);
    int32_t* s = doc.Channel(0).MutableSamples(0);
    // A ramp first, whose value says which sample it is (so the first heard
    // says how much of the start the server lost), then a tone.
    constexpr int RampFrom = 4000, RampFrames = 20000;
    for (int i = 0; i < Rate * 3; ++i)
        s[i] =
            (i < RampFrames ? RampFrom + i
                            : int32_t(std::lround(20000 * std::sin(2 * M_PI * 441.0 * i / Rate))))
            << 16;
    TPlayRecEngine engine(doc);
    TServerEar ear(Rate);
    if (!ear.Running()) {
        std::printf("first sound through the sound server: skipped (parec did not start)\n");
        NSAudio::TAudioBackend::Install(before);
        return;
    }
    std::vector<double> engineMs, serverMs, cursorMs, lostMs;
    // Opens PortAudio and the server's connection once, as the editor does
    // when its window asks for the volume.
    engine.GetVolume();
    for (int round = 0; round < Rounds; ++round) {
        // The engine.
        ear.Quiet(500);
        auto t0 = std::chrono::steady_clock::now();
        engine.Play(TSampleRange(0, doc.GetLength(), 0));
        int64_t first = -1;
        QDeadlineTimer deadline(5000);
        int value = 0;
        while (first < 0 && !deadline.hasExpired()) {
            ear.Recorder.waitForReadyRead(1);
            QCoreApplication::processEvents();
            first = ear.Listen(2000, &value);
        }
        const auto t1 = std::chrono::steady_clock::now();
        if (first < 0)
            break;
        engineMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        lostMs.push_back(double(value - RampFrom) * 1000.0 / Rate);
        // A second of listening: the cursor against the samples heard since
        // the first (each read ends at the newest sample heard).
        const auto until = t1 + std::chrono::seconds(1);
        std::vector<double> offsets;
        while (std::chrono::steady_clock::now() < until) {
            ear.Recorder.waitForReadyRead(5);
            QCoreApplication::processEvents();
            ear.Listen(2000);
            const double heardMs = double(ear.Heard - first) * 1000.0 / Rate;
            offsets.push_back(double(engine.ReportedPosition()) * 1000.0 / Rate - heardMs);
        }
        cursorMs.push_back(Median(offsets));
        engine.Stop();

        // The server's own player, the same sound.
        ear.Quiet(500);
        QProcess player;
        t0 = std::chrono::steady_clock::now();
        player.start("pacat", {"--raw", "--format=s16le", "--channels=1",
                               "--rate=" + QString::number(Rate), "--latency-msec=20"});
        player.waitForStarted(5000);
        std::vector<char> bytes(size_t(Rate) * 2);
        for (int i = 0; i < Rate; ++i) {
            const auto v = uint16_t(s[i] >> 16);
            bytes[size_t(2 * i)] = char(v & 0xFF);
            bytes[size_t(2 * i + 1)] = char(v >> 8);
        }
        player.write(bytes.data(), qint64(bytes.size()));
        first = -1;
        deadline = QDeadlineTimer(5000);
        while (first < 0 && !deadline.hasExpired()) {
            ear.Recorder.waitForReadyRead(1);
            QCoreApplication::processEvents();
            first = ear.Listen(2000);
        }
        if (first >= 0)
            serverMs.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                    .count());
        player.closeWriteChannel();
        player.kill();
        player.waitForFinished(5000);
    }
    std::printf("first sound through the sound server (median of %zu rounds): Play %.1f ms, "
                "the server's own player %.1f ms (ratio %.2f); play cursor minus what is heard "
                "%+.1f ms; start of the sound the monitor did not hear %.1f ms\n",
                engineMs.size(), Median(engineMs), Median(serverMs),
                Median(engineMs) / Median(serverMs), Median(cursorMs), Median(lostMs));
    PrintMachineLoad("after the first-sound rounds");
    NSAudio::TAudioBackend::Install(before);
}

} // namespace

int main(int argc, char** argv) {
    setenv("BRIMVALE_AUDIO", "virtual", 1);
    // The card moves on only as the benchmarks say.
    Card().Scripted = true;
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
    MeasureFirstSoundThroughTheServer();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(state);
    return 0;
}
