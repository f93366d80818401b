#include "undo/undo.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include "util/settings.h"
#include "util/text.h"
#include "wave/file.h"
#include "wave/samplemem.h"

namespace NSUndo {

using NSWave::TFile;

TValueSetting UndoMaxSizeSetting("Undo\\MaxSize", 1024);

TSavedSamples::TSavedSamples(uint64_t count)
    : Samples(count ? NSWave::AllocSamples(count) : nullptr), Count(count) {}

TSavedSamples::~TSavedSamples() {
    reset();
}

TSavedSamples::TSavedSamples(TSavedSamples&& other) noexcept
    : Samples(std::exchange(other.Samples, nullptr)), Count(std::exchange(other.Count, 0)) {}

TSavedSamples& TSavedSamples::operator=(TSavedSamples&& other) noexcept {
    if (this != &other) {
        reset();
        Samples = std::exchange(other.Samples, nullptr);
        Count = std::exchange(other.Count, 0);
    }
    return *this;
}

void TSavedSamples::reset() {
    NSWave::FreeSamples(Samples, Count);
    Samples = nullptr;
    Count = 0;
}

TUndoBase::TUndoBase(TUndoWindow& window)
    : ChanSizes(window.GetDocument().ChannelCount(), 10),
      ChannelCount(window.GetDocument().ChannelCount()), ChannelCountAfter(ChannelCount) {
    const TFile& doc = window.GetDocument();
    for (int i = 0; i < ChannelCount; ++i)
        ChanSizes.Add(new TChanSize(doc.Channel(i).Count));
}

TUndoBase::~TUndoBase() = default;

bool TUndoBase::AskUndoSize(TUndoWindow& window, uint64_t bytes) {
    // The records the history keeps beside this one count too.
    const uint64_t kb = (bytes + window.KeptUndoBytes()) / 1024;
    if (int64_t(kb) <= int64_t(UndoMaxSizeSetting.Get()))
        return true;
    const std::string text = NSText::Fill(
        NSText::Tr("Undo", "This operation will create an excessive amount of 'undo' data (%1KB).  "
                           "Do you want to be able to undo this operation?\n\n"
                           "Select 'Cancel' to cancel the operation."),
        {std::to_string(kb)});
    const int answer =
        window.MessageBox(text, "Brimvale", TMsgButtons::YesNoCancel, TMsgIcon::Question);
    // A box closed some other way keeps the document as it is.
    Outcome = answer == Ready || answer == NoUndo ? answer : Cancelled;
    return Outcome == Ready;
}

bool TUndoBase::SaveRange(TUndoWindow& window, const TSampleRange& range, TSavedSamples& saved) {
    const TFile& doc = window.GetDocument();
    const uint64_t n = doc.CountSamples(range);
    if (n == 0 || !AskUndoSize(window, 4 * n))
        return false;
    // The records this one pushes out go first, and their memory serves it.
    NSWave::TReuseFreed reuse;
    window.DropPushedOut();
    saved = TSavedSamples(n);
    Bytes += 4 * n;
    NSWave::FirstWrite(saved.get(), n, [&] { doc.CopyOut(range, saved.get()); });
    return true;
}

uint32_t TUndoBase::LengthBefore(int channel) const {
    return channel >= 0 && channel < ChannelCount ? ChanSizes[channel]->Before : 0;
}

void TUndoBase::RestoreSizes(TUndoWindow& window) {
    TFile& doc = window.GetDocument();
    ChannelCountAfter = doc.ChannelCount();
    while (ChanSizes.Count() < ChannelCountAfter)
        ChanSizes.Add(new TChanSize(doc.Channel(ChanSizes.Count()).Count));
    doc.SetChannelCount(ChannelCount);
    for (int i = 0; i < ChannelCount; ++i) {
        ChanSizes[i]->After = doc.Channel(i).Count;
        doc.Channel(i).SetSize(ChanSizes[i]->Before);
    }
}

void TUndoBase::ReapplySizes(TUndoWindow& window) {
    TFile& doc = window.GetDocument();
    doc.SetChannelCount(ChannelCountAfter);
    for (int i = 0; i < ChannelCountAfter; ++i)
        doc.Channel(i).SetSize(ChanSizes[i]->After);
}

void TUndoBase::Reinsert(TUndoWindow& window, const TSampleRange& range,
                         const int32_t* saved) const {
    TFile& doc = window.GetDocument();
    // The edit worked on the range clipped to the sound as it was; opening
    // more than that would only be cut away again.
    uint32_t length = 0;
    for (int i = 0; i < ChannelCount; ++i)
        length = std::max(length, ChanSizes[i]->Before);
    TSampleRange r = range;
    r.End = std::max(r.Start, std::min(r.End, length));
    doc.InsertSilence(r);
    if (!saved)
        return;
    // A channel gave only its samples below its own old end; the gap opened
    // in it may be longer.
    auto put = [&](int i) {
        if (!doc.HasChannel(i))
            return;
        TSampleRange part = r;
        part.End = std::min(r.End, LengthBefore(i));
        if (part.Start < part.End)
            saved = doc.Channel(i).CopyIn(part, saved);
    };
    if (r.Channel == AllChannels) {
        for (int i = 0; i < ChannelCount; ++i)
            put(i);
    } else {
        put(r.Channel);
    }
}

// Deletion.

TDeletion::TDeletion(TUndoWindow& window, const TSampleRange& range)
    : TUndoBase(window), Range(range) {
    if (SaveRange(window, Range, SavedSamples))
        Outcome = Ready;
}

void TDeletion::Undo(TUndoWindow& window, TOpStatus*) {
    Reinsert(window, Range, SavedSamples.get());
    RestoreSizes(window);
}

void TDeletion::Redo(TUndoWindow& window, TOpStatus*) {
    window.GetDocument().DeleteRange(Range, true);
}

// Insertion.

TInsertion::TInsertion(TUndoWindow& window, const TSampleRange& selection, const TTmpFile& source,
                       int forcedRate, int channelHint)
    : TUndoBase(window), Source(source), ForcedRate(forcedRate), ChannelHint(channelHint) {
    const TFile& doc = window.GetDocument();
    const uint32_t length = doc.GetLength();
    Target = selection.Valid ? selection : TSampleRange(length, length, AllChannels);
    if (const uint64_t n = doc.CountSamples(Target)) {
        NSWave::TReuseFreed reuse;
        window.DropPushedOut();
        SavedSamples = TSavedSamples(n);
        NSWave::FirstWrite(SavedSamples.get(), n, [&] { doc.CopyOut(Target, SavedSamples.get()); });
    }
    Outcome = Ready;
}

TInsertion::TInsertion(TUndoWindow& window, const TSampleRange& selection, int forcedRate)
    : TInsertion(window, selection, TTmpFile(), forcedRate, -1) {
    FromTarget = true;
}

void TInsertion::Redo(TUndoWindow& window, TOpStatus* status) {
    // Until the paste succeeds the document holds nothing of this record.
    Inserted = TSampleRange();
    InsertedLength = 0;
    if (FromTarget) {
        const TFile& doc = window.GetDocument();
        TFile material(ForcedRate, 2, 4, 1);
        const bool all = Target.Channel == AllChannels;
        const int channels = all ? doc.ChannelCount() : 1;
        const uint32_t length = Target.End - Target.Start;
        material.SetChannelCount(channels);
        const int32_t* from = SavedSamples.get();
        for (int c = 0; c < channels; ++c) {
            const uint32_t n = doc.Channel(all ? c : Target.Channel).CountInRange(Target);
            NSWave::TChannel& channel = material.Channel(c);
            channel.SetSize(length);
            if (n)
                std::copy_n(from, n, channel.MutableSamples(0, n));
            from += n;
        }
        Inserted = window.GetDocument().Paste(material, Target);
        InsertedLength = Inserted.Valid ? Inserted.End - Inserted.Start : 0;
        return;
    }
    TFile material(ForcedRate != 0 ? ForcedRate : 22050, Tail && Tail->SampleBytes == 1 ? 1 : 2,
                   Tail ? Tail->SampleBytes : 1, Tail ? std::max(1, Tail->Channels) : 1);
    // A capture file the disk took nothing of holds no sound to load.
    std::error_code none;
    if (!Tail || std::filesystem::file_size(Source.GetFileName(), none) != 0 || none)
        material.Load(Source.GetFileName(), status, nullptr, ChannelHint);
    if (Tail)
        NSWave::AppendCaptureTail(material, *Tail);
    if (ForcedRate != 0)
        material.Rate = ForcedRate;
    Inserted = window.GetDocument().Paste(material, Target);
    InsertedLength = Inserted.Valid ? Inserted.End - Inserted.Start : 0;
}

void TInsertion::Undo(TUndoWindow& window, TOpStatus*) {
    // Material of no samples still replaced the target, so what counts is
    // whether a paste took place, not its length.
    if (!Inserted.Valid)
        return;
    TFile& doc = window.GetDocument();
    doc.DeleteRange(TSampleRange(Target.Start, Target.Start + InsertedLength, Target.Channel),
                    true);
    if (SavedSamples)
        Reinsert(window, Target, SavedSamples.get());
    RestoreSizes(window);
}

// Channels.

TAddChannel::TAddChannel(TUndoWindow& window) : TUndoBase(window) {
    Outcome = Ready;
}

void TAddChannel::Undo(TUndoWindow& window, TOpStatus*) {
    RestoreSizes(window);
}

void TAddChannel::Redo(TUndoWindow& window, TOpStatus*) {
    TFile& doc = window.GetDocument();
    doc.SetChannelCount(doc.ChannelCount() + 1);
}

TDelChannel::TDelChannel(TUndoWindow& window, int index) : TUndoBase(window) {
    const TFile& doc = window.GetDocument();
    if (doc.ChannelCount() <= 1 || !doc.HasChannel(index))
        return;
    Index = index;
    SampleCount = doc.Channel(index).Count;
    // An empty channel needs no copy and no question.
    if (SampleCount == 0 || SaveRange(window, TSampleRange(0, SampleCount, index), SavedSamples))
        Outcome = Ready;
}

void TDelChannel::Undo(TUndoWindow& window, TOpStatus*) {
    TFile& doc = window.GetDocument();
    doc.InsertChannel(Index);
    if (SampleCount == 0 || !SavedSamples)
        return;
    // The channel went in at Index, or at the end for an Index beyond it.
    const int at = doc.HasChannel(Index) ? Index : doc.ChannelCount() - 1;
    NSWave::TChannel& channel = doc.Channel(at);
    channel.SetSize(SampleCount, true);
    channel.CopyIn(TSampleRange(0, SampleCount), SavedSamples.get());
}

void TDelChannel::Redo(TUndoWindow& window, TOpStatus*) {
    window.GetDocument().DeleteChannel(Index);
}

} // namespace NSUndo
