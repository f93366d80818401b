#include <algorithm>
#include <iterator>
#include <vector>

#include "undo/undo.h"
#include "util/opstatus.h"
#include "wave/cancelled.h"
#include "wave/file.h"

namespace NSUndo {

using NSWave::TChannel;
using NSWave::TFile;

TReversal::TReversal(TUndoWindow& window, const TSampleRange& range)
    : TUndoBase(window), Range(range) {
    // Nothing to keep, so nothing to ask: a reversal can always be undone.
    Outcome = Ready;
    window.GetDocument().Extend(Range);
}

void TReversal::Reverse(TFile& doc, TOpStatus* status) const {
    std::vector<TChannel*> channels;
    for (int i = 0; i < doc.ChannelCount(); ++i)
        if (Range.Channel == AllChannels || Range.Channel == i)
            if (doc.Channel(i).CountInRange(Range) > 1)
                channels.push_back(&doc.Channel(i));
    uint64_t total = 0;
    for (const TChannel* channel : channels)
        total += channel->CountInRange(Range) / 2;
    // Blocks from both ends are exchanged in turn, so the progress can follow
    // without a test in the loop that exchanges. Exchanging the first `pairs`
    // pairs of a channel again takes them back.
    constexpr uint32_t Block = 1u << 16;
    auto exchange = [&](TChannel& channel, uint32_t from, uint32_t pairs) {
        const uint32_t n = channel.CountInRange(Range);
        int32_t* low = channel.MutableSamples(Range.Start, Range.Start + n);
        int32_t* high = low + n;
        std::swap_ranges(low + from, low + pairs, std::reverse_iterator<int32_t*>(high - from));
    };
    uint64_t done = 0;
    for (size_t c = 0; c < channels.size(); ++c) {
        TChannel& channel = *channels[c];
        const uint32_t half = channel.CountInRange(Range) / 2;
        for (uint32_t i = 0; i < half; i += Block) {
            const uint32_t count = std::min(Block, half - i);
            exchange(channel, i, i + count);
            done += count;
            if (!status)
                continue;
            status->SetPercent(int(done * 100 / std::max<uint64_t>(total, 1)));
            if (status->Cancelled()) {
                exchange(channel, 0, i + count);
                for (size_t back = 0; back < c; ++back)
                    exchange(*channels[back], 0, channels[back]->CountInRange(Range) / 2);
                for (TChannel* each : channels)
                    each->Replaced(Range.Start, Range.Start + each->CountInRange(Range));
                throw NSWave::xcancelled();
            }
        }
        // A paint during a progress report may have summarised the channel
        // half reversed.
        channel.Replaced(Range.Start, Range.Start + channel.CountInRange(Range));
    }
}

void TReversal::Undo(TUndoWindow& window, TOpStatus* status) {
    if (Reversed)
        Reverse(window.GetDocument(), status);
    Reversed = false;
    // The silence a shorter channel was lengthened by lies at its end again.
    RestoreSizes(window);
}

void TReversal::Redo(TUndoWindow& window, TOpStatus* status) {
    TFile& doc = window.GetDocument();
    doc.Extend(Range);
    try {
        Reverse(doc, status);
    } catch (const NSWave::xcancelled&) {
        RestoreSizes(window);
        throw;
    }
    Reversed = true;
}

} // namespace NSUndo
