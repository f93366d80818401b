// The undo-size question: asked by every record that copies samples when the
// copy is over the limit, and what each answer leaves behind.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "support/scriptedmsgbox.h"
#include "undo/undo.h"
#include "undotest.h"

using namespace NSUndo;
using namespace NSUndoTest;
using NSWave::TFile;

namespace {

struct TRecordKind {
    const char* name;
    std::function<TUndoBase*(TBareWindow&, uint32_t)> make;
};

// Each builds a record that copies exactly n samples from a document made by
// Make: the ranges count over both channels.
const TRecordKind Kinds[] = {
    {"deletion",
     [](TBareWindow& w, uint32_t n) { return new TDeletion(w, TSampleRange(0, n / 2)); }},
    {"replacement",
     [](TBareWindow& w, uint32_t n) { return new TReplacement(w, TSampleRange(0, n / 2)); }},
    {"track deletion", [](TBareWindow& w, uint32_t) { return new TDelChannel(w, 0); }},
};

const char* const Text =
    "This operation will create an excessive amount of 'undo' data (1025KB).  Do you want to be "
    "able to undo this operation?\n\nSelect 'Cancel' to cancel the operation.";

// A channel of n samples and one of n / 2, all of them ones.
void Make(TFile& doc, uint32_t n) {
    doc.SetChannelCount(2);
    for (int c = 0; c < 2; ++c) {
        doc.Channel(c).SetSize(c == 0 ? n : n / 2);
        int32_t* s = doc.Channel(c).MutableSamples(0);
        std::fill(s, s + doc.Channel(c).Count, 1);
    }
}

bool HoldsSamples(const TUndoBase& record) {
    if (auto* r = dynamic_cast<const TReplacement*>(&record))
        return bool(r->SavedSamples);
    if (auto* r = dynamic_cast<const TDeletion*>(&record))
        return bool(r->SavedSamples);
    if (auto* r = dynamic_cast<const TDelChannel*>(&record))
        return bool(r->SavedSamples);
    return false;
}

} // namespace

TEST(UndoSize, TheLimitIsOneMegabyteAndItsRemainderPasses) {
    // 262,144 samples are exactly 1024 KB; 262,398 samples (1,049,592
    // bytes) are 1024 KB once the division drops the remainder; 262,400 are
    // 1025 KB and ask.
    for (const TRecordKind& kind : Kinds)
        for (uint32_t n : {262144u, 262398u}) {
            TFile doc;
            Make(doc, n);
            TBareWindow window(doc);
            std::unique_ptr<TUndoBase> record(kind.make(window, n));
            EXPECT_EQ(record->Outcome, TUndoBase::Ready) << kind.name << " " << n;
        }
}

TEST(UndoSize, OverTheLimitEachAnswerDecides) {
    struct Answer {
        int answer;
        int outcome;
    };
    for (const TRecordKind& kind : Kinds)
        for (const Answer& a : {Answer{IdYes, TUndoBase::Ready}, Answer{IdNo, TUndoBase::NoUndo},
                                Answer{IdCancel, TUndoBase::Cancelled}}) {
            TFile doc;
            Make(doc, 262400);
            const TModel before = Snapshot(doc);
            TBareWindow window(doc);
            TScriptedMessageBoxes boxes;
            boxes.Expect(Text, a.answer);
            std::unique_ptr<TUndoBase> record(kind.make(window, 262400));
            EXPECT_EQ(record->Outcome, a.outcome) << kind.name;
            ASSERT_EQ(boxes.Shown.size(), 1u);
            EXPECT_EQ(boxes.Shown[0].Text, Text);
            EXPECT_EQ(boxes.Shown[0].Caption, "Brimvale");
            EXPECT_EQ(boxes.Shown[0].Buttons, TMsgButtons::YesNoCancel);
            EXPECT_EQ(boxes.Shown[0].Icon, TMsgIcon::Question);
            // Only a kept record may have touched the document (a replacement
            // makes room for its range), and only a kept one holds samples.
            if (a.answer != IdYes) {
                EXPECT_EQ(Snapshot(doc), before) << kind.name;
            }
            EXPECT_EQ(HoldsSamples(*record), a.answer == IdYes) << kind.name;
        }
}

TEST(UndoSize, InsertionsAndTrackAdditionsNeverAsk) {
    TFile doc;
    Make(doc, 600000);
    TBareWindow window(doc);
    TInsertion insertion(window, TSampleRange(0, 600000), TTmpFile(), 0, -1);
    EXPECT_EQ(insertion.Outcome, TUndoBase::Ready);
    EXPECT_TRUE(insertion.SavedSamples);
    TAddChannel addition(window);
    EXPECT_EQ(addition.Outcome, TUndoBase::Ready);
}

TEST(UndoSize, AnAnswerOfNoKindCancels) {
    TFile doc;
    Make(doc, 262400);
    TBareWindow window(doc);
    TScriptedMessageBoxes boxes;
    boxes.Expect("excessive", IdOk);
    TDeletion record(window, TSampleRange(0, 262400));
    EXPECT_EQ(record.Outcome, TUndoBase::Cancelled);
}
