// The whole program on a one-hour 44.1 kHz stereo 16-bit WAV, the way a user
// drives it: the main frame and its document window drawn offscreen, every
// command sent as its key (or, without one, as its menu item's trigger), and
// the clock stopped once both channel views have painted the result:
// - Open (Ctrl+O, the file chosen), until the whole waveform is painted;
// - Select All + Delete (Ctrl+A, Delete), Undo (Ctrl+Z);
// - Backwards, Fade In, and Amplitude (its dialog filled with 150 % and
//   confirmed), over the whole sound.
// Beside each, the same work through the document alone (the load; the undo
// record the window builds, then the document's own change, Backwards with
// the window's loop), and as the reference a memmove of the sound's sample
// bytes and `sox f.wav -n` (sox reading the same file). Window, document and
// references alternate round by round; medians, and each round's window
// figure with the number of channel-view paints it took. Peak resident
// memory is given as a multiple of the sound's sample bytes in memory, for
// the window's round and the document's round apart.
//
// "Painted" means: each channel view of the window painted once after the
// window announced the change, while the document holds the expected length
// (for Open: the whole hour, in the window bearing the file's name).
//
// Two passes, each a fresh process of its own: first with the program's
// default undo-size limit, the question answered Yes (keep undo data); then
// with the limit raised so that no question is asked.
//
// It needs about 4 GB of memory and writes a 635 MB WAV to $TMPDIR (removed
// when done).
//
// Run: build/release/bench/endtoend_bench [rounds] (3 by default)

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "benchwindow.h"
#include "dlg/stddlg.h"
#include "machineload.h"
#include "platform/filedlg.h"
#include "platform/msgbox.h"
#include "shell/app.h"
#include "undo/undo.h"
#include "util/settings.h"
#include "wave/file.h"
#include "wavewin/ampdlg.h"
#include "wavewin/chanwin.h"
#include "wavewin/commands.h"
#include "wavewin/wavewin.h"

extern char** environ;

using namespace NSWaveWin;

namespace {

constexpr uint32_t Rate = 44100;
constexpr uint32_t HourFrames = Rate * 3600u;
// The sound's samples in memory: two channels of 32-bit samples.
constexpr double SampleBytes = 2.0 * HourFrames * sizeof(int32_t);
constexpr int AmplitudePercent = 150;
// A result that never reaches the screen ends the run instead of hanging.
constexpr int StuckMs = 120000;
// The pass's own settings folder, removed however the pass ends.
std::string SettingsFolder;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Seconds(const std::function<void()>& f) {
    const double t0 = Now();
    f();
    return Now() - t0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A value of /proc/self/status in bytes ("VmHWM", "VmRSS").
double StatusBytes(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::atof(line.c_str() + n + 1) * 1024.0;
    return 0;
}

// Starts the peak resident size afresh, so that one stretch of the run can
// be measured on its own; false when the kernel does not allow it.
bool ResetPeak() {
    std::ofstream out("/proc/self/clear_refs");
    out << "5";
    out.flush();
    return bool(out);
}

// The user's answers: Yes at the undo-size question, counted; anything else
// is unexpected here and is said on standard error.
class TAnswers : public TMessageBoxService {
public:
    int Show(const TMessageBoxRequest& request) override {
        if (request.Text.find("excessive amount of 'undo' data") != std::string::npos) {
            ++UndoQuestions;
            return IdYes;
        }
        ++Unexpected;
        std::fprintf(stderr, "unexpected message: %s\n", request.Text.c_str());
        return IdNo;
    }
    int UndoQuestions = 0;
    int Unexpected = 0;
};

// The user's choice in the Open dialog.
class TChoice : public TFileDialogService {
public:
    std::string Run(TFileDialogRequest&) override { return Path; }
    std::string Path;
};

// Waits for the channel views of a window to paint a result: each view must
// paint once while `Ready` holds for its window, after the window announced
// a change of its document (for a window that exists when armed).
class TPaintWatch : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* view =
            Armed && event->type() == QEvent::Paint ? dynamic_cast<TChannelWin*>(object) : nullptr;
        if (view) {
            ++Paints;
            if ((!Window || (view->Owner == Window && Announced)) && Ready(*view->Owner)) {
                Target = view->Owner;
                Painted.insert(view);
            }
        }
        return false;
    }

