#pragma once
// A document's samples as plain vectors, to compare with what a model of
// the same edits expects.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "wave/file.h"

namespace NSSoundModel {

// Every channel's samples, in order.
using TModel = std::vector<std::vector<int32_t>>;

inline TModel Snapshot(const NSWave::TFile& doc) {
    TModel model;
    for (int i = 0; i < doc.ChannelCount(); ++i) {
        const NSWave::TChannel& c = doc.Channel(i);
        model.emplace_back(c.Samples, c.Samples + c.Count);
    }
    return model;
}

// Gives the document exactly these channels and samples.
inline void Fill(NSWave::TFile& doc, const TModel& model) {
    doc.SetChannelCount(int(model.size()));
    for (size_t i = 0; i < model.size(); ++i) {
        NSWave::TChannel& c = doc.Channel(int(i));
        c.SetSize(uint32_t(model[i].size()));
        std::copy(model[i].begin(), model[i].end(), c.MutableSamples(0));
    }
}

} // namespace NSSoundModel
