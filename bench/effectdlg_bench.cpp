// Echo, Vibro and Pitch over ten minutes of 44.1 kHz stereo through their
// dialogs (opened by the window's command, filled and confirmed, keeping
// undo data), each next to the effect runner alone on the same range in the
// same run:
// - Echo (1 s, 50 %) and Vibro (Medium) against the document's ApplyEffect
//   with the same effect and words;
// - Pitch to 105 % against the resampling of a copy of the range from the
//   nominal rate back to the sound's (SetRate), which is the work the
//   pitch change hands to the runner.
// Goal: the dialog at most 1.1 times the runner. What the dialog adds is
// measured on its own too: the undo copy of the range (the record built and
// dropped; for Pitch that copy is also the material resampled); the dialog
// less it is set against the runner as well. Medians of
// five rounds (three for Pitch). It needs about 1.2 GB of memory.
//
// Run: build/release/bench/effectdlg_bench

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "benchwindow.h"
#include "dlg/stddlg.h"
#include "machineload.h"
#include "platform/msgbox.h"
#include "undo/undo.h"
#include "wave/file.h"
#include "wavewin/ampdlg.h"
#include "wavewin/commands.h"
#include "wavewin/echodlg.h"
#include "wavewin/effectdlg.h"
#include "wavewin/pitchdlg.h"
#include "wavewin/vibrodlg.h"
#include "wavewin/wavewin.h"

using namespace NSWaveWin;

namespace {

constexpr uint32_t Rate = 44100;
constexpr uint32_t Length = Rate * 600u;

class TAnswer : public TMessageBoxService {
public:
    int Show(const TMessageBoxRequest& request) override {
        if (request.Text.find("undo") == std::string::npos)
            std::printf("  message: %s\n", request.Text.c_str());
        return IdYes;
    }
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
            const std::vector<double>& ref, double goal, const char* added,
            const std::vector<double>& extra) {
    const double m = Median(measured), r = Median(ref), ratio = m / r, e = Median(extra);
    std::printf("  %-22s %8.3f s   %-30s %8.3f s   ratio %5.2f (goal <= %.1f) %s\n", what, m,
                reference, r, ratio, goal, ratio <= goal ? "met" : "MISSED");
    std::printf("    %s alone %.3f s; the dialog less it: ratio %.2f\n", added, e, (m - e) / r);
}

// Runs command `id`; `fill` gets the dialog it opens, which is then
// confirmed.
void RunDialog(TWaveWin* w, int id, const std::function<void(TStdDlg&)>& fill) {
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<TStdDlg*>(QApplication::activeModalWidget());
        if (!dialog) {
            std::printf("  (no dialog opened)\n");
            return;
        }
        fill(*dialog);
        static_cast<QAbstractButton*>(dialog->Control(1))->click();
        if (dialog->isVisible()) {
            std::printf("  (the dialog stayed open)\n");
            dialog->reject();
        }
    });
    timer.start(0);
    w->Command(id);
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    const std::string dir = SetUpWindowBench("effectdlg_bench");
    if (dir.empty())
        return 1;
    QApplication app(argc, argv);
    TAnswer answer;
    TMessageBoxService::Install(&answer);

    QMdiArea area;
    TWaveWin* w = OpenFilledWindow(area, Rate, Length, [](uint32_t i, int c) {
        return int32_t((i + uint32_t(c)) * 2654435761u) >> 2;
    });
    NSWave::TFile& doc = w->Document;
    const TSampleRange all(0, Length, AllChannels);
    std::printf("Ten minutes of 44.1 kHz stereo (2 x %u samples, %.0f MB), the whole sound:\n",
                Length, 2.0 * Length * 4 / 1048576);

    std::vector<double> echo, echoAlone, vibro, vibroAlone, copy;
    for (int round = 0; round < 5; ++round) {
        copy.push_back(Seconds([&] { NSUndo::TReplacement record(*w, all); }));
        echo.push_back(Seconds([&] {
            RunDialog(w, CmdEcho, [](TStdDlg& d) {
                static_cast<QLineEdit*>(d.Control(2526))->setText("1");
                static_cast<QLineEdit*>(d.Control(2527))->setText("50");
            });
        }));
        echoAlone.push_back(Seconds([&] { doc.ApplyEffect(all, "echo", "1 0.5"); }));
        vibro.push_back(Seconds([&] {
            RunDialog(w, CmdVibro, [](TStdDlg& d) {
                static_cast<QRadioButton*>(d.Control(2539))->setChecked(true);
            });
        }));
        vibroAlone.push_back(Seconds([&] { doc.ApplyEffect(all, "vibro", "20 0.75"); }));
    }
    Report("Echo dialog", echo, "ApplyEffect echo", echoAlone, 1.1, "the undo copy", copy);
    Report("Vibro dialog", vibro, "ApplyEffect vibro", vibroAlone, 1.1, "the undo copy", copy);

    std::vector<double> pitch, pitchAlone, staging;
    for (int round = 0; round < 3; ++round) {
        staging.push_back(
            Seconds([&] { NSUndo::TInsertion record(*w, all, int(Rate * 100 / 105)); }));
        pitch.push_back(Seconds([&] {
            RunDialog(w, CmdPitch,
                      [](TStdDlg& d) { static_cast<QSlider*>(d.Control(2535))->setValue(13); });
        }));
        // Back to ten minutes for the next round.
        w->Command(CmdUndo);
        pitchAlone.push_back(Seconds([&] {
            NSWave::TFile copy(doc, all);
            copy.Rate = int(Rate * 100 / 105);
            copy.SetRate(int(Rate));
        }));
    }
    Report("Pitch dialog (105 %)", pitch, "SetRate of the range's copy", pitchAlone, 1.1,
           "the undo copy", staging);

    w->ForgetUndo();
    w->SetModified(false);
    std::filesystem::remove_all(dir);
    PrintMachineLoad("after");
    return 0;
}
