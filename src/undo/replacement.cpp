#include <algorithm>
#include <vector>

#include "undo/undo.h"
#include "wave/cancelled.h"
#include "wave/file.h"

namespace NSUndo {

using NSWave::TFile;

namespace {

// Exchanges the range with the buffer block by block, so an hour's exchange
// shows progress and stops at Cancel. A cancelled exchange is exchanged back
// (an exchange is its own inverse) before xcancelled leaves, so document and
// buffer are both as they were.
void SwapInSteps(TFile& doc, const TSampleRange& range, int32_t* buffer, TOpStatus* status) {
    std::vector<NSWave::TChannel*> channels;
    for (int i = 0; i < doc.ChannelCount(); ++i)
        if (range.Channel == AllChannels || range.Channel == i)
            channels.push_back(&doc.Channel(i));
    uint64_t total = 0;
    for (const NSWave::TChannel* channel : channels)
        total += channel->CountInRange(range);
    constexpr uint32_t Block = 1u << 18;
    // Exchanges the first `limit` samples of the range, channel after
    // channel; true when it reached the limit without a Cancel.
    auto swap = [&](uint64_t limit, bool cancellable, uint64_t& done) {
        done = 0;
        int32_t* saved = buffer;
        for (NSWave::TChannel* channel : channels) {
            const uint32_t n = channel->CountInRange(range);
            for (uint32_t i = 0; i < n && done < limit; i += Block) {
                const uint32_t count = uint32_t(std::min<uint64_t>({Block, n - i, limit - done}));
                std::swap_ranges(saved + i, saved + i + count,
                                 channel->MutableSamples(range.Start + i));
                done += count;
                if (cancellable && status) {
                    status->SetPercent(int(done * 100 / std::max<uint64_t>(total, 1)));
                    if (status->Cancelled())
                        return false;
                }
            }
            saved += n;
        }
        return true;
    };
    uint64_t done = 0;
    if (swap(total, true, done))
        return;
    uint64_t again = 0;
    swap(done, false, again);
    throw NSWave::xcancelled();
}

} // namespace

TReplacement::TReplacement(TUndoWindow& window, const TSampleRange& range)
    : TUndoBase(window), Range(range) {
    if (!SaveRange(window, Range, SavedSamples))
        return;
    // The change may then write the whole range, also past a shorter
    // channel's end.
    window.GetDocument().Extend(Range);
    Outcome = Ready;
}

void TReplacement::Undo(TUndoWindow& window, TOpStatus* status) {
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
    try {
        SwapInSteps(doc, Range, SavedSamples.get(), status);
    } catch (const NSWave::xcancelled&) {
        // What the change wrote beyond the old ends goes back too.
        PutBeyondBack(window);
        throw;
    }
}

void TReplacement::Redo(TUndoWindow& window, TOpStatus* status) {
    SwapInSteps(window.GetDocument(), Range, SavedSamples.get(), status);
    PutBeyondBack(window);
}

void TReplacement::PutBeyondBack(TUndoWindow& window) {
    TFile& doc = window.GetDocument();
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
