#pragma once
// Running a piece of a test in a child process: a hang, an exit() or a crash
// there fails the test instead of ending the test program, and limits set
// there (file size, memory) stay there.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace NSWaveTest {

struct TChildResult {
    bool Exited = false; // by _exit or exit, not by a signal
    int Code = -1;       // the exit code, or the signal that ended it
    std::string Output;  // what the child wrote with Say()

    bool Clean() const { return Exited && Code == 0; }
    std::string Describe() const {
        if (!Exited)
            return "ended by signal " + std::to_string(Code) +
                   (Code == SIGALRM ? " (out of time)" : "") + "; said: " + Output;
        return "exit code " + std::to_string(Code) + "; said: " + Output;
    }
};

// What the child says goes back to the parent through this descriptor.
inline int ChildOutput = -1;

inline void Say(const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        ssize_t n = write(ChildOutput, text.data() + done, text.size() - done);
        if (n <= 0)
            _exit(5);
        done += size_t(n);
    }
}

// Runs `work` in a child that the kernel ends after `seconds`.
inline TChildResult InChild(const std::function<void()>& work, unsigned seconds) {
    TChildResult result;
    int pipes[2];
    if (pipe(pipes) != 0)
        return result;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipes[0]);
        ChildOutput = pipes[1];
        alarm(seconds);
        try {
            work();
        } catch (const std::exception& e) {
            Say(std::string("uncaught exception: ") + e.what());
            _exit(4);
        }
        _exit(0);
    }
    close(pipes[1]);
    char buffer[4096];
    for (ssize_t n; (n = read(pipes[0], buffer, sizeof buffer)) > 0;)
        result.Output.append(buffer, size_t(n));
    close(pipes[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return result;
    result.Exited = WIFEXITED(status);
    result.Code = result.Exited ? WEXITSTATUS(status) : WTERMSIG(status);
    return result;
}

} // namespace NSWaveTest
