#pragma once
// Helpers for building and reading documents in tests.

#include <algorithm>
#include <cstdint>
#include <initializer_list>
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

} // namespace NSWaveTest
