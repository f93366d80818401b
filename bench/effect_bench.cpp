// Echo, vibro and rate conversion over a 10-minute 44.1 kHz stereo document,
// next to the sox command running the same library effect over the same
// samples (a raw file written here), so both sides use one library build.
//
// The sox side reads and writes files; ours works in memory and stages each
// channel's output in a temporary file, as the program does. The pairs run
// interleaved and are reported as the median of their paired ratios.
//
// Run: build/release/bench/effect_bench [rounds]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
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
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct TCase {
    const char* Name; // the program's effect
    const char* Args;
    int OutRate;
    const char* Sox; // the same effect on the sox command line
};

const TCase Cases[] = {
    {"echo", "1 0.5", 0, "echo 1 1 1000 0.5"},
    {"vibro", "20 0.75", 0, "tremolo 20 75"},
    {"resample", "", 48000, "rate 48000"},
};

double RunBrimvale(const TCase& c) {
    NSWave::TFile copy(Document(), TSampleRange(0, Length));
    const double t = Seconds([&] {
        if (c.OutRate)
            copy.SetRate(c.OutRate);
        else
            copy.ApplyEffect(TSampleRange(), c.Name, c.Args);
    });
    volatile int32_t keep = copy.Channel(0).Samples[Length / 2];
    (void)keep;
    return t;
}

// Negative when the command failed.
double RunSox(const TCase& c) {
    const std::string out = TmpPath("out.raw");
    const std::string command =
        "sox -V1 -t s32 -r 44100 -c 2 " + RawInput() + " -t s32 " + out + " " + c.Sox;
    int rc = 0;
    const double t = Seconds([&] { rc = std::system(command.c_str()); });
    std::remove(out.c_str());
    return rc == 0 ? t : -1;
}

} // namespace

// Rounds per pair: the two sides alternate (A B A B ...), so a change in
// the machine's load falls on both alike, and each round's ratio is taken
// from its own pair.
constexpr int Rounds = 5;

int main(int argc, char** argv) {
    int rounds = Rounds;
    if (argc > 1)
        rounds = std::max(1, std::atoi(argv[1]));
    PrintMachineLoad("before");
    RawInput();
    std::printf("Ten minutes of 44.1 kHz stereo, %d interleaved rounds per pair; medians:\n",
                rounds);
    for (const TCase& c : Cases) {
        std::vector<double> ours, sox, ratios;
        for (int round = 0; round < rounds; ++round) {
            ours.push_back(RunBrimvale(c));
            sox.push_back(RunSox(c));
            if (sox.back() <= 0) {
                std::printf("  %-9s the sox command failed\n", c.Name);
                return 1;
            }
            ratios.push_back(ours.back() / sox.back());
        }
        std::printf("  %-9s brimvale %8.3f s   sox %8.3f s   paired ratio %5.2f (min %.2f, max "
                    "%.2f)\n",
                    c.Name, Median(ours), Median(sox), Median(ratios),
                    *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()));
        std::fflush(stdout);
    }
    PrintMachineLoad("after");
    return 0;
}
