// Memory and time of a replacement undo record over a one-hour 44.1 kHz
// stereo document: the record's construction (the copy of the range), the
// change, Undo and Redo. Peak resident memory is read from the kernel's
// high-water mark, which is reset before each phase.
//
// Run: build/release/bench/undo_bench
// The undo-size question is answered Yes by the program itself; the
// settings are read from a fresh empty directory, never the user's.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "machineload.h"
#include "platform/msgbox.h"
#include "undo/undo.h"
#include "wave/file.h"

namespace {

constexpr uint32_t HourSamples = 44100u * 3600u; // 158,760,000 per channel
constexpr double MB = 1024.0 * 1024.0;

class TAnswerYes : public TMessageBoxService {
public:
    int Show(const TMessageBoxRequest&) override { return IdYes; }
};

// Resident set and its high-water mark, in bytes.
long ProcStatus(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size()) * 1024;
    return -1;
}

bool ResetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return bool(out);
}

struct TPhase {
    double Seconds;
    double PeakMB;
};

template <class F> TPhase Measure(F f) {
    ResetPeak();
    auto t0 = std::chrono::steady_clock::now();
    f();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return {s, ProcStatus("VmHWM:") / MB};
}

void Report(const char* what, const TPhase& p, double documentMB) {
    std::printf("  %-34s %7.3f s   peak %8.1f MB   (document + %7.1f MB)\n", what, p.Seconds,
                p.PeakMB, p.PeakMB - documentMB);
}

void Run(const char* title, uint32_t tail) {
    NSWave::TFile doc(44100, 2, 2, 2);
    for (int c = 0; c < 2; ++c) {
        NSWave::TChannel& channel = doc.Channel(c);
        channel.SetSize(HourSamples, true);
        int32_t* s = channel.MutableSamples(0);
        for (uint32_t i = 0; i < HourSamples; ++i)
            s[i] = int32_t(i * 2654435761u);
    }
    NSUndo::TBareWindow window(doc);
    const double documentMB = ProcStatus("VmRSS:") / MB;
    const TSampleRange range(0, HourSamples + tail);
    std::printf("%s\n  document: 2 x %u samples, resident %.1f MB; record buffer %.1f MB\n", title,
                HourSamples, documentMB, double(doc.CountSamples(range)) * 4 / MB);

    NSUndo::TReplacement* record = nullptr;
    Report("record built (copy of the range)",
           Measure([&] { record = new NSUndo::TReplacement(window, range); }), documentMB);
    if (record->Outcome != NSUndo::TUndoBase::Ready) {
        std::printf("  the record is not ready\n");
        std::exit(1);
    }
    Report("change (gain 0.5)", Measure([&] { doc.Amplify(range, 0.5, 0.5); }), documentMB);
    for (int round = 1; round <= 2; ++round) {
        Report(round == 1 ? "Undo" : "Undo again", Measure([&] { record->Undo(window, nullptr); }),
               documentMB);
        Report(round == 1 ? "Redo" : "Redo again", Measure([&] { record->Redo(window, nullptr); }),
               documentMB);
    }
    Report("record freed", Measure([&] { delete record; }), documentMB);
}

} // namespace

int main() {
    PrintMachineLoad("before");
    char dir[] = "/tmp/undo_bench-XXXXXX";
    if (!mkdtemp(dir))
        return 1;
    setenv("BRIMVALE_CONFIG_DIR", dir, 1);
    TAnswerYes yes;
    TMessageBoxService::Install(&yes);
    if (!ResetPeak())
        std::printf("(the peak cannot be reset here: figures are the process's peak so far)\n");

    Run("Replacement over a whole one-hour stereo document", 0);
    Run("Replacement running one second past the end (an echo tail)", 44100);
    rmdir(dir);
    PrintMachineLoad("after");
    return 0;
}