    void Arm(TWaveWin* window, std::function<bool(TWaveWin&)> ready) {
        Window = window;
        Target = nullptr;
        Ready = std::move(ready);
        Painted.clear();
        Announced = false;
        Paints = 0;
        if (window)
            Connection = connect(window, &TWaveWin::DocumentChanged, this,
                                 [this](const TDocumentChange&) { Announced = true; });
        Armed = true;
    }

    bool Done() const {
        if (!Target)
            return false;
        for (TChannelWin* view : Target->Views())
            if (!Painted.count(view))
                return false;
        return true;
    }

    // Sends the command, then runs the event loop until the result is
    // painted; the seconds from the send until then.
    double Time(TWaveWin* window, const std::function<void()>& send,
                std::function<bool(TWaveWin&)> ready, const char* what) {
        Arm(window, std::move(ready));
        QTimer stuck;
        stuck.setSingleShot(true);
        QObject::connect(&stuck, &QTimer::timeout, [what] {
            std::fprintf(stderr, "%s: the result was not painted\n", what);
            std::filesystem::remove_all(SettingsFolder);
            std::exit(1);
        });
        stuck.start(StuckMs);
        const double t0 = Now();
        send();
        while (!Done())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double t = Now() - t0;
        Armed = false;
        disconnect(Connection);
        return t;
    }

    TWaveWin* Target = nullptr;
    // The channel views' paints since the command was sent, the result's
    // among them.
    int Paints = 0;

private:
    bool Armed = false;
    bool Announced = false;
    TWaveWin* Window = nullptr;
    std::function<bool(TWaveWin&)> Ready;
    std::set<const TChannelWin*> Painted;
    QMetaObject::Connection Connection;
};

// Moves every sample of the document up by one: the bytes a change in place
// over the whole sound reads and writes.
void MemmoveAll(NSWave::TFile& doc) {
    for (int c = 0; c < doc.ChannelCount(); ++c) {
        NSWave::TChannel& ch = doc.Channel(c);
        int32_t* s = ch.MutableSamples(0);
        std::memmove(s + 1, s, size_t(ch.Count - 1) * sizeof(int32_t));
    }
}

// Backwards over the whole sound with the loop of the window's command:
// blocks from both ends swapped in turn (there, a progress report follows
// each block).
void ReverseAll(NSWave::TFile& doc) {
    constexpr uint32_t Block = 1u << 16;
    for (int c = 0; c < doc.ChannelCount(); ++c) {
        NSWave::TChannel& ch = doc.Channel(c);
        int32_t* low = ch.MutableSamples(0);
        int32_t* high = low + ch.Count;
        const uint32_t half = ch.Count / 2;
        for (uint32_t i = 0; i < half; i += Block) {
            const uint32_t count = std::min(Block, half - i);
            std::swap_ranges(low + i, low + i + count, std::reverse_iterator<int32_t*>(high - i));
        }
        ch.Changed(0);
    }
}

struct TFigures {
    std::vector<double> Window, Alone;
    // The channel views' paints during each window run.
    std::vector<double> Paints;
};

enum { Open, Delete, Undo, Reverse, FadeIn, Amplitude, Operations };
const char* const Names[Operations] = {"Open",    "Select All + Delete", "Undo", "Reverse",
                                       "Fade In", "Amplitude 150 %"};

void PressOk(TStdDlg& dialog) {
    if (auto* edit = qobject_cast<QLineEdit*>(dialog.Control(2529)))
        edit->setText(QString::number(AmplitudePercent));
    if (auto* ok = qobject_cast<QAbstractButton*>(dialog.Control(1)))
        ok->click();
}

