#include <algorithm>

#include "undo/undo.h"
#include "wave/file.h"

namespace NSUndo {

using NSWave::TFile;

TReplacement::TReplacement(TUndoWindow& window, const TSampleRange& range)
    : TUndoBase(window), Range(range) {
    if (!SaveRange(window, Range, SavedSamples))
        return;
    // The change may then write the whole range, also past a shorter
    // channel's end.
    window.GetDocument().Extend(Range);
    Outcome = Ready;
}

void TReplacement::Undo(TUndoWindow& window, TOpStatus*) {
    TFile& doc = window.GetDocument();
    // Cutting the channels back to their old lengths would lose what the
    // change wrote beyond them, and Redo must bring that back too.
    uint64_t beyond = 0;
    for (int i = 0; i < doc.ChannelCount(); ++i)
        beyond += doc.Channel(i).Count - std::min(doc.Channel(i).Count, LengthBefore(i));
    Beyond = TSavedSamples(beyond);
    int32_t* to = Beyond.get();
    for (int i = 0; i < doc.ChannelCount(); ++i) {
        const NSWave::TChannel& channel = doc.Channel(i);
        if (channel.Count > LengthBefore(i))
            to = channel.CopyOut(TSampleRange(LengthBefore(i), channel.Count), to);
    }
    RestoreSizes(window);
    doc.SwapRange(Range, SavedSamples.get());
}

void TReplacement::Redo(TUndoWindow& window, TOpStatus*) {
    TFile& doc = window.GetDocument();
    doc.SwapRange(Range, SavedSamples.get());
    ReapplySizes(window);
    if (!Beyond)
        return;
    const int32_t* from = Beyond.get();
    for (int i = 0; i < ChannelCountAfter; ++i) {
        NSWave::TChannel& channel = doc.Channel(i);
        if (channel.Count > LengthBefore(i))
            from = channel.CopyIn(TSampleRange(LengthBefore(i), channel.Count), from);
    }
    Beyond.reset();
}

bool TReplacement::Unchanged(TUndoWindow& window) const {
    const TFile& doc = window.GetDocument();
    if (!SavedSamples || doc.ChannelCount() != ChannelCount)
        return false;
    // The saved copy is the range channel by channel, each up to its old end.
    const int32_t* saved = SavedSamples.get();
    for (int i = 0; i < doc.ChannelCount(); ++i) {
        if (Range.Channel != AllChannels && Range.Channel != i)
            continue;
        const NSWave::TChannel& channel = doc.Channel(i);
        const uint32_t before = std::min(LengthBefore(i), Range.End);
        if (channel.Count < before)
            return false;
        const uint32_t end = std::min(channel.Count, Range.End);
        for (uint32_t j = Range.Start; j < end; ++j)
            if (channel.Samples[j] != (j < before ? *saved++ : 0))
                return false;
    }
    return true;
}

} // namespace NSUndo
