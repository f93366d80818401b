// Echo, vibro and rate conversion over a 10-minute 44.1 kHz stereo document,
// next to the sox command running the same library effect over the same
// samples (a raw file written here), so both sides use one library build.
//
// The sox side reads and writes files; ours works in memory and stages each
// channel's output in a temporary file, as the program does.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "machineload.h"
#include "wave/file.h"

namespace {

constexpr uint32_t Rate = 44100;
constexpr uint32_t Length = Rate * 600; // 26,460,000 per channel

NSWave::TFile& Document() {
    static std::unique_ptr<NSWave::TFile> doc = [] {
        auto d = std::make_unique<NSWave::TFile>(Rate, 2, 2, 2);
        d->SetSize(Length, 2);
        uint32_t noise = 1;
        for (int c = 0; c < 2; ++c) {
            int32_t* s = d->Channel(c).MutableSamples(0);
            for (uint32_t i = 0; i < Length; ++i) {
                noise = noise * 1664525u + 1013904223u;
                double tone = std::sin(i * (c ? 0.031 : 0.047));
                s[i] = int32_t(tone * (1 << 29)) + int32_t(noise >> 6);
            }
        }
        return d;
    }();
    return *doc;
}

std::string TmpPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/brimvale-bench-" + std::to_string(getpid()) +
           "-" + name;
}

// The document as interleaved raw signed 32-bit samples, written once.
const std::string& RawInput() {
    static std::string path = [] {
        std::string p = TmpPath("in.raw");
        auto& doc = Document();
        std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(p.c_str(), "wb"), std::fclose);
        std::vector<int32_t> frames(2 * 65536);
        for (uint32_t pos = 0; pos < Length; pos += 65536) {
            uint32_t n = std::min<uint32_t>(65536, Length - pos);
            for (uint32_t i = 0; i < n; ++i) {
                frames[2 * i] = doc.Channel(0).Samples[pos + i];
                frames[2 * i + 1] = doc.Channel(1).Samples[pos + i];
            }
            std::fwrite(frames.data(), 8, n, f.get());
        }
        std::atexit([] { std::remove(TmpPath("in.raw").c_str()); });
        return p;
    }();
    return path;
}

template <class F> double Seconds(F f) {
    auto t0 = std::chrono::steady_clock::now();
    f();
    PrintMachineLoad("after");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct TCase {
    const char* Name; // the program's effect
    const char* Args;
    int OutRate;
    const char* Sox; // the same effect on the sox command line
};

const TCase Cases[] = {
    {"echo", "1 0.5", 0, "echo 1 1 1000 0.5"},
    {"vibro", "8 0.5", 0, "tremolo 8 50"},
    {"resample", "", 48000, "rate 48000"},
};

void BM_Brimvale(benchmark::State& state, const TCase& c) {
    auto& doc = Document();
    for (auto _ : state) {
        NSWave::TFile copy(doc, TSampleRange(0, Length));
        state.SetIterationTime(Seconds([&] {
            if (c.OutRate)
                copy.SetRate(c.OutRate);
            else
                copy.ApplyEffect(TSampleRange(), c.Name, c.Args);
        }));
        benchmark::DoNotOptimize(copy.Channel(0).Samples[Length / 2]);
    }
}

void BM_SoxCommand(benchmark::State& state, const TCase& c) {
    const std::string out = TmpPath("out.raw");
    const std::string command =
        "sox -V1 -t s32 -r 44100 -c 2 " + RawInput() + " -t s32 " + out + " " + c.Sox;
    for (auto _ : state) {
        double t = Seconds([&] {
            if (std::system(command.c_str()) != 0)
                state.SkipWithError("the sox command failed");
        });
        state.SetIterationTime(t);
        std::remove(out.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    using TRun = void (*)(benchmark::State&, const TCase&);
    const std::pair<const char*, TRun> sides[] = {{"brimvale", BM_Brimvale},
                                                  {"sox", BM_SoxCommand}};
    for (const TCase& c : Cases)
        for (const auto& [side, run] : sides)
            benchmark::RegisterBenchmark((std::string(c.Name) + "/" + side).c_str(), run, c)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
