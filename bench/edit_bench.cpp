// Editing a one-hour 44.1 kHz stereo document through the document window,
// each figure next to a reference measured in the same run:
// - Cut, Undo (of the cut) and Paste of one second in the middle, against
//   the document's own operation alone (DeleteRange; InsertSilence with the
//   samples written back; Paste of the loaded second);
// - Reverse, Fade In and Amplitude over the whole sound (answered No at the
//   undo-size question, so the loop alone is timed; then keeping their undo
//   data, at the question and under a raised limit, with the peak memory of
//   each), against a memmove of the same bytes;
// - Copy of one minute to the clipboard, against the sox command writing
//   the same WAV file from the raw samples.
// Medians of five rounds. It needs about 2.6 GB of memory and writes about
// 21 MB to $TMPDIR (removed when done).
//
// Run: build/release/bench/edit_bench

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMdiArea>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "benchwindow.h"
#include "machineload.h"
#include "platform/msgbox.h"
#include "undo/history.h"
#include "undo/undo.h"
#include "util/tmpfile.h"
#include "wave/file.h"
#include "wavewin/commands.h"
#include "wavewin/wavewin.h"

extern char** environ;

using namespace NSWaveWin;

namespace {

constexpr uint32_t Rate = 44100;
constexpr uint32_t HourSamples = Rate * 3600u;
constexpr uint32_t Middle = HourSamples / 2;
constexpr int Rounds = 5;

class TAnswer : public TMessageBoxService {
public:
    int Show(const TMessageBoxRequest&) override { return Answer; }
    int Answer = IdNo;
};

double Seconds(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Report(const char* what, const std::vector<double>& measured, const char* reference,
            const std::vector<double>& ref, double goal) {
    const double m = Median(measured), r = Median(ref), ratio = m / r;
    std::printf("  %-34s %8.4f s   %-28s %8.4f s   ratio %5.2f (goal <= %.1f) %s\n", what, m,
                reference, r, ratio, goal, ratio <= goal ? "met" : "MISSED");
}

// Moves every sample of the document up by one: the bytes an in-place loop
// over the whole sound reads and writes.
void MemmoveAll(NSWave::TFile& doc) {
    for (int c = 0; c < doc.ChannelCount(); ++c) {
        NSWave::TChannel& ch = doc.Channel(c);
        int32_t* s = ch.MutableSamples(0);
        std::memmove(s + 1, s, size_t(ch.Count - 1) * sizeof(int32_t));
    }
}

// The process's resident high-water mark, reset by ResetPeakMemory.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

uint64_t PeakMemory() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoull(line.substr(6)) * 1024;
    return 0;
}

bool RunSox(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, "sox", nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    const std::string dir = SetUpWindowBench("edit_bench");
    if (dir.empty())
        return 1;
    QApplication app(argc, argv);
    TAnswer answer;
    TMessageBoxService::Install(&answer);

    QMdiArea area;
    TWaveWin* w = OpenFilledWindow(area, Rate, HourSamples, [](uint32_t i, int c) {
        return int32_t((i + uint32_t(c)) * 2654435761u) & int32_t(0xFFFF0000);
    });
    NSWave::TFile& doc = w->Document;
    std::printf("One hour of 44.1 kHz stereo (2 x %u samples, %.0f MB)\n", HourSamples,
                2.0 * HourSamples * 4 / 1048576);

    // --- one second in the middle --------------------------------------------
    const TSampleRange second(Middle, Middle + Rate);
    std::vector<double> cut, cutAlone, undo, undoAlone, paste, pasteAlone;
    std::vector<int32_t> saved(doc.CountSamples(second));
    NSWave::TFile material;
    {
        TTmpFile wav("wav");
        doc.Save(wav.GetFileName(), nullptr, "WAV", second);
        material.Load(wav.GetFileName());
    }
    for (int round = 0; round < Rounds; ++round) {
        w->SetSelection(second);
        cut.push_back(Seconds([&] { w->Command(CmdCut); }));
        undo.push_back(Seconds([&] { w->Command(CmdUndo); }));
        w->SetSelection(TSampleRange(Middle, Middle));
        paste.push_back(Seconds([&] { w->Command(CmdPaste); }));
        w->Command(CmdUndo);

        doc.CopyOut(second, saved.data());
        cutAlone.push_back(Seconds([&] { doc.DeleteRange(second, true); }));
        undoAlone.push_back(Seconds([&] {
            doc.InsertSilence(second);
            doc.CopyIn(second, saved.data());
        }));
        NSWave::TFile source(material, TSampleRange(0, material.GetLength()));
        pasteAlone.push_back(
            Seconds([&] { doc.Paste(source, TSampleRange(Middle, Middle, AllChannels)); }));
        doc.DeleteRange(second, true);
    }
    std::printf("One second in the middle, through the window and alone:\n");
    Report("Cut", cut, "DeleteRange", cutAlone, 1.5);
    Report("Undo of the cut", undo, "InsertSilence + CopyIn", undoAlone, 1.5);
    Report("Paste at a cursor", paste, "Paste of the loaded second", pasteAlone, 1.5);

    // --- whole-sound effects ---------------------------------------------------
    std::vector<double> reverse, fade, amplitude, moved;
    w->Command(CmdDeselect);
    for (int round = 0; round < Rounds; ++round) {
        answer.Answer = IdNo;
        reverse.push_back(Seconds([&] { w->Command(CmdReverse); }));
        fade.push_back(Seconds([&] { w->Command(CmdFadeIn); }));
        amplitude.push_back(Seconds([&] { w->ApplyAmplitude(150); }));
        moved.push_back(Seconds([&] { MemmoveAll(doc); }));
    }
    std::printf("The whole sound, without undo data, next to a memmove of the same bytes:\n");
    Report("Reverse", reverse, "memmove", moved, 2.0);
    Report("Fade In", fade, "memmove", moved, 2.0);
    Report("Amplitude 150%", amplitude, "memmove", moved, 2.0);
    // With their undo data: answered Yes at the question of the default
    // limit, then under a limit raised above the sound (no question). The
    // first round starts with an empty history; peak memory is the
    // high-water mark of each edit (reset before it) against the samples.
    const double sampleBytes = double(doc.CountSamples(TSampleRange(0, doc.GetLength())) * 4);
    answer.Answer = IdYes;
    for (const bool raised : {false, true}) {
        NSUndo::UndoMaxSizeSetting.Set(raised ? INT32_MAX : 1024);
        w->ForgetUndo();
        std::vector<double> times[3], memmoves;
        double peak[3] = {0, 0, 0}, held[3] = {0, 0, 0};
        const std::function<void()> edits[3] = {[&] { w->Command(CmdReverse); },
                                                [&] { w->Command(CmdFadeIn); },
                                                [&] { w->ApplyAmplitude(150); }};
        for (int round = 0; round < Rounds; ++round) {
            for (int e = 0; e < 3; ++e) {
                ResetPeakMemory();
                times[e].push_back(Seconds(edits[e]));
                peak[e] = std::max(peak[e], double(PeakMemory()) / sampleBytes);
                held[e] = double(w->UndoHistory().HeldBytes()) / 1048576;
            }
            memmoves.push_back(Seconds([&] { MemmoveAll(doc); }));
        }
        std::printf("The whole sound with undo data (%s), next to a memmove of the same bytes:\n",
                    raised ? "under a raised limit" : "answered Yes at the question");
        const char* names[3] = {"Reverse", "Fade In", "Amplitude 150%"};
        for (int e = 0; e < 3; ++e) {
            Report(names[e], times[e], "memmove", memmoves, 3.0);
            std::printf("    slowest %.4f s, peak memory %.2f x the samples, undo data %.0f MB\n",
                        *std::max_element(times[e].begin(), times[e].end()), peak[e], held[e]);
        }
    }
    NSUndo::UndoMaxSizeSetting.Set(1024);
    w->ForgetUndo();

    // --- one minute to the clipboard --------------------------------------------
    const TSampleRange minute(Middle, Middle + 60 * Rate);
    const std::string tmp = std::filesystem::temp_directory_path().string();
    const std::string raw = tmp + "/edit_bench-minute.raw";
    const std::string wav = tmp + "/edit_bench-minute.wav";
    {
        std::vector<int32_t> frames(size_t(minute.Length()) * 2);
        for (uint32_t i = 0; i < minute.Length(); ++i)
            for (int c = 0; c < 2; ++c)
                frames[2 * i + c] = doc.Channel(c).Samples[minute.Start + i];
        std::ofstream(raw, std::ios::binary)
            .write(reinterpret_cast<const char*>(frames.data()),
                   std::streamsize(frames.size() * sizeof(int32_t)));
    }
    std::vector<double> copy, sox;
    w->SetSelection(minute);
    for (int round = 0; round < Rounds; ++round) {
        copy.push_back(Seconds([&] { w->Command(CmdCopy); }));
        sox.push_back(Seconds([&] {
            if (!RunSox({"sox", "-D", "-t", "raw", "-r", "44100", "-c", "2", "-e", "signed", "-b",
                         "32", raw, "-b", "16", "-t", "wav", wav}))
                std::printf("  (the sox command failed)\n");
        }));
    }
    std::printf("One minute to the clipboard, next to the sox command writing the same WAV"
                " (%.1f MB):\n",
                double(std::filesystem::file_size(wav)) / 1048576);
    Report("Copy", copy, "sox raw -> WAV", sox, 1.3);
    std::filesystem::remove(raw);
    std::filesystem::remove(wav);

    w->SetModified(false);
    std::filesystem::remove_all(dir);
    PrintMachineLoad("after");
    return 0;
}
