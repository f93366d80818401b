#pragma once
// The machine's load beside a benchmark's figures: ratios taken in the same
// run hold up under load, absolute times do not.

#include <cstdio>
#include <fstream>
#include <string>

inline void PrintMachineLoad(const char* when) {
    std::ifstream in("/proc/loadavg");
    std::string load;
    std::getline(in, load);
    std::printf("machine load %s: %s (/proc/loadavg)\n", when, load.c_str());
    std::fflush(stdout);
}
