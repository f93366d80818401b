// The undo records one by one: what each saves, and that Undo and Redo
// alternate between exactly the two states as often as asked.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scriptedmsgbox.h"
#include "undo/undo.h"
#include "undotest.h"
#include "util/xmsg.h"

using namespace NSUndo;
using namespace NSUndoTest;
using NSWave::TFile;

namespace {

// Undo and Redo three times each, checking both states every time.
void Alternate(TUndoBase& record, TBareWindow& window, const TModel& before, const TModel& after) {
    for (int round = 0; round < 3; ++round) {
        record.Undo(window, nullptr);
        ASSERT_EQ(Snapshot(window.GetDocument()), before) << "undo " << round;
        record.Redo(window, nullptr);
        ASSERT_EQ(Snapshot(window.GetDocument()), after) << "redo " << round;
    }
}

struct TDoc {
    explicit TDoc(const TModel& model) : Doc(44100, 2, 2, 0), Window(Doc) { Fill(Doc, model); }
    TFile Doc;
    TBareWindow Window;
};

} // namespace

TEST(Deletion, AcrossAShorterChannelGivesBackEveryChannelsSamplesAndLength) {
    struct Case {
        const char* what;
        TSampleRange range;
    };
    for (const Case& k : {
             Case{"all channels, past the short one", TSampleRange(2, 8)},
             Case{"all channels, past the document's end", TSampleRange(3, 4000000000u)},
             Case{"all channels, beyond the short one", TSampleRange(6, 9)},
             Case{"one channel", TSampleRange(1, 3, 1)},
             Case{"the long channel only", TSampleRange(5, 12, 0)},
         }) {
        const TModel before = Numbered({10, 4, 6});
        TDoc d(before);
        TDeletion record(d.Window, k.range);
        ASSERT_EQ(record.Outcome, TUndoBase::Ready) << k.what;
        d.Doc.DeleteRange(k.range, true);
        const TModel after = Snapshot(d.Doc);
        Alternate(record, d.Window, before, after);
    }
}

TEST(Deletion, NothingToSaveMeansNoUndo) {
    TDoc d(Numbered({10, 4}));
    for (const TSampleRange& range :
         {TSampleRange(), TSampleRange(3, 3), TSampleRange(10, 20), TSampleRange(0, 5, 2)}) {
        TDeletion record(d.Window, range);
        EXPECT_EQ(record.Outcome, TUndoBase::NoUndo);
        EXPECT_FALSE(record.SavedSamples);
    }
}

TEST(Insertion, PasteAtACursorSavesNothingAndUndoRemovesExactlyWhatWentIn) {
    const TModel before = Numbered({10, 3});
    TDoc d(before);
    TInsertion record(d.Window, TSampleRange(4, 4), WavMaterial(Numbered({3, 3}), 44100), 0, -1);
    EXPECT_EQ(record.Outcome, TUndoBase::Ready);
    EXPECT_FALSE(record.SavedSamples);
    EXPECT_EQ(record.InsertedLength, 0u);
    record.Redo(d.Window, nullptr);
    EXPECT_EQ(record.Inserted, TSampleRange(4, 7));
    EXPECT_EQ(record.InsertedLength, 3u);
    const TModel after = Snapshot(d.Doc);
    EXPECT_EQ(after[1],
              (std::vector<int32_t>{2000001, 2000002, 2000003, 0, 2000001, 2000002, 2000003}))
        << "the short channel is padded to the cursor";
    Alternate(record, d.Window, before, after);
}

TEST(Insertion, PasteOverASelectionAlternatesAndKeepsItsFileAsLongAsTheRecord) {
    struct Case {
        const char* what;
        TSampleRange selection;
        TModel material;
    };
    for (const Case& k : {
             Case{"two channels into two", TSampleRange(2, 8), Numbered({5, 3})},
             Case{"one channel into every channel", TSampleRange(5, 9), Numbered({7})},
             Case{"two channels mixed into one", TSampleRange(1, 3, 1), Numbered({2, 4})},
             Case{"past the short channel's end", TSampleRange(3, 15), Numbered({1, 1})},
             Case{"on a channel beyond the count", TSampleRange(2, 3, 3), Numbered({2})},
             Case{"no selection appends", TSampleRange(), Numbered({4, 4})},
         }) {
        const TModel before = Numbered({12, 4});
        TDoc d(before);
        std::string name;
        {
            TTmpFile file = WavMaterial(k.material, 44100);
            name = file.GetFileName();
            TInsertion record(d.Window, k.selection, file, 0, -1);
            file.Release();
            EXPECT_EQ(record.Source.UseCount(), 1) << k.what;
            record.Redo(d.Window, nullptr);
            const TModel after = Snapshot(d.Doc);
            EXPECT_NE(after, before) << k.what;
            Alternate(record, d.Window, before, after);
            EXPECT_TRUE(std::filesystem::exists(name)) << k.what;
        }
        EXPECT_FALSE(std::filesystem::exists(name)) << k.what;
    }
}

