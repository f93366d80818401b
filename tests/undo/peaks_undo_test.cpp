// The min/max summaries through the undo records: after every record's
// construction, its change, and each Undo and Redo, every channel's summary
// answers as the plain scan does. The channels are long enough for both
// block sizes, and each step asks before it changes anything, so a record
// that changed samples without marking them would leave a stale summary.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

#include "undo/undo.h"
#include "undotest.h"
#include "wave/peakcheck.h"

using namespace NSUndo;
using namespace NSUndoTest;
using namespace NSPeakTest;
using NSWave::TFile;

namespace {

class TRun {
public:
    TRun() : Doc(44100, 2, 4, 3), Window(Doc) {
        for (int c = 0; c < 3; ++c)
            Refill(c, Pick(66000, 150000));
    }

    // The last step's check has built the summaries this step's change
    // must mark.
    bool Step(int step) {
        std::unique_ptr<TUndoBase> record;
        const char* kind = "";
        // Long channels are cut first, within the undo-size limit.
        const int choice = Doc.GetLength() > 160000 ? 0 : Pick(0, 5);
        if (choice <= 1) {
            kind = "deletion";
            const uint32_t length = Doc.GetLength();
            const TSampleRange range =
                choice == 0 && length > 160000 ? TSampleRange(length - 40000, length) : AnyRange();
            record = std::make_unique<TDeletion>(Window, range);
            Doc.DeleteRange(range, true);
        } else if (choice == 2) {
            kind = "insertion";
            TModel material(size_t(Pick(1, 3)));
            for (auto& channel : material) {
                channel.resize(Length());
                Content(Rng, channel.data(), channel.size());
            }
            record = std::make_unique<TInsertion>(Window, AnyRange(),
                                                  WavMaterial(material, Doc.Rate), 0, -1);
            record->Redo(Window, nullptr);
        } else if (choice == 3) {
            kind = "replacement";
            record = Replace();
        } else if (choice == 4 && Doc.ChannelCount() < 5) {
            kind = "track addition";
            record = std::make_unique<TAddChannel>(Window);
            Doc.SetChannelCount(Doc.ChannelCount() + 1);
            Refill(Doc.ChannelCount() - 1, Pick(0, 120000));
        } else {
            kind = "track deletion";
            const int index = Pick(0, Doc.ChannelCount() - 1);
            record = std::make_unique<TDelChannel>(Window, index);
            if (Doc.ChannelCount() > 1)
                Doc.DeleteChannel(index);
        }
        if (!Holds(step, kind))
            return false;
        if (record->Outcome != TUndoBase::Ready)
            return true;
        ++Kept[kind];
        for (int t = 0, toggles = Pick(1, 4); t < toggles; ++t) {
            if (t % 2 == 0)
                record->Undo(Window, nullptr);
            else
                record->Redo(Window, nullptr);
            if (!Holds(step, t % 2 == 0 ? "undone" : "redone"))
                return false;
        }
        return true;
    }

    const TFile& Document() const { return Doc; }

    std::map<std::string, int> Kept;
    std::mt19937 Rng{20261210};

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Rng); }

    bool Holds(int step, const char* what) {
        const ::testing::AssertionResult held = SummariesHold(Doc, Rng, 4);
        EXPECT_TRUE(held) << "step " << step << ": " << what;
        return held;
    }

    void Refill(int c, int n) {
        NSWave::TChannel& channel = Doc.Channel(c);
        channel.SetSize(uint32_t(n));
        Content(Rng, channel.MutableSamples(0), size_t(n));
    }

    // Within the undo-size limit, so that no record asks: at most 32768
    // samples of at most five channels.
    uint32_t Length() { return uint32_t(Pick(0, 1 << Pick(0, 15))); }
    TSampleRange AnyRange() {
        const uint32_t a = uint32_t(Pick(0, int(Doc.GetLength()) + 300));
        const int channel = Pick(0, 2) == 0 ? Pick(0, Doc.ChannelCount() - 1) : AllChannels;
        return TSampleRange(a, a + Length(), channel);
    }

    // The in-place changes a replacement record takes back: silence, a
    // fade, new samples with now and then a tail past the channel's end.
    std::unique_ptr<TUndoBase> Replace() {
        const TSampleRange range = AnyRange();
        auto record = std::make_unique<TReplacement>(Window, range);
        if (record->Outcome != TUndoBase::Ready)
            return record;
        switch (Pick(0, 2)) {
        case 0:
            Doc.Silence(range);
            break;
        case 1:
            Doc.Amplify(range, Pick(0, 20) * 0.1, Pick(0, 20) * 0.1);
            break;
        default:
            for (int c = 0; c < Doc.ChannelCount(); ++c) {
                if (range.Channel != AllChannels && range.Channel != c)
                    continue;
                NSWave::TChannel& channel = Doc.Channel(c);
                uint32_t end = std::min(range.End, channel.Count);
                if (channel.Count == range.End && Pick(0, 1)) {
                    channel.SetSize(range.End + uint32_t(Pick(1, 3000)));
                    end = channel.Count;
                }
                if (range.Start < end)
                    Content(Rng, channel.MutableSamples(range.Start), end - range.Start);
            }
        }
        return record;
    }

    TFile Doc;
    TBareWindow Window;
};

} // namespace

TEST(PeakSummaryThroughUndo, EveryRecordUndoneAndRedone) {
    TRun run;
    ASSERT_TRUE(SummariesHold(run.Document(), run.Rng, 0));
    for (int step = 0; step < 150; ++step)
        if (!run.Step(step))
            break;
    ASSERT_EQ(run.Kept.size(), 5u);
    for (const auto& [kind, count] : run.Kept)
        EXPECT_GE(count, 10) << kind;
}
