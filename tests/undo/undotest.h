#pragma once
// Helpers for the undo tests: plain copies of a document's samples, and the
// temporary sound files insertions take their material from.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "support/soundmodel.h"
#include "util/tmpfile.h"
#include "wave/file.h"

namespace NSUndoTest {

using NSSoundModel::Fill;
using NSSoundModel::Snapshot;
using NSSoundModel::TModel;

// Channel i holds n[i] samples, each telling its channel and position apart
// from every other (never 0, so silence shows).
inline TModel Numbered(std::initializer_list<uint32_t> lengths) {
    TModel model;
    int channel = 0;
    for (uint32_t n : lengths) {
        std::vector<int32_t> samples(n);
        for (uint32_t i = 0; i < n; ++i)
            samples[i] = (channel + 1) * 1000000 + int32_t(i) + 1;
        model.push_back(samples);
        ++channel;
    }
    return model;
}

// A 32-bit WAV temporary file holding `channels` at `rate`: what Paste
// stages from the clipboard.
inline TTmpFile WavMaterial(const TModel& channels, int rate) {
    TTmpFile file("WAV");
    NSWave::TFile doc(rate, 2, 4, 0);
    Fill(doc, channels);
    doc.Save(file.GetFileName());
    return file;
}

// A raw temporary file of the given bytes under `suffix` (".sw", ".ub",
// "sw"): a recording's capture file or the pitch change's staging file.
inline TTmpFile RawMaterial(const std::string& suffix, const std::string& bytes) {
    TTmpFile file(suffix);
    std::ofstream(file.GetFileName(), std::ios::binary) << bytes;
    return file;
}

inline std::string Raw16(const std::vector<int16_t>& samples) {
    return std::string(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
}

} // namespace NSUndoTest