TEST(Insertion, NoSelectionMeansTheEndOfTheSound) {
    TDoc d(Numbered({5, 9}));
    TInsertion record(d.Window, TSampleRange(), WavMaterial(Numbered({2}), 44100), 0, -1);
    EXPECT_EQ(record.Target, TSampleRange(9, 9));
    record.Redo(d.Window, nullptr);
    EXPECT_EQ(record.Inserted, TSampleRange(9, 11));
}

TEST(Insertion, ARecordingsCaptureFileAtTheDocumentsRate) {
    struct Case {
        const char* suffix;
        std::string bytes;
        std::vector<int32_t> samples;
    };
    for (const Case& k : {
             Case{".sw", Raw16({100, -200, 300}), {100 << 16, -200 << 16, 300 << 16}},
             Case{".ub", std::string("\x80\xff\x00\x81", 4), {0, 127 << 24, -128 << 24, 1 << 24}},
         }) {
        const TModel before = Numbered({6});
        TDoc d(before);
        TInsertion record(d.Window, TSampleRange(2, 4), RawMaterial(k.suffix, k.bytes), d.Doc.Rate,
                          -1);
        record.Redo(d.Window, nullptr);
        EXPECT_EQ(d.Doc.Rate, 44100);
        std::vector<int32_t> expected = {1000001, 1000002};
        expected.insert(expected.end(), k.samples.begin(), k.samples.end());
        expected.insert(expected.end(), {1000005, 1000006});
        ASSERT_EQ(Snapshot(d.Doc), TModel{expected}) << k.suffix;
        Alternate(record, d.Window, before, Snapshot(d.Doc));
    }
}

TEST(Insertion, PitchMaterialIsResampledFromItsForcedRate) {
    // Two channels interleaved in raw 16-bit data, read at half the rate:
    // the document's rate conversion doubles their length.
    std::vector<int16_t> frames;
    for (int i = 0; i < 400; ++i)
        frames.insert(frames.end(), {int16_t(i * 50), int16_t(-i * 50)});
    const TModel before = Numbered({1000, 900});
    TDoc d(before);
    TInsertion record(d.Window, TSampleRange(100, 500), RawMaterial("sw", Raw16(frames)),
                      d.Doc.Rate / 2, 2);
    record.Redo(d.Window, nullptr);
    const uint32_t n = record.InsertedLength;
    EXPECT_NEAR(double(n), 800, 8);
    EXPECT_EQ(d.Doc.Channel(0).Count, 1000 - 400 + n);
    const TModel after = Snapshot(d.Doc);
    Alternate(record, d.Window, before, after);
}

TEST(Insertion, NotYetPerformedUndoesToNothing) {
    const TModel before = Numbered({8, 3});
    TDoc d(before);
    TInsertion record(d.Window, TSampleRange(1, 6), WavMaterial(Numbered({2}), 44100), 0, -1);
    ASSERT_TRUE(record.SavedSamples);
    record.Undo(d.Window, nullptr);
    EXPECT_EQ(Snapshot(d.Doc), before);
}

TEST(Insertion, MaterialOfNoSamplesOverASelectionIsUndone) {
    const TModel before = Numbered({8, 3});
    TDoc d(before);
    TInsertion record(d.Window, TSampleRange(1, 6), WavMaterial(TModel{{}, {}}, 44100), 0, -1);
    record.Redo(d.Window, nullptr);
    ASSERT_EQ(record.InsertedLength, 0u);
    const TModel after = Snapshot(d.Doc);
    ASSERT_EQ(after, (TModel{{1000001, 1000007, 1000008}, {2000001}}));
    Alternate(record, d.Window, before, after);
}

TEST(Insertion, AFailedLoadChangesNothingAndLeavesNothingToUndo) {
    const TModel before = Numbered({8, 3});
    TDoc d(before);
    TInsertion record(d.Window, TSampleRange(1, 6), RawMaterial("WAV", "not a sound file"), 0, -1);
    EXPECT_THROW(record.Redo(d.Window, nullptr), xmsg);
    EXPECT_EQ(Snapshot(d.Doc), before);
    record.Undo(d.Window, nullptr);
    EXPECT_EQ(Snapshot(d.Doc), before);
}

