#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wavetest.h"

using NSWave::TFile;
using namespace NSWaveTest;
using V = std::vector<int32_t>;

namespace {

TEST(Document, ConstructionAndRangeCopy) {
    TFile doc(44100, 2, 2, 3);
    EXPECT_EQ(doc.ChannelCount(), 3);
    EXPECT_EQ(doc.GetLength(), 0u);
    Fill(doc, {{1, 2, 3}, {4, 5}});
    doc.Comment = "note";

    TFile all(doc, TSampleRange(1, 3));
    EXPECT_EQ(all.Rate, 44100);
    EXPECT_EQ(all.Size, 2);
    EXPECT_EQ(all.Comment, "note");
    ASSERT_EQ(all.ChannelCount(), 2);
    EXPECT_EQ(Samples(all.Channel(0)), (V{2, 3}));
    EXPECT_EQ(Samples(all.Channel(1)), (V{5, 0}));

    TFile one(doc, TSampleRange(0, 2, 1));
    ASSERT_EQ(one.ChannelCount(), 1);
    EXPECT_EQ(Samples(one.Channel(0)), (V{4, 5}));
    TFile missing(doc, TSampleRange(0, 2, 5));
    EXPECT_EQ(missing.ChannelCount(), 0);
}

TEST(Document, CopyOutOverChannelsOfDifferentLengths) {
    TFile doc;
    Fill(doc, {{1, 2, 3, 4, 5}, {6, 7}});
    TSampleRange r(1, 4);
    ASSERT_EQ(doc.CountSamples(r), 3u + 1u);
    std::vector<int32_t> buf(4);
    EXPECT_EQ(doc.CopyOut(r, buf.data()), buf.data() + doc.CountSamples(r));
    EXPECT_EQ(buf, (V{2, 3, 4, 7})); // channel by channel, not interleaved
    std::vector<int32_t> back = {20, 30, 40, 70};
    EXPECT_EQ(doc.SwapRange(r, back.data()), back.data() + 4);
    EXPECT_EQ(back, (V{2, 3, 4, 7}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{6, 70}));
    EXPECT_EQ(doc.CountSamples(TSampleRange(1, 4, 9)), 0u);
    EXPECT_EQ(doc.CountSamples(TSampleRange()), 0u);
}

TEST(Document, ChannelCountInsertAndDelete) {
    TFile doc;
    Fill(doc, {{1}, {2}});
    doc.InsertChannel(1);
    doc.InsertChannel(-4); // appends
    doc.InsertChannel(99); // appends
    ASSERT_EQ(doc.ChannelCount(), 5);
    EXPECT_EQ(doc.Channel(1).Count, 0u);
    EXPECT_EQ(doc.Channel(2).Samples[0], 2);
    doc.DeleteChannel(7); // outside: nothing
    doc.DeleteChannel(0);
    EXPECT_EQ(doc.ChannelCount(), 4);
    doc.SetChannelCount(1);
    EXPECT_EQ(doc.ChannelCount(), 1);
    doc.SetSize(4, 2);
    EXPECT_EQ(Samples(doc.Channel(1)), (V{0, 0, 0, 0}));
}

TEST(Document, ExtendAddsChannelsAndSilence) {
    TFile doc;
    Fill(doc, {{1, 2}});
    doc.Extend(TSampleRange(0, 3, 2));
    ASSERT_EQ(doc.ChannelCount(), 3);
    EXPECT_EQ(Samples(doc.Channel(2)), (V{0, 0, 0}));
    EXPECT_EQ(doc.Channel(1).Count, 0u);
    doc.Extend(TSampleRange(0, 4));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(doc.Channel(i).Count, 4u);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 2, 0, 0}));
}

TEST(Document, SilenceInsertAndDeleteClipToTheDocument) {
    TFile doc;
    Fill(doc, {{1, 2, 3, 4}, {5, 6}});
    doc.Silence(TSampleRange(1, 9));
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 0, 0, 0}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{5, 0}));

    Fill(doc, {{1, 2, 3, 4}, {5, 6}});
    doc.InsertSilence(TSampleRange(3, 5)); // beyond channel 1's end: padded to End
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 2, 3, 0, 0, 4}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{5, 6, 0, 0, 0}));

    Fill(doc, {{1, 2, 3, 4}, {5, 6}});
    doc.DeleteRange(TSampleRange(1, 3), true);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 4}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{5}));
    doc.DeleteRange(TSampleRange(0, 1, 1), false);
    EXPECT_EQ(Samples(doc.Channel(1)), (V{0}));
}

TEST(Document, InsertSilenceThatWouldOverflowChangesNoChannel) {
    TFile doc;
    Fill(doc, {{1, 2}, {3, 4, 5}});
    EXPECT_THROW(doc.InsertSilence(TSampleRange(1, UINT32_MAX - 1)), xmsg);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 2}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{3, 4, 5}));
}

TEST(Document, AmplifyInvalidRangeMeansWholeDocumentEmptyMeansNothing) {
    TFile doc;
    Fill(doc, {{100, 100}, {100}});
    doc.Amplify(TSampleRange(1, 1), 0, 0);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{100, 100}));
    TOpStatus status;
    status.SetPercent(0);
    doc.Amplify(TSampleRange(), 2, 2, &status);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{200, 200}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{200}));
    doc.Amplify(TSampleRange(0, 5, 1), 0.5, 0.5);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{200, 200}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{100}));
}

