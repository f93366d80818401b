#pragma once
// Undo records. Every command that changes the samples or the channels of a
// document builds one while the document is still unchanged; afterwards the
// record takes the change back (Undo) and applies it again (Redo) as often
// as the user alternates. Records hold the samples they need in memory (a
// copy of a range, or the whole arrays channels handed over), except the
// insertion, which reloads its material from a temporary file on every Redo,
// and the reversal, which needs none.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/msgbox.h"
#include "undo/undowindow.h"
#include "util/arry.h"
#include "util/settings.h"
#include "util/tmpfile.h"
#include "wave/capture.h"
#include "wave/channel.h"
#include "wave/samplemem.h"
#include "wave/samplerange.h"

class TOpStatus;

namespace NSUndo {

// Records that keep more than this many KB (with what the history keeps
// beside them) ask the user first.
extern TValueSetting UndoMaxSizeSetting;

// An owned array of saved samples. It comes from the allocator of the
// channels' own arrays, so a large copy faults in as huge pages: several
// times faster than plain heap memory for a long sound.
class TSavedSamples {
public:
    TSavedSamples() = default;
    explicit TSavedSamples(uint64_t count);
    ~TSavedSamples();
    TSavedSamples(TSavedSamples&& other) noexcept;
    TSavedSamples& operator=(TSavedSamples&& other) noexcept;

    int32_t* get() const { return Samples; }
    explicit operator bool() const { return Samples != nullptr; }
    void reset();

private:
    int32_t* Samples = nullptr;
    uint64_t Count = 0;
};

class TUndoBase {
public:
    // What a record's construction came to, as the undo-size question's
    // answer codes: ready, no undo (nothing to save, or the user said No),
    // cancelled (the command stops before any change).
    static constexpr int Ready = IdYes;
    static constexpr int NoUndo = IdNo;
    static constexpr int Cancelled = IdCancel;

    // One channel's length when the record was built and when it was last
    // undone.
    struct TChanSize {
        explicit TChanSize(uint32_t length) : Before(length), After(length) {}
        uint32_t Before;
        uint32_t After;
    };

    explicit TUndoBase(TUndoWindow& window);
    virtual ~TUndoBase();
    TUndoBase(const TUndoBase&) = delete;
    TUndoBase& operator=(const TUndoBase&) = delete;

    virtual void Undo(TUndoWindow& window, TOpStatus* status) = 0;
    virtual void Redo(TUndoWindow& window, TOpStatus* status) = 0;
    // Whether Undo and Redo stop at the status's Cancel, leaving the
    // document as it was; the others run to their end.
    virtual bool CanCancel() const { return false; }

    TAutoDelArry<TChanSize> ChanSizes;
    int ChannelCount;
    // The channel count at the last Undo.
    int ChannelCountAfter;
    int Outcome = NoUndo;
    // The undo data the record holds in memory.
    uint64_t Bytes = 0;
    // Written by the window when it accepts the record.
    bool ModifiedBefore = false;
    TSampleRange SelectionBefore;
    TSampleRange SelectionAfter;

protected:
    // True when `bytes` of undo data may be kept: within the limit, or the
    // user answered Yes. Beyond the limit the answer goes to Outcome.
    bool AskUndoSize(TUndoWindow& window, uint64_t bytes);
    // Copies the samples of `range` into `saved` once the undo-size question
    // allows it; false when there is nothing to copy or it was refused.
    bool SaveRange(TUndoWindow& window, const TSampleRange& range, TSavedSamples& saved);
    // Gives the channel count and every channel's length back as they were
    // when the record was built, remembering the current ones in After.
    void RestoreSizes(TUndoWindow& window);
    // Gives the channel count and lengths of the last Undo back.
    void ReapplySizes(TUndoWindow& window);
    // Re-opens `range` and writes `saved` (a CopyOut of the range when the
    // record was built) back into it, each channel receiving exactly what was
    // saved from it. RestoreSizes then gives every channel its length back.
    void Reinsert(TUndoWindow& window, const TSampleRange& range, const int32_t* saved) const;

    // A channel's length when the record was built; 0 for a channel that
    // did not exist then.
    uint32_t LengthBefore(int channel) const;
};

// Cut and Delete: the removed range and its samples.
class TDeletion : public TUndoBase {
public:
    TDeletion(TUndoWindow& window, const TSampleRange& range);
    void Undo(TUndoWindow& window, TOpStatus* status) override;
    void Redo(TUndoWindow& window, TOpStatus* status) override;

    TSavedSamples SavedSamples;
    TSampleRange Range;
};

// Paste, a finished recording and Pitch: material from a sound file that
// replaces the target range (or goes in at a cursor). The command makes the
// change by calling Redo.
class TInsertion : public TUndoBase {
public:
    // `forcedRate` (0: keep the file's) is imposed on the loaded material
    // without resampling; `channelHint` (-1: the file's) goes to the loader.
    TInsertion(TUndoWindow& window, const TSampleRange& selection, const TTmpFile& source,
               int forcedRate, int channelHint);
    // The selection's own samples, taken as 32-bit material at `forcedRate`
    // (every channel as long as the selection, silence past a shorter
    // channel's end), as if written to a raw file and loaded back, without
    // the file: the record keeps them anyway.
    TInsertion(TUndoWindow& window, const TSampleRange& selection, int forcedRate);
    void Undo(TUndoWindow& window, TOpStatus* status) override;
    // Loads Source (status shows the loading) and pastes it at Target.
    // Loading errors propagate with the document unchanged.
    void Redo(TUndoWindow& window, TOpStatus* status) override;