TEST(Channels, AddTrackUndoneAndRedone) {
    const TModel before = Numbered({8, 3});
    TDoc d(before);
    TAddChannel record(d.Window);
    EXPECT_EQ(record.Outcome, TUndoBase::Ready);
    d.Doc.SetChannelCount(3);
    Alternate(record, d.Window, before, TModel{before[0], before[1], {}});
}

TEST(Channels, DeleteTrack) {
    struct Case {
        const char* what;
        TModel before;
        int index;
        int outcome;
        bool buffer;
    };
    for (const Case& k : {
             Case{"an empty track", TModel{{1, 2}, {}, {3}}, 1, TUndoBase::Ready, false},
             Case{"the middle track", Numbered({4, 7, 2}), 1, TUndoBase::Ready, true},
             Case{"the last track", Numbered({4, 7, 2}), 2, TUndoBase::Ready, true},
             Case{"the only track", Numbered({4}), 0, TUndoBase::NoUndo, false},
             Case{"a track beyond the count", Numbered({4, 5}), 2, TUndoBase::NoUndo, false},
             Case{"a negative index", Numbered({4, 5}), -1, TUndoBase::NoUndo, false},
         }) {
        TDoc d(k.before);
        TDelChannel record(d.Window, k.index);
        EXPECT_EQ(record.Outcome, k.outcome) << k.what;
        EXPECT_EQ(bool(record.SavedSamples), k.buffer) << k.what;
        if (record.Outcome != TUndoBase::Ready)
            continue;
        d.Doc.DeleteChannel(k.index);
        TModel after = k.before;
        after.erase(after.begin() + k.index);
        Alternate(record, d.Window, k.before, after);
    }
}

TEST(Replacement, SilenceOnAllChannelsAlternates) {
    const TModel before = Numbered({10, 10});
    TDoc d(before);
    TReplacement record(d.Window, TSampleRange(2, 7));
    ASSERT_EQ(record.Outcome, TUndoBase::Ready);
    d.Doc.Silence(TSampleRange(2, 7));
    Alternate(record, d.Window, before, Snapshot(d.Doc));
}

TEST(Replacement, AFadePastAShorterChannelsEndIsUndoneAndRedoneWithItsNewPart) {
    const TModel before = Numbered({10, 4});
    TDoc d(before);
    const TSampleRange range(2, 8);
    TReplacement record(d.Window, range);
    ASSERT_EQ(record.Outcome, TUndoBase::Ready);
    EXPECT_EQ(d.Doc.Channel(1).Count, 8u) << "lengthened with silence before the change";
    // A fade leaves the new silence silent; give that room something to keep.
    d.Doc.Amplify(range, 0.0, 1.0);
    for (uint32_t i = 2; i < 8; ++i)
        d.Doc.Channel(1).MutableSamples(i)[0] += 7;
    const TModel after = Snapshot(d.Doc);
    Alternate(record, d.Window, before, after);
    EXPECT_FALSE(record.Beyond);
}

TEST(Replacement, AnEchoTailPastEveryEndComesBackOnRedo) {
    const TModel before = Numbered({10, 6, 0});
    TDoc d(before);
    const TSampleRange range(4, 14);
    TReplacement record(d.Window, range);
    ASSERT_EQ(record.Outcome, TUndoBase::Ready);
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(d.Doc.Channel(c).Count, 14u);
        for (uint32_t i = 4; i < 14; ++i)
            d.Doc.Channel(c).MutableSamples(i)[0] = int32_t(i * 11 + c);
    }
    // A change may also lengthen a channel beyond the range.
    d.Doc.Channel(2).SetSize(16);
    d.Doc.Channel(2).MutableSamples(15)[0] = 99;
    const TModel after = Snapshot(d.Doc);
    Alternate(record, d.Window, before, after);
}

TEST(Replacement, AnEmptyRangeKeepsNothingAndChangesNothing) {
    const TModel before = Numbered({10, 4});
    TDoc d(before);
    for (const TSampleRange& range :
         {TSampleRange(), TSampleRange(5, 5), TSampleRange(12, 20), TSampleRange(1, 4, 2)}) {
        TReplacement record(d.Window, range);
        EXPECT_EQ(record.Outcome, TUndoBase::NoUndo);
        EXPECT_FALSE(record.SavedSamples);
        EXPECT_EQ(Snapshot(d.Doc), before);
    }
}