// One pass: `rounds` rounds of the window, the document alone and the
// references, in turns.
int Pass(const std::string& path, int rounds, bool raised) {
    const std::string settings = SettingsFolder = SetUpWindowBench("endtoend_bench");
    if (settings.empty())
        return 1;
    if (raised) {
        TValueSetting limit("Undo\\MaxSize", 1024);
        limit.Set(INT32_MAX);
    }
    int argc = 1;
    char name[] = "brimvale";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    TAnswers answers;
    TMessageBoxService::Install(&answers);
    TChoice choice;
    choice.Path = path;
    TFileDialogService::Install(&choice);
    TPaintWatch watch;
    application.installEventFilter(&watch);

    TApp app(TAppOptions{0});
    app.Start({});
    TAppFrame* frame = app.Frame();
    frame->resize(1600, 900);
    frame->activateWindow();
    if (!QTest::qWaitForWindowActive(frame))
        std::printf("  (the frame did not become active: keys may not reach it)\n");
    // The untitled start-up document goes: every round opens a new window.
    for (TWaveWin* w : std::vector<TWaveWin*>(TWaveWin::Windows())) {
        w->SetModified(false);
        w->CmClose();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();

    TFigures figures[Operations];
    std::vector<double> moved, sox;
    double windowPeak = 0, alonePeak = 0;
    const bool peaks = ResetPeak();
    auto key = [frame](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(frame, k, m);
    };
    auto menu = [frame](int id) {
        QAction* action = frame->Action(id);
        frame->UpdateActions();
        if (!action || !action->isEnabled())
            std::fprintf(stderr, "menu item %d is not enabled\n", id);
        else
            action->trigger();
    };

    auto timed = [&](int op, TWaveWin* window, const std::function<void()>& send,
                     std::function<bool(TWaveWin&)> ready) {
        // A closed dialog or window may leave no window active, and the
        // frame's keys work only in the active one: a user would click it.
        if (QApplication::activeWindow() != frame) {
            frame->activateWindow();
            if (!QTest::qWaitForWindowActive(frame))
                std::printf("  (the frame did not become active: keys may not reach it)\n");
        }
        figures[op].Window.push_back(watch.Time(window, send, std::move(ready), Names[op]));
        figures[op].Paints.push_back(watch.Paints);
    };

    for (int round = 0; round < rounds; ++round) {
        // --- through the window -----------------------------------------------
        ResetPeak();
        const auto whole = [](TWaveWin& w) { return w.Document.GetLength() == HourFrames; };
        timed(
            Open, nullptr, [&] { key(Qt::Key_O, Qt::ControlModifier); },
            [&](TWaveWin& w) { return w.File() == path && whole(w); });
        TWaveWin* w = watch.Target;
        timed(
            Delete, w,
            [&] {
                key(Qt::Key_A, Qt::ControlModifier);
                key(Qt::Key_Delete);
            },
            [](TWaveWin& w) { return w.Document.GetLength() == 0; });
        timed(
            Undo, w, [&] { key(Qt::Key_Z, Qt::ControlModifier); }, whole);
        if (round == 0 && w->EffectiveRange() != TSampleRange(0, HourFrames))
            std::printf("  (the effects do not cover the whole sound)\n");
        const int32_t last = w->Document.Channel(0).Samples[HourFrames - 1];
        timed(
            Reverse, w, [&] { menu(CmdReverse); }, whole);
        if (w->Document.Channel(0).Samples[0] != last)
            std::printf("  (Backwards did not reverse the sound)\n");
        timed(
            FadeIn, w, [&] { menu(CmdFadeIn); }, whole);
        timed(
            Amplitude, w,
            [&] {
                QTimer::singleShot(0, [] {
                    if (auto* dialog = dynamic_cast<TAmpDlg*>(QApplication::activeModalWidget()))
                        PressOk(*dialog);
                    else
                        std::fprintf(stderr, "Amplitude opened no dialog\n");
                });
                menu(CmdAmplitude);
            },
            whole);
        windowPeak = std::max(windowPeak, StatusBytes("VmHWM"));
        w->SetModified(false);
        w->CmClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();

        // --- the document alone, and the references -----------------------------
        ResetPeak();
        sox.push_back(Seconds([&] {
            if (!Run({"sox", path, "-n"}))
                std::printf("  (the sox command failed)\n");
        }));
        auto doc = std::make_unique<NSWave::TFile>();
        figures[Open].Alone.push_back(Seconds([&] { doc->Load(path); }));
        moved.push_back(Seconds([&] { MemmoveAll(*doc); }));
        NSUndo::TBareWindow bare(*doc);
        const TSampleRange all(0, doc->GetLength());
        std::unique_ptr<NSUndo::TUndoBase> record;
        figures[Delete].Alone.push_back(Seconds([&] {
            record = std::make_unique<NSUndo::TDeletion>(bare, all);
            doc->DeleteRange(all, true);
        }));
        figures[Undo].Alone.push_back(Seconds([&] { record->Undo(bare, nullptr); }));
        record.reset();
        moved.push_back(Seconds([&] { MemmoveAll(*doc); }));
        auto inPlace = [&](const std::function<void()>& change) {
            const double t = Seconds([&] {
                record = std::make_unique<NSUndo::TReplacement>(bare, all);
                doc->Extend(all);
                change();
            });
            record.reset();
            return t;
        };
        figures[Reverse].Alone.push_back(inPlace([&] { ReverseAll(*doc); }));
        figures[FadeIn].Alone.push_back(inPlace([&] { doc->Amplify(all, 0.0, 1.0); }));
        const double factor = AmplitudePercent * 0.01;
        figures[Amplitude].Alone.push_back(inPlace([&] { doc->Amplify(all, factor, factor); }));
        moved.push_back(Seconds([&] { MemmoveAll(*doc); }));
        doc.reset();
        alonePeak = std::max(alonePeak, StatusBytes("VmHWM"));
    }

    const double m = Median(moved), s = Median(sox);
    std::printf("\n%s: %d undo-size questions answered Yes, %d other messages\n",
                raised ? "Undo-size limit raised (no question)"
                       : "Default undo-size limit, the question answered Yes (keep undo data)",
                answers.UndoQuestions, answers.Unexpected);
    std::printf("  references: memmove of the sample bytes %.3f s, sox f.wav -n %.3f s\n", m, s);
    std::printf("  %-20s %9s %9s %9s %9s %9s %9s   %s\n", "medians", "window", "alone", "w/memmove",
                "w/sox", "w/alone", "a/memmove", "goal");
    for (int op = 0; op < Operations; ++op) {
        const double wt = Median(figures[op].Window), at = Median(figures[op].Alone);
        const bool open = op == Open;
        const double ratio = open ? wt / s : wt / m, goal = open ? 1.3 : 3.0;
        std::printf("  %-20s %8.3fs %8.3fs %9.2f %9.2f %9.2f %9.2f   %s <= %.1f: %s\n", Names[op],
                    wt, at, wt / m, wt / s, wt / at, at / m, open ? "window/sox" : "window/memmove",
                    goal, ratio <= goal ? "met" : "MISSED");
    }
    std::printf("  window per round, s (channel-view paints):\n");
    for (int op = 0; op < Operations; ++op) {
        std::printf("    %-20s", Names[op]);
        for (size_t i = 0; i < figures[op].Window.size(); ++i)
            std::printf(" %7.3f (%2.0f)", figures[op].Window[i], figures[op].Paints[i]);
        std::printf("\n");
    }
    if (peaks)
        std::printf("  peak resident memory: window %.2f x the sample bytes, alone %.2f x"
                    " (%.0f MB of samples)\n",
                    windowPeak / SampleBytes, alonePeak / SampleBytes, SampleBytes / 1048576);
    else
        std::printf("  peak resident memory of the whole pass: %.2f x the sample bytes\n",
                    StatusBytes("VmHWM") / SampleBytes);
    std::fflush(stdout);
    TFileDialogService::Install(nullptr);
    TMessageBoxService::Install(nullptr);
    std::filesystem::remove_all(settings);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--pass") == 0)
        return Pass(argv[3], std::max(1, std::atoi(argv[4])), std::strcmp(argv[2], "raised") == 0);

    PrintMachineLoad("before");
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/endtoend_bench-" +
                             std::to_string(getpid()) + ".wav";
    // Noise on the left, a tone on the right: the waveform has something to
    // draw at every zoom.
    if (!Run({"sox", "-q", "-n", "-r", "44100", "-c", "2", "-b", "16", "-e", "signed-integer", path,
              "synth", "3600", "whitenoise", "sine", "440", "vol", "0.5"})) {
        std::fprintf(stderr, "sox could not make the test sound\n");
        return 1;
    }
    std::printf("One hour of 44.1 kHz stereo 16-bit WAV (%.0f MB), %d rounds\n",
                double(std::filesystem::file_size(path)) / 1048576, rounds);
    std::fflush(stdout);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string r = std::to_string(rounds);
    int failed = 0;
    for (const char* pass : {"ask", "raised"})
        if (!Run({self, "--pass", pass, path, r})) {
            std::fprintf(stderr, "the %s pass failed\n", pass);
            failed = 1;
        }
    std::filesystem::remove(path);
    PrintMachineLoad("after");
    return failed;
}
