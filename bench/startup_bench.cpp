// Starting the editor with a one-hour 44.1 kHz stereo WAV on the command
// line until the window shows it, next to loading the same file alone.
//
// Each run is a fresh process started here: the time counts from the moment
// before the process is created to the first paint of the sound's channel
// view (the editor) or the end of the load (the load alone).
//
// Usage: startup_bench [work directory] (default: $TMPDIR or /tmp)

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "machineload.h"
#include "shell/app.h"
#include "wave/file.h"
#include "wavewin/chanwin.h"

extern char** environ;

namespace {

constexpr uint32_t HourFrames = 44100u * 3600u;
constexpr int Runs = 5;

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

[[noreturn]] void Report(int64_t started) {
    std::printf("%lld\n", (long long)(NowNs() - started));
    std::fflush(stdout);
    _exit(0);
}

// The first paint of a channel view ends the measured start-up.
class TFirstPaint : public QObject {
public:
    explicit TFirstPaint(int64_t started) : Started(started) {}
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && dynamic_cast<NSWaveWin::TChannelWin*>(object))
            Report(Started);
        return false;
    }
    int64_t Started;
};

int Child(const char* mode, const char* path, int64_t started) {
    if (std::strcmp(mode, "load") == 0) {
        NSWave::TFile file;
        file.Load(path);
        Report(started);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "brimvale";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    TFirstPaint watch(started);
    application.installEventFilter(&watch);
    TApp app(TAppOptions{0});
    app.Start({QString::fromLocal8Bit(path)});
    return application.exec();
}

double Run(const char* mode, const std::string& path) {
    int pipes[2];
    if (pipe(pipes) != 0)
        std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipes[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipes[0]);
    const std::string started = std::to_string(NowNs());
    std::string self = std::filesystem::read_symlink("/proc/self/exe");
    std::vector<char*> argv = {self.data(),
                               const_cast<char*>("--child"),
                               const_cast<char*>(mode),
                               const_cast<char*>(path.c_str()),
                               const_cast<char*>(started.c_str()),
                               nullptr};
    pid_t pid;
    if (posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        std::abort();
    close(pipes[1]);
    char text[64] = {};
    ssize_t n = read(pipes[0], text, sizeof text - 1);
    close(pipes[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    if (n <= 0) {
        std::fprintf(stderr, "the %s run reported nothing\n", mode);
        std::exit(1);
    }
    return double(std::atoll(text)) / 1e9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    if (argc == 5 && std::strcmp(argv[1], "--child") == 0)
        return Child(argv[2], argv[3], std::atoll(argv[4]));

    const char* tmp = std::getenv("TMPDIR");
    std::string dir = argc > 1 ? argv[1] : (tmp && *tmp ? tmp : "/tmp");
    std::string path = dir + "/startup_bench_hour.wav";
    {
        NSWave::TFile hour(44100, 2, 2, 2);
        hour.SetSize(HourFrames, 2);
        for (int c = 0; c < 2; ++c) {
            int32_t* s = hour.Channel(c).MutableSamples(0);
            for (uint32_t i = 0; i < HourFrames; ++i)
                s[i] = int32_t((int64_t(i * (c + 3) % 2000) - 1000) << 20);
        }
        hour.Save(path);
    }

    std::vector<double> open, load;
    for (int i = 0; i < Runs; ++i) {
        load.push_back(Run("load", path));
        open.push_back(Run("open", path));
        std::printf("run %d: load %.3f s, editor %.3f s\n", i + 1, load.back(), open.back());
    }
    std::remove(path.c_str());
    const double l = Median(load), o = Median(open);
    std::printf("median: load alone %.3f s, editor showing it %.3f s = %.2f x the load "
                "(goal: at most 1.2 x the load + 0.3 s = %.3f s)\n",
                l, o, o / l, 1.2 * l + 0.3);
    PrintMachineLoad("after");
    return 0;
}
