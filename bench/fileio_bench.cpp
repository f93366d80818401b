// Loading and saving a one-hour 44.1 kHz stereo 16-bit WAV, next to the
// sox command decoding it alone and copying it, and next to the floor every
// in-memory editor pays: allocating and first writing the document's samples.
//
// Each measured load runs in a fresh child process, so fresh memory is
// faulted in as it would be for a user, and the child's peak resident size
// is the load's own.
//
// The contenders take turns within each round, and each round's load and
// save are divided by that round's sox decode and copy: the median of these
// paired ratios is the figure to compare, as load from the rest of the
// machine falls on both sides of each ratio alike.
//
// Usage: fileio_bench [work directory] [rounds] (default: $TMPDIR or /tmp, 9)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "machineload.h"
#include "util/xmsg.h"
#include "wave/file.h"

namespace {

constexpr uint32_t HourFrames = 44100u * 3600u;
int Runs = 9;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct TResult {
    double Seconds = 0;
    double UserSeconds = 0; // processor time outside the kernel
    double PeakMB = 0;
};

// Processor time this process and its waited-for children spent outside
// the kernel.
double UserTime() {
    double t = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        struct rusage u = {};
        getrusage(who, &u);
        t += double(u.ru_utime.tv_sec) + double(u.ru_utime.tv_usec) / 1e6;
    }
    return t;
}

// Where the measured part of a child's work begins (by default, its start).
struct TClock {
    double Wall = Now(), User = UserTime();
    void Restart() { *this = TClock(); }
};

// Runs `work` in a child process and returns its time and peak memory.
TResult InChild(const std::function<void(TClock&)>& work) {
    int pipes[2];
    if (pipe(pipes) != 0)
        std::exit(1);
    pid_t pid = fork();
    if (pid == 0) {
        close(pipes[0]);
        TClock clock;
        try {
            work(clock);
        } catch (const xmsg& e) {
            std::fprintf(stderr, "failed: %s\n", e.why().c_str());
            _exit(1);
        }
        double t[2] = {Now() - clock.Wall, UserTime() - clock.User};
        if (write(pipes[1], t, sizeof t) != sizeof t)
            _exit(1);
        _exit(0);
    }
    close(pipes[1]);
    TResult r;
    double t[2] = {-1, -1};
    if (read(pipes[0], t, sizeof t) != sizeof t)
        t[0] = t[1] = -1;
    r.Seconds = t[0];
    r.UserSeconds = t[1];
    close(pipes[0]);
    int status = 0;
    struct rusage usage = {};
    wait4(pid, &status, 0, &usage);
    r.PeakMB = usage.ru_maxrss / 1024.0;
    return r;
}

// The command's own peak memory is not the child's, so none is reported.
TResult Command(const std::string& command) {
    TResult r = InChild([&](TClock&) {
        if (std::system(command.c_str()) != 0)
            throw xmsg("command failed: " + command);
    });
    r.PeakMB = 0;
    return r;
}

TResult Median(std::vector<TResult> results) {
    std::sort(results.begin(), results.end(),
              [](const TResult& a, const TResult& b) { return a.Seconds < b.Seconds; });
    return results[Runs / 2];
}

double MedianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The median, lowest and highest of the round-by-round ratios a[i] / b[i].
void PrintPaired(const char* what, const std::vector<TResult>& a, const std::vector<TResult>& b) {
    std::vector<double> ratios;
    for (size_t i = 0; i < a.size(); ++i)
        ratios.push_back(a[i].Seconds / b[i].Seconds);
    std::printf("%-40s median %.2fx  (lowest %.2fx, highest %.2fx; %zu rounds)\n", what,
                MedianOf(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), ratios.size());
    std::fflush(stdout);
}

void Print(const char* what, const TResult& r, const TResult* reference = nullptr) {
    std::printf("%-40s %7.3f s", what, r.Seconds);
    if (reference)
        std::printf(" (%.2fx)", r.Seconds / reference->Seconds);
    std::printf("  user %.3f s", r.UserSeconds);
    if (reference && reference->UserSeconds > 0)
        std::printf(" (%.2fx)", r.UserSeconds / reference->UserSeconds);
    if (r.PeakMB > 0)
        std::printf("  peak %.0f MB", r.PeakMB);
    std::printf("\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = argc > 1 ? argv[1] : tmp ? tmp : "/tmp";
    if (argc > 2)
        Runs = std::max(1, std::atoi(argv[2]));
    dir += "/brimvale-fileio-bench";
    std::filesystem::create_directories(dir);
    const std::string in = dir + "/in.wav", out = dir + "/out.wav", ours = dir + "/ours.wav";

    if (!std::filesystem::exists(in)) {
        std::printf("making %s (one hour, 44.1 kHz stereo 16-bit)...\n", in.c_str());
        std::fflush(stdout);
        if (std::system(("sox -n -r 44100 -c 2 -b 16 '" + in + "' synth 3600 whitenoise vol 0.5")
                            .c_str()) != 0)
            return 1;
    }
    // Read it once so every contender finds it in the page cache.
    Command("cat '" + in + "' > /dev/null");
    PrintMachineLoad("before");
    const double documentMB = 2.0 * HourFrames * sizeof(int32_t) / (1024 * 1024);
    std::printf("document samples: %.0f MB; median of %d runs\n", documentMB, Runs);

    // The contenders take turns, so load from the rest of the machine falls
    // on all of them alike.
    std::vector<TResult> decodes, copies, floors, loads, saves;
    for (int run = 0; run < Runs; ++run) {
        decodes.push_back(Command("sox -V1 '" + in + "' -n"));
        copies.push_back(Command("sox -V1 '" + in + "' '" + out + "'"));
        floors.push_back(InChild([](TClock&) {
            NSWave::TFile doc(44100, 2, 2, 2);
            doc.SetSize(HourFrames, 2);
            for (int c = 0; c < 2; ++c)
                std::memset(doc.Channel(c).MutableSamples(0), 1,
                            size_t(HourFrames) * sizeof(int32_t));
        }));
        loads.push_back(InChild([&](TClock&) {
            NSWave::TFile doc;
            doc.Load(in);
            if (doc.GetLength() != HourFrames)
                throw xmsg("short load");
        }));
        // The save runs on a loaded document; only the save is timed.
        TResult save = InChild([&](TClock& clock) {
            NSWave::TFile doc;
            doc.Load(in);
            clock.Restart();
            doc.Save(ours);
        });
        save.PeakMB = 0;
        saves.push_back(save);
    }
    const TResult decode = Median(decodes), copy = Median(copies), load = Median(loads);
    Print("sox in.wav -n (decode alone)", decode);
    Print("sox in.wav out.wav (copy)", copy);
    // The floor says something only where it is below the load.
    if (Median(floors).Seconds < load.Seconds)
        Print("first write of the document's samples", Median(floors), &decode);
    Print("TFile::Load", load, &decode);
    std::printf("%-44s %8.2fx the document's sample bytes\n", "peak memory during the load",
                load.PeakMB / documentMB);
    Print("TFile::Save", Median(saves), &copy);
    PrintPaired("paired: TFile::Load / sox decode", loads, decodes);
    PrintPaired("paired: TFile::Save / sox copy", saves, copies);

    PrintMachineLoad("after");
    std::filesystem::remove(out);
    std::filesystem::remove(ours);
    std::printf("(the input stays in %s for the next run)\n", in.c_str());
    return 0;
}
