// Playback and recording through the real sound path (PortAudio, the sound
// server that PULSE_SERVER names, as scripts/with-sound-server starts it)
// for a given time each, counting what the backend reports: underflows and
// overflows (PortAudio's status flags), the times the output ran dry
// between two blocks, input frames that found no block, and the slowest
// callback. Run it with a full build going on beside it:
//
//   scripts/with-sound-server build/release/bench/realtime_bench [seconds]
//
// (default 600 seconds of each). The user-interface thread does what the
// editor's does while it plays: it waits for events and handles the card's
// notices.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "machineload.h"
#include "platform/audio.h"
#include "wave/device.h"
#include "wave/file.h"

using namespace NSWave;

namespace {

constexpr int Rate = 44100;

void Print(const char* what, double seconds, const NSAudio::TAudioCounts& before) {
    const NSAudio::TAudioCounts now = NSAudio::PortAudioCounts();
    std::printf("%-9s %7.1f s  underflows %llu  overflows %llu  output ran dry %llu  "
                "input frames dropped %llu  callbacks %llu  slowest callback so far %.1f us\n",
                what, seconds, (unsigned long long)(now.Underflows - before.Underflows),
                (unsigned long long)(now.Overflows - before.Overflows),
                (unsigned long long)(now.Starved - before.Starved),
                (unsigned long long)(now.DroppedFrames - before.DroppedFrames),
                (unsigned long long)(now.Callbacks - before.Callbacks),
                double(now.WorstCallbackNs) / 1000.0);
    std::fflush(stdout);
}

template <class F> void RunFor(double seconds, F stillGoing) {
    QDeadlineTimer deadline(qint64(seconds * 1000));
    while (!deadline.hasExpired() && stillGoing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600;
    if (!std::getenv("PULSE_SERVER")) {
        std::fprintf(stderr, "realtime_bench: no PULSE_SERVER; run it under "
                             "scripts/with-sound-server\n");
        return 2;
    }
    unsetenv("BRIMVALE_AUDIO");
    std::string state = (std::filesystem::temp_directory_path() / "brimvale-rt-XXXXXX").string();
    if (!mkdtemp(state.data()))
        return 1;
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    QCoreApplication app(argc, argv);
    NSAudio::TAudioBackend::Install(&NSAudio::PortAudioBackend());

    {
        // A tone as long as the run and a little more, played to the end.
        TFile doc(Rate, 2, 2, 1);
        TPlayRecEngine engine(doc);
        const uint32_t n = uint32_t(Rate * (seconds + 1));
        doc.Channel(0).SetSize(n);
        int32_t* s = doc.Channel(0).MutableSamples(0);
        for (uint32_t i = 0; i < n; ++i)
            s[i] = int32_t(std::lround(8000 * std::sin(2 * M_PI * 440.0 * i / Rate))) << 16;
        const NSAudio::TAudioCounts before = NSAudio::PortAudioCounts();
        const auto start = std::chrono::steady_clock::now();
        engine.Play(TSampleRange());
        RunFor(seconds, [&] { return engine.State() == TDeviceState::Playing; });
        const double ran =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Print("playback", ran, before);
        engine.Stop();
    }
    {
        TFile doc(Rate, 2, 2, 1);
        TPlayRecEngine engine(doc);
        const NSAudio::TAudioCounts before = NSAudio::PortAudioCounts();
        const auto start = std::chrono::steady_clock::now();
        engine.Record();
        RunFor(seconds, [&] { return engine.State() == TDeviceState::Recording; });
        const double ran =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Print("recording", ran, before);
        std::printf("          recorded %.1f s of sound in %.1f s\n",
                    double(engine.RecordedSamples()) / Rate, ran);
        engine.Stop();
    }
    std::filesystem::remove_all(state);
    PrintMachineLoad("after");
    return 0;
}
