#pragma once
// Wall time and this thread's processor time of one call, in milliseconds,
// and their medians over rounds. On a machine shared with other work the
// processor time is the steadier figure: it leaves out the time the thread
// waited for a processor.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

struct TTiming {
    double Wall;
    double Cpu;
};

inline double ThreadCpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

inline TTiming Time(const std::function<void()>& f) {
    const double cpu0 = ThreadCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    f();
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    return {wall, ThreadCpuMs() - cpu0};
}

// The medians of `rounds` timings of f; `before` runs untimed ahead of each.
inline TTiming MedianOf(int rounds, const std::function<void()>& f,
                        const std::function<void()>& before = nullptr) {
    std::vector<double> wall, cpu;
    for (int r = 0; r < rounds; ++r) {
        if (before)
            before();
        const TTiming t = Time(f);
        wall.push_back(t.Wall);
        cpu.push_back(t.Cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}