// Paste: where each source channel goes.
TEST(DocumentPaste, ChannelMapping) {
    const int32_t a = 1 << 20, b = 3 << 20;
    struct Case {
        const char* name;
        std::vector<V> target;
        std::vector<V> source;
        TSampleRange range;
        TSampleRange result;
        std::vector<V> expected;
    };
    const Case cases[] = {
        {"1->3 copies into every channel",
         {{0, 0}, {0, 0}, {0, 0}},
         {{a, b}},
         TSampleRange(1, 1),
         TSampleRange(1, 3),
         {{0, a, b, 0}, {0, a, b, 0}, {0, a, b, 0}}},
        {"2->3 mixes down",
         {{0, 0}, {0, 0}, {0, 0}},
         {{a, a}, {b, -b}},
         TSampleRange(1, 1),
         TSampleRange(1, 3),
         {{0, a + b, a - b, 0}, {0, a + b, a - b, 0}, {0, a + b, a - b, 0}}},
        {"2->2 channel for channel",
         {{0, 0, 0}, {0, 0, 0}},
         {{a, a}, {b, b}},
         TSampleRange(0, 1),
         TSampleRange(0, 2),
         {{a, a, 0, 0}, {b, b, 0, 0}}},
        {"single target gets source channel 0",
         {{0, 0}, {0, 0}},
         {{a}},
         TSampleRange(2, 2, 1),
         TSampleRange(2, 3, 1),
         {{0, 0}, {0, 0, a}}},
        {"two channels into one target mix down",
         {{0, 0}, {0, 0}},
         {{a}, {b}},
         TSampleRange(0, 0, 0),
         TSampleRange(0, 1, 0),
         {{a + b, 0, 0}, {0, 0}}},
        {"missing target channel is created",
         {{0}},
         {{a}},
         TSampleRange(2, 2, 2),
         TSampleRange(2, 3, 2),
         {{0}, {}, {0, 0, a}}},
        {"invalid range appends after the longest channel",
         {{0, 0, 0}, {0}},
         {{a}},
         TSampleRange(),
         TSampleRange(3, 4),
         {{0, 0, 0, a}, {0, 0, 0, a}}},
    };
    for (const Case& k : cases) {
        TFile doc(22050, 2, 2, int(k.target.size()));
        for (size_t i = 0; i < k.target.size(); ++i)
            Fill(doc.Channel(int(i)), k.target[i]);
        TFile source(22050, 2, 2, int(k.source.size()));
        for (size_t i = 0; i < k.source.size(); ++i)
            Fill(source.Channel(int(i)), k.source[i]);
        EXPECT_EQ(doc.Paste(source, k.range), k.result) << k.name;
        ASSERT_EQ(doc.ChannelCount(), int(k.expected.size())) << k.name;
        for (size_t i = 0; i < k.expected.size(); ++i)
            EXPECT_EQ(Samples(doc.Channel(int(i))), k.expected[i]) << k.name << " channel " << i;
    }
}

TEST(DocumentPaste, MixDownSaturatesAtExactly0x7FFFFF) {
    struct Case {
        int32_t x, y, expected;
    };
    const Case cases[] = {
        {INT32_MAX, INT32_MAX, INT32_MAX},
        {0x7FFFFE00, 0x100, INT32_MAX},           // sum 0x7FFFFF: saturates
        {0x7FFFFD00, 0x100, int32_t(0x7FFFFE00)}, // sum 0x7FFFFE: kept
        {INT32_MIN, INT32_MIN, INT32_MIN},
        {-0x40000000, -0x40000000, INT32_MIN}, // sum -0x800000 exactly: kept
        {-0x40000000, -0x40000100, INT32_MIN}, // below: saturates
        {0x1FF, 0x1FF, 0x200},                 // each shifted before adding
    };
    for (const Case& k : cases) {
        TFile doc(22050, 2, 2, 3);
        TFile source(22050, 2, 2, 2);
        Fill(source, {{k.x}, {k.y}});
        doc.Paste(source, TSampleRange(0, 0));
        EXPECT_EQ(doc.Channel(2).Samples[0], k.expected) << std::hex << k.x << " + " << k.y;
    }
}

TEST(DocumentPaste, ReplacesASelectionAndPadsShortChannels) {
    TFile doc;
    Fill(doc, {{1, 2, 3, 4, 5}, {6}});
    TFile source(22050, 2, 1, 2);
    Fill(source, {{7}, {8, 9}}); // channel 0 shorter: silence beyond its end
    TSampleRange result = doc.Paste(source, TSampleRange(1, 4));
    EXPECT_EQ(result, TSampleRange(1, 3));
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 7, 0, 5}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{6, 8, 9}));
}

TEST(DocumentPaste, SourceWithoutChannelsChangesNothing) {
    TFile doc;
    Fill(doc, {{1, 2}});
    TFile source(22050, 2, 1, 0);
    EXPECT_FALSE(doc.Paste(source, TSampleRange(0, 1)).Valid);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 2}));
}

TEST(DocumentPaste, OneChannelDocumentTakesAllChannelsAsChannelZero) {
    TFile doc;
    Fill(doc, {{1, 2}});
    TFile source(22050, 2, 1, 1);
    Fill(source, {{5}});
    EXPECT_EQ(doc.Paste(source, TSampleRange(1, 1)), TSampleRange(1, 2, 0));
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 5, 2}));
}

TEST(DocumentPaste, OverflowIsRefusedBeforeAnyChange) {
    TFile doc;
    Fill(doc, {{1, 2, 3}});
    TFile source(22050, 2, 1, 1);
    Fill(source, {{5, 6}});
    EXPECT_THROW(doc.Paste(source, TSampleRange(UINT32_MAX - 1, UINT32_MAX - 1)), xmsg);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 2, 3}));
}

} // namespace
