#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "undo/undo.h"
#include "wave/cancelled.h"
#include "wave/file.h"
#include "wave/samplemem.h"

namespace NSUndo {

using NSWave::TChannel;
using NSWave::TFile;

namespace {

// Exchanges the range of `channels` with the buffer block by block, so an
// hour's exchange shows progress and stops at Cancel. A cancelled exchange
// is exchanged back (an exchange is its own inverse) before xcancelled
// leaves, so document and buffer are both as they were.
void SwapInSteps(const std::vector<TChannel*>& channels, const TSampleRange& range, int32_t* buffer,
                 TOpStatus* status) {
    uint64_t total = 0;
    for (const TChannel* channel : channels)
        total += channel->CountInRange(range);
    constexpr uint32_t Block = 1u << 18;
    // Exchanges the first `limit` samples of the range, channel after
    // channel; true when it reached the limit without a Cancel.
    auto swap = [&](uint64_t limit, bool cancellable, uint64_t& done) {
        done = 0;
        int32_t* saved = buffer;
        for (TChannel* channel : channels) {
            const uint32_t n = channel->CountInRange(range);
            for (uint32_t i = 0; i < n && done < limit; i += Block) {
                const uint32_t count = uint32_t(std::min<uint64_t>({Block, n - i, limit - done}));
                std::swap_ranges(saved + i, saved + i + count,
                                 channel->MutableSamples(range.Start + i, range.Start + i + count));
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

bool Covers(const TSampleRange& range, int channel) {
    return range.Channel == AllChannels || range.Channel == channel;
}

// A channel hands its whole array over when the range holds at least three
// quarters of it: keeping the rest too costs less than copying the range.
bool HandsOver(const TChannel& channel, const TSampleRange& range) {
    const uint32_t n = channel.CountInRange(range);
    return n > 0 && uint64_t(n) * 4 >= uint64_t(channel.Count) * 3;
}

} // namespace

TSavedArray::~TSavedArray() {
    NSWave::FreeSamples(Array.Samples, Array.Capacity);
}

TSavedArray::TSavedArray(TSavedArray&& other) noexcept
    : Channel(other.Channel), Array(std::exchange(other.Array, {})) {}

TSavedArray& TSavedArray::operator=(TSavedArray&& other) noexcept {
    if (this != &other) {
        NSWave::FreeSamples(Array.Samples, Array.Capacity);
        Channel = other.Channel;
        Array = std::exchange(other.Array, {});
    }
    return *this;
}

TReplacement::TReplacement(TUndoWindow& window, const TSampleRange& range, TFill fill)
    : TUndoBase(window), Range(range) {
    TFile& doc = window.GetDocument();
    if (!range.Valid)
        return;
    std::vector<int> handed, copied;
    // The question counts the samples the change may alter, as it always
    // has; a channel handing its array over holds a little more.
    uint64_t held = 0, copies = 0, asked = 0;
    for (int i = 0; i < doc.ChannelCount(); ++i) {
        const TChannel& channel = doc.Channel(i);
        const uint32_t n = Covers(range, i) ? channel.CountInRange(range) : 0;
        if (n == 0)
            continue;
        asked += n;
        if (HandsOver(channel, range)) {
            handed.push_back(i);
            held += channel.Count;
        } else {
            copied.push_back(i);
            copies += n;
            held += n;
        }
    }
    if (held == 0 || !AskUndoSize(window, 4 * asked))
        return;
    // The records this one pushes out go first, and their arrays serve it.
    NSWave::TReuseFreed reuse;
    window.DropPushedOut();
    if (copies) {
        SavedSamples = TSavedSamples(copies);
        int32_t* to = SavedSamples.get();
        NSWave::FirstWrite(SavedSamples.get(), copies, [&] {
            for (int i : copied)
                to = doc.Channel(i).CopyOut(range, to);
        });
    }
    // Every new array is allocated before any channel changes, so running
    // out of memory leaves the document as it was.
    std::vector<TSavedArray> fresh;
    for (int i : handed) {
        const TChannel& channel = doc.Channel(i);
        fresh.emplace_back(i, TChannel::TArray{NSWave::AllocSamples(channel.Capacity),
                                               channel.Count, channel.Capacity});
    }
    for (TSavedArray& array : fresh) {
        TChannel& channel = doc.Channel(array.Channel);
        int32_t* to = array.Array.Samples;
        const int32_t* from = channel.Samples;
        const size_t count = channel.Count;
        const size_t end = std::min<size_t>(range.End, count);
        NSWave::FirstWrite(to, count, [&] {
            if (fill == TFill::Copy) {
                std::memcpy(to, from, count * sizeof(int32_t));
                return;
            }
            std::memcpy(to, from, size_t(range.Start) * sizeof(int32_t));
            std::memcpy(to + end, from + end, (count - end) * sizeof(int32_t));
        });
        array.Array = channel.ExchangeArray(std::exchange(array.Array, {}));
        if (fill == TFill::ByChange) {
            channel.Prior = array.Array.Samples;
            channel.PriorCount = array.Array.Count;
        }
        Arrays.push_back(std::move(array));
    }
    Bytes = 4 * held;
    // The change may then write the whole range, also past a shorter
    // channel's end.
    doc.Extend(Range);
    Outcome = Ready;
    if (fill == TFill::ByChange && !Arrays.empty()) {
        std::vector<int32_t*> arrays;
        uint32_t end = Range.End;
        for (const TSavedArray& array : Arrays) {
            TChannel& channel = doc.Channel(array.Channel);
            arrays.push_back(channel.MutableSamples(0));
            end = std::min(end, channel.Count);
        }
        Ahead = std::make_unique<NSWave::TFaultAhead>();
        Ahead->Start(arrays, Range.Start, end, false);
    }
}

bool TReplacement::Holds(int channel) const {
    return std::any_of(Arrays.begin(), Arrays.end(),
                       [channel](const TSavedArray& a) { return a.Channel == channel; });
}

void TReplacement::Written(TUndoWindow& window) {
    Ahead.reset();
    TFile& doc = window.GetDocument();
    for (const TSavedArray& array : Arrays)
        if (doc.HasChannel(array.Channel)) {
            doc.Channel(array.Channel).Prior = nullptr;
            doc.Channel(array.Channel).PriorCount = 0;
        }
}

void TReplacement::ExchangeArrays(TUndoWindow& window) {
    Ahead.reset();
    TFile& doc = window.GetDocument();
    for (TSavedArray& array : Arrays)
        if (doc.HasChannel(array.Channel))
            array.Array = doc.Channel(array.Channel).ExchangeArray(array.Array);
}

void TReplacement::Undo(TUndoWindow& window, TOpStatus* status) {
    TFile& doc = window.GetDocument();
    // The channels that handed their arrays over get them back, with their
    // old lengths; the record keeps the changed ones whole.
    ExchangeArrays(window);
    std::vector<TChannel*> copied;
    for (int i = 0; i < doc.ChannelCount(); ++i)
        if (Covers(Range, i) && !Holds(i))
            copied.push_back(&doc.Channel(i));
    // Cutting the other channels back to their old lengths would lose what
    // the change wrote beyond them, and Redo must bring that back too.
    uint64_t beyond = 0;
    for (int i = 0; i < doc.ChannelCount(); ++i)
        if (!Holds(i))
            beyond += doc.Channel(i).Count - std::min(doc.Channel(i).Count, LengthBefore(i));
    Beyond = TSavedSamples(beyond);
    int32_t* to = Beyond.get();
    for (int i = 0; i < doc.ChannelCount(); ++i) {
        const TChannel& channel = doc.Channel(i);
        if (!Holds(i) && channel.Count > LengthBefore(i))
            to = channel.CopyOut(TSampleRange(LengthBefore(i), channel.Count), to);
    }
    RestoreSizes(window);
    for (const TSavedArray& array : Arrays)
        if (array.Channel < ChanSizes.Count())
            ChanSizes[array.Channel]->After = array.Array.Count;
    try {
        SwapInSteps(copied, Range, SavedSamples.get(), status);
    } catch (const NSWave::xcancelled&) {
        // The changed arrays and what the change wrote beyond the old ends
        // go back too.
        ExchangeArrays(window);
        PutBeyondBack(window);
        throw;
    }
}

void TReplacement::Redo(TUndoWindow& window, TOpStatus* status) {
    TFile& doc = window.GetDocument();
    std::vector<TChannel*> copied;
    for (int i = 0; i < doc.ChannelCount(); ++i)
        if (Covers(Range, i) && !Holds(i))
            copied.push_back(&doc.Channel(i));
    SwapInSteps(copied, Range, SavedSamples.get(), status);
    ExchangeArrays(window);
    PutBeyondBack(window);
}

void TReplacement::PutBeyondBack(TUndoWindow& window) {
    TFile& doc = window.GetDocument();
    ReapplySizes(window);
    if (!Beyond)
        return;
    const int32_t* from = Beyond.get();
    for (int i = 0; i < ChannelCountAfter; ++i) {
        TChannel& channel = doc.Channel(i);
        if (!Holds(i) && channel.Count > LengthBefore(i))
            from = channel.CopyIn(TSampleRange(LengthBefore(i), channel.Count), from);
    }
    Beyond.reset();
}

bool TReplacement::Unchanged(TUndoWindow& window) const {
    const TFile& doc = window.GetDocument();
    if ((!SavedSamples && Arrays.empty()) || doc.ChannelCount() != ChannelCount)
        return false;
    // The saved copy is the range channel by channel, each up to its old
    // end; a channel that handed its array over is compared with that.
    const int32_t* saved = SavedSamples.get();
    for (int i = 0; i < doc.ChannelCount(); ++i) {
        if (!Covers(Range, i))
            continue;
        const TChannel& channel = doc.Channel(i);
        const uint32_t before = std::min(LengthBefore(i), Range.End);
        if (channel.Count < before)
            return false;
        const uint32_t end = std::min(channel.Count, Range.End);
        auto held = std::find_if(Arrays.begin(), Arrays.end(),
                                 [i](const TSavedArray& a) { return a.Channel == i; });
        for (uint32_t j = Range.Start; j < end; ++j) {
            const int32_t old = j >= before            ? 0
                                : held != Arrays.end() ? held->Array.Samples[j]
                                                       : *saved++;
            if (channel.Samples[j] != old)
                return false;
        }
    }
    return true;
}

} // namespace NSUndo
