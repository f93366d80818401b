// Starting the editor with a long 44.1 kHz stereo 16-bit WAV on the command
// line until its window shows the whole waveform, paired with `sox f.wav -n`
// reading the same file, at 10 minutes, an hour and three hours.
//
// Each run is a fresh process of the real program (splash, frame, window),
// offscreen, with settings, runtime folder and sound card of its own. Its
// channel views report over a pipe (BRIMVALE_BENCH_REPORT) when the window
// first shows, when it shows the length to come, and when every view has
// painted the whole loaded sound; the times count from the moment before
// the process is created. The sox run reads the same file just before or
// just after (the order alternates), so both see the same cache and load.
//
// Usage: startup_bench [work directory] [minutes ...]
//        (default: $TMPDIR or /tmp; 10 60 180)

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "machineload.h"

extern char** environ;

namespace {

constexpr int Runs = 3;
constexpr uint32_t Rate = 44100;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Put32(std::FILE* out, uint32_t v) {
    const unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, out);
}

void Put16(std::FILE* out, uint16_t v) {
    const unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, out);
}

// A plain WAV written a block at a time: three hours do not fit in the
// benchmark's own memory as a document.
void WriteWav(const std::string& path, uint64_t frames) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::perror(path.c_str());
        std::exit(1);
    }
    const uint64_t bytes = frames * 4;
    std::fwrite("RIFF", 1, 4, out);
    Put32(out, uint32_t(36 + bytes));
    std::fwrite("WAVEfmt ", 1, 8, out);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 2);
    Put32(out, Rate);
    Put32(out, Rate * 4);
    Put16(out, 4);
    Put16(out, 16);
    std::fwrite("data", 1, 4, out);
    Put32(out, uint32_t(bytes));
    std::vector<int16_t> block(2 * 65536);
    for (uint64_t at = 0; at < frames; at += 65536) {
        const size_t n = size_t(std::min<uint64_t>(65536, frames - at));
        for (size_t k = 0; k < n; ++k) {
            const uint64_t i = at + k;
            block[2 * k] = int16_t(int64_t(i * 3 % 2000) * 16 - 16000);
            block[2 * k + 1] = int16_t(int64_t(i * 4 % 2000) * 16 - 16000);
        }
        std::fwrite(block.data(), 4, n, out);
    }
    if (std::fclose(out) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

std::string Beside(const char* name) {
    // The benchmark sits in bench/ of the build, the program at its top.
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / name).string();
}

struct TEditorTimes {
    double Shown = -1, Laid = -1, Whole = -1;
};

// One start of the editor on `path`, ended once it reports the whole sound.
TEditorTimes RunEditor(const std::string& program, const std::string& path,
                       const std::string& home) {
    int pipes[2];
    if (pipe2(pipes, O_CLOEXEC) != 0)
        std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipes[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> env = {
        "BRIMVALE_BENCH_REPORT=3",
        "QT_QPA_PLATFORM=offscreen",
        "BRIMVALE_AUDIO=virtual",
        "BRIMVALE_CONFIG_DIR=" + home + "/config",
        "XDG_RUNTIME_DIR=" + home + "/run",
        "XDG_STATE_HOME=" + home + "/state",
        "XDG_CONFIG_HOME=" + home + "/config",
        "HOME=" + home,
        // No hand-over to an editor that runs already on the session bus.
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + home + "/no-bus",
    };
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "PATH=", 5) == 0 || std::strncmp(*e, "LD_LIBRARY_PATH=", 16) == 0)
            env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(path.c_str()),
                               nullptr};
    const double started = Now();
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        std::perror(program.c_str());
        std::exit(1);
    }
    close(pipes[1]);
    TEditorTimes times;
    std::string text;
    char buffer[64];
    while (times.Whole < 0) {
        const ssize_t n = read(pipes[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        const double at = Now() - started;
        text.append(buffer, size_t(n));
        for (size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1)) {
            const std::string line = text.substr(0, end);
            if (line == "shown")
                times.Shown = at;
            else if (line == "laid")
                times.Laid = at;
            else if (line == "whole")
                times.Whole = at;
        }
    }
    close(pipes[0]);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    if (times.Whole < 0) {
        std::fprintf(stderr, "the editor ended without showing the whole sound\n");
        std::exit(1);
    }
    return times;
}

double RunSox(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = {const_cast<char*>("sox"), const_cast<char*>(path.c_str()),
                               const_cast<char*>("-n"), nullptr};
    const double started = Now();
    pid_t pid;
    if (posix_spawnp(&pid, "sox", &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "sox could not be started\n");
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double took = Now() - started;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "sox failed on %s\n", path.c_str());
        std::exit(1);
    }
    return took;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = argc > 1 ? argv[1] : (tmp && *tmp ? tmp : "/tmp");
    std::vector<int> minutes;
    for (int i = 2; i < argc; ++i)
        minutes.push_back(std::atoi(argv[i]));
    if (minutes.empty())
        minutes = {10, 60, 180};

    const std::string program = Beside("brimvale");
    const std::string home = dir + "/startup_bench_home";
    for (const char* sub : {"", "/config", "/run", "/state"})
        std::filesystem::create_directories(home + sub);
    std::filesystem::permissions(home + "/run", std::filesystem::perms::owner_all);

    for (int length : minutes) {
        const std::string path = dir + "/startup_bench_" + std::to_string(length) + "min.wav";
        WriteWav(path, uint64_t(length) * 60 * Rate);
        // A first read brings the file into the cache for both.
        RunSox(path);
        std::vector<double> shown, laid, whole, sox, ratio;
        for (int i = 0; i < Runs; ++i) {
            double s;
            TEditorTimes e;
            if (i % 2 == 0) {
                s = RunSox(path);
                e = RunEditor(program, path, home);
            } else {
                e = RunEditor(program, path, home);
                s = RunSox(path);
            }
            shown.push_back(e.Shown);
            laid.push_back(e.Laid);
            whole.push_back(e.Whole);
            sox.push_back(s);
            ratio.push_back(e.Whole / s);
            std::printf("%d min run %d: window %.3f s, laid out %.3f s, whole sound %.3f s; "
                        "sox %.3f s; %.2f x\n",
                        length, i + 1, e.Shown, e.Laid, e.Whole, s, e.Whole / s);
            std::fflush(stdout);
        }
        std::printf("%d min median: window shown %.0f ms, laid out %.0f ms (goal: 150 ms); whole "
                    "sound %.3f s, sox %.3f s, ratio %.2f x (goal: at most 1.3 x)\n",
                    length, Median(shown) * 1000, Median(laid) * 1000, Median(whole), Median(sox),
                    Median(ratio));
        PrintMachineLoad("now");
        std::remove(path.c_str());
    }
    std::filesystem::remove_all(home);
    PrintMachineLoad("after");
    return 0;
}
