// A long random run of edits of every kind over channels of unequal lengths,
// each followed at random by nothing, Undo, Undo and Redo, or more
// alternations. After every step the document must equal, sample for sample
// and length for length, the plain copy of the state it should be in.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

#include "undo/undo.h"
#include "undotest.h"

using namespace NSUndo;
using namespace NSUndoTest;
using NSWave::TFile;

namespace {

class TRandomEdits {
public:
    TRandomEdits() : Doc(44100, 2, 4, 0), Window(Doc) {
        TModel start(3);
        for (auto& channel : start)
            channel = Noise(Pick(0, 300));
        Fill(Doc, start);
    }

    // One edit, then the alternations; returns false once a check failed.
    bool Step(int step) {
        const TModel before = Snapshot(Doc);
        std::unique_ptr<TUndoBase> record;
        const char* kind = "";
        switch (Pick(0, 9)) {
        case 0:
        case 1:
            kind = "deletion";
            record = Delete();
            break;
        case 2:
        case 3:
        case 4:
            kind = "insertion";
            record = Insert();
            break;
        case 5:
        case 6:
        case 7:
            kind = "replacement";
            record = Replace();
            break;
        case 8:
            kind = "track addition";
            record = AddTrack();
            break;
        default:
            kind = "track deletion";
            record = DeleteTrack();
            break;
        }
        const TModel after = Snapshot(Doc);
        if (!record || record->Outcome != TUndoBase::Ready)
            return true;
        ++Kept[kind];
        // Undo and Redo alternate, starting with Undo.
        const int toggles = Pick(0, 5) < 2 ? 0 : Pick(1, 4);
        for (int t = 0; t < toggles; ++t) {
            const bool undo = t % 2 == 0;
            if (undo)
                record->Undo(Window, nullptr);
            else
                record->Redo(Window, nullptr);
            const TModel& expected = undo ? before : after;
            EXPECT_EQ(Snapshot(Doc), expected)
                << "step " << step << ": " << kind << (undo ? " undone" : " redone") << " ("
                << t + 1 << " of " << toggles << ")";
            if (Snapshot(Doc) != expected)
                return false;
        }
        return true;
    }

    // Records that were ready, by kind.
    std::map<std::string, int> Kept;

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Rng); }

    std::vector<int32_t> Noise(int n) {
        std::vector<int32_t> samples(static_cast<size_t>(n));
        for (auto& s : samples)
            s = int32_t(Rng());
        return samples;
    }

    // A range of any shape: none, a cursor, a stretch reaching past some or
    // all channel ends, on every channel, one channel or one beyond them.
    TSampleRange AnyRange() {
        if (Pick(0, 9) == 0)
            return TSampleRange();
        const int length = int(Doc.GetLength());
        const uint32_t a = uint32_t(Pick(0, length + 20));
        const uint32_t b = Pick(0, 4) == 0 ? a : uint32_t(Pick(0, length + 40));
        const int channel = Pick(0, 2) == 0 ? Pick(0, Doc.ChannelCount()) : AllChannels;
        return TSampleRange(a, b, channel);
    }

    std::unique_ptr<TUndoBase> Delete() {
        const TSampleRange range = AnyRange();
        auto record = std::make_unique<TDeletion>(Window, range);
        Doc.DeleteRange(range, true);
        return record;
    }

    // Material as Paste stages it (a WAV of any channel count, maybe at
    // another rate), as a recording captures it, or as the pitch change
    // stages it (raw data read at a forced rate and converted).
    std::unique_ptr<TUndoBase> Insert() {
        const TSampleRange selection = AnyRange();
        TTmpFile source;
        int forcedRate = 0, channelHint = -1;
        switch (Pick(0, 3)) {
        case 0:
        case 1: {
            // Now and then material of no samples, which still replaces the
            // selection.
            TModel material(size_t(Pick(1, 4)));
            const int length = Pick(0, 7) == 0 ? 0 : Pick(1, 60);
            for (auto& channel : material)
                channel = Noise(length);
            source = WavMaterial(material, Pick(0, 4) == 0 ? 22050 : Doc.Rate);
            break;
        }
        case 2: {
            const std::vector<int32_t> noise = Noise(Pick(1, 50));
            source = RawMaterial(".sw", Raw16(std::vector<int16_t>(noise.begin(), noise.end())));
            forcedRate = Doc.Rate;
            break;
        }
        default: {
            channelHint = selection.Channel == AllChannels ? Doc.ChannelCount() : 1;
            const std::vector<int32_t> noise = Noise(Pick(1, 40) * channelHint);
            source = RawMaterial("sw", Raw16(std::vector<int16_t>(noise.begin(), noise.end())));
            forcedRate = Doc.Rate * 100 / Pick(50, 200);
            break;
        }
        }
        auto record =
            std::make_unique<TInsertion>(Window, selection, source, forcedRate, channelHint);
        record->Redo(Window, nullptr);
        return record;
    }

    // The in-place changes: after the record, the command makes room for the
    // whole range and writes it; some changes also run on past its end.
    std::unique_ptr<TUndoBase> Replace() {
        const TSampleRange range = AnyRange();
        auto record = std::make_unique<TReplacement>(Window, range);
        switch (Pick(0, 3)) {
        case 0:
            Doc.Silence(range);
            break;
        case 1:
            Doc.Extend(range);
            Doc.Amplify(range, Pick(0, 20) * 0.1, Pick(0, 20) * 0.1);
            break;
        default: {
            if (range.IsEmpty())
                break;
            Doc.Extend(range);
            const int first = range.Channel == AllChannels ? 0 : range.Channel;
            const int last = range.Channel == AllChannels ? Doc.ChannelCount() - 1 : range.Channel;
            const bool tail = Pick(0, 1) == 0;
            for (int c = first; c <= last && Doc.HasChannel(c); ++c) {
                // An echo tail runs on only where the channel ends with the
                // range; elsewhere the samples after the range stay.
                NSWave::TChannel& channel = Doc.Channel(c);
                uint32_t end = std::min(range.End, channel.Count);
                if (tail && channel.Count == range.End) {
                    channel.SetSize(range.End + uint32_t(Pick(1, 30)));
                    end = channel.Count;
                }
                for (uint32_t i = range.Start; i < end; ++i)
                    channel.MutableSamples(i)[0] = int32_t(Rng());
            }
        }
        }
        return record;
    }

    std::unique_ptr<TUndoBase> AddTrack() {
        if (Doc.ChannelCount() >= 6)
            return nullptr;
        auto record = std::make_unique<TAddChannel>(Window);
        Doc.SetChannelCount(Doc.ChannelCount() + 1);
        return record;
    }

    std::unique_ptr<TUndoBase> DeleteTrack() {
        const int index = Pick(-1, Doc.ChannelCount());
        auto record = std::make_unique<TDelChannel>(Window, index);
        if (Doc.ChannelCount() > 1)
            Doc.DeleteChannel(index);
        return record;
    }

    std::mt19937 Rng{20261208};
    TFile Doc;
    TBareWindow Window;
};

} // namespace

TEST(UndoAgainstAModel, RandomEditsUndoneAndRedone) {
    TRandomEdits run;
    for (int step = 0; step < 600; ++step)
        if (!run.Step(step))
            break;
    // Every kind must have been undone and redone often for the run to mean
    // anything.
    ASSERT_EQ(run.Kept.size(), 5u);
    for (const auto& [kind, count] : run.Kept)
        EXPECT_GE(count, 30) << kind;
}
