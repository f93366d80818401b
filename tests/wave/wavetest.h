#pragma once
// Helpers for building and reading documents in tests.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "wave/file.h"

namespace NSWaveTest {

inline void Fill(NSWave::TChannel& channel, const std::vector<int32_t>& samples) {
    channel.SetSize(uint32_t(samples.size()));
    std::copy(samples.begin(), samples.end(), channel.MutableSamples(0));
}

inline std::vector<int32_t> Samples(const NSWave::TChannel& channel) {
    return std::vector<int32_t>(channel.Samples, channel.Samples + channel.Count);
}

// A document whose channel i holds channels[i].
inline void Fill(NSWave::TFile& file, std::initializer_list<std::vector<int32_t>> channels) {
    file.SetChannelCount(int(channels.size()));
    int i = 0;
    for (const auto& samples : channels)
        Fill(file.Channel(i++), samples);
}

// What a command prints on standard output.
inline std::string Shell(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

} // namespace NSWaveTest