    TTmpFile Source;
    // A recording's samples that follow Source's, kept in memory when the
    // capture file could take no more; null when none.
    std::shared_ptr<const NSWave::TCaptureTail> Tail;
    // Samples per channel the last Redo inserted.
    uint32_t InsertedLength = 0;
    // The samples of Target the insertion overwrites; null when none.
    TSavedSamples SavedSamples;
    TSampleRange Target;
    int ForcedRate;
    int ChannelHint;
    // The material is the target's saved samples, not Source.
    bool FromTarget = false;
    // Where the material lies after the last Redo; invalid until one ran.
    TSampleRange Inserted;
};

// An owned channel array, as TChannel::ExchangeArray hands it over.
class TSavedArray {
public:
    TSavedArray() = default;
    TSavedArray(int channel, NSWave::TChannel::TArray array) : Channel(channel), Array(array) {}
    ~TSavedArray();
    TSavedArray(TSavedArray&& other) noexcept;
    TSavedArray& operator=(TSavedArray&& other) noexcept;

    int Channel = -1;
    NSWave::TChannel::TArray Array;
};

// Echo, Vibro, Amplitude, Silence, fades: a change in place. A channel the
// range covers wholly or mostly hands its array to the record and gets a new
// one for the change, so the record keeps the old samples without copying
// them; Undo and Redo exchange the arrays again. Of the other channels one
// buffer holds the other version of the range and is exchanged with the
// document block by block.
class TReplacement : public TUndoBase {
public:
    // How a channel's new array gets the range's samples: copied from the old
    // one before the change, or written by the change itself, which then
    // writes every sample of the range and reads the old ones through the
    // channel's Prior (Amplify and Silence do).
    enum class TFill { Copy, ByChange };

    // Lengthens the channels concerned to the end of the range (when the
    // record is ready), so the change can write all of it.
    TReplacement(TUndoWindow& window, const TSampleRange& range, TFill fill = TFill::Copy);
    void Undo(TUndoWindow& window, TOpStatus* status) override;
    void Redo(TUndoWindow& window, TOpStatus* status) override;
    bool CanCancel() const override { return true; }
    // The change has written the range: the channels read their own samples
    // again.
    void Written(TUndoWindow& window);
    // Whether the document still holds the range as it was saved (past a
    // channel's old end: silence), as after a change that failed before it
    // wrote anything. False without saved samples.
    bool Unchanged(TUndoWindow& window) const;
    // Whether the record holds the channel's whole array.
    bool Holds(int channel) const;

    // The range of the channels that kept their arrays, channel after
    // channel; null when every covered channel handed its array over.
    TSavedSamples SavedSamples;
    // The channels' other arrays: before the change while it is applied,
    // after it while it is undone.
    std::vector<TSavedArray> Arrays;
    TSampleRange Range;
    // What the change wrote beyond the channels' old ends (an echo tail, the
    // room a fade ran into), taken out by Undo and put back by Redo;
    // channel by channel, each from its old length to its length after the
    // change. Empty while the change is applied.
    TSavedSamples Beyond;

private:
    // The channel count and lengths after the change, with what it wrote
    // beyond the old ends.
    void PutBeyondBack(TUndoWindow& window);
    // Exchanges Arrays with the channels' arrays.
    void ExchangeArrays(TUndoWindow& window);
    // Faults the new arrays' fresh pages in beside a change that fills
    // them, until it has written them.
    std::unique_ptr<NSWave::TFaultAhead> Ahead;
};

// Reverse, its own inverse: the record keeps no samples, and Undo and Redo
// reverse the range again. The change is made by calling Redo.
class TReversal : public TUndoBase {
public:
    // Lengthens the channels concerned to the end of the range, so the
    // reversal turns all of it (a shorter channel's silence comes first).
    TReversal(TUndoWindow& window, const TSampleRange& range);
    void Undo(TUndoWindow& window, TOpStatus* status) override;
    void Redo(TUndoWindow& window, TOpStatus* status) override;
    bool CanCancel() const override { return true; }

    TSampleRange Range;

private:
    // Reverses the range of every channel it covers; at Cancel, turns back
    // what it did and throws xcancelled with the document as it was.
    void Reverse(NSWave::TFile& doc, TOpStatus* status) const;
    bool Reversed = false;
};

// Add Track.
class TAddChannel : public TUndoBase {
public:
    explicit TAddChannel(TUndoWindow& window);
    void Undo(TUndoWindow& window, TOpStatus* status) override;
    void Redo(TUndoWindow& window, TOpStatus* status) override;
};

// Delete Track: the channel's samples, index and length.
class TDelChannel : public TUndoBase {
public:
    TDelChannel(TUndoWindow& window, int index);
    void Undo(TUndoWindow& window, TOpStatus* status) override;
    void Redo(TUndoWindow& window, TOpStatus* status) override;

    TSavedSamples SavedSamples;
    int Index = -1;
    uint32_t SampleCount = 0;
};

} // namespace NSUndo
