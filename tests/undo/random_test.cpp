// A long random run of edits of every kind over channels of unequal lengths,
// each followed at random by nothing, Undo, Undo and Redo, or more
// alternations. After every step the document must equal, sample for sample
// and length for length, the plain copy of the state it should be in.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

#include "undo/history.h"
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

namespace {

// A window that keeps a history of `Levels` as the document window does:
// records push the ones beyond the levels out, and let go of them before
// they allocate.
class THistoryWindow : public TBareWindow {
public:
    THistoryWindow(TFile& doc, int levels) : TBareWindow(doc), Levels(levels) {}
    uint64_t KeptUndoBytes() override { return History.NewestBytes(Levels - 1); }
    void DropPushedOut() override { History.DropPushedOut(Levels); }
    // The user keeps the undo data of a long sound.
    int MessageBox(const std::string&, const std::string&, TMsgButtons, TMsgIcon) override {
        return IdYes;
    }

    TUndoHistory History;
    int Levels;
};

// Whole-sound and partial in-place changes, reversals, Undo and Redo at
// random against a plain model: the states Undo and Redo must give, and
// the bytes each record holds (a whole-range change the channels' old
// samples, a partial one its range, a reversal nothing). Amplify writing
// from the handed-over array must give exactly what it gives in place.
class THistoryRun {
public:
    THistoryRun(int levels, uint32_t longest) : Doc(44100, 2, 4, 0), Window(Doc, levels) {
        TModel start(3);
        for (auto& channel : start)
            channel = Noise(uint32_t(Pick(int(longest / 2), int(longest))));
        start[2].resize(start[2].size() / 8);
        Fill(Doc, start);
        Current = start;
    }

    void Step(int step) {
        switch (Pick(0, 9)) {
        case 0:
        case 1:
            Undo(step);
            break;
        case 2:
            Redo(step);
            break;
        default:
            Change(step);
            break;
        }
        // What the history holds is exactly what the model's records do.
        uint64_t bytes = 0;
        for (const TState& s : Undos)
            bytes += s.Bytes;
        for (const TState& s : Redos)
            bytes += s.Bytes;
        EXPECT_EQ(Window.History.HeldBytes(), bytes) << "step " << step;
        EXPECT_LE(Window.History.UndoCount() + Window.History.RedoCount(), Window.Levels);
        ASSERT_EQ(Snapshot(Doc), Current) << "step " << step;
    }

    std::map<std::string, int> Done;

private:
    // A change in the model: the state before it and what its record holds.
    struct TState {
        TModel Before;
        uint64_t Bytes;
    };

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Rng); }

    std::vector<int32_t> Noise(uint32_t n) {
        std::vector<int32_t> samples(n);
        for (auto& s : samples)
            s = int32_t(Rng());
        return samples;
    }

    uint32_t Longest() const {
        size_t n = 0;
        for (const auto& c : Current)
            n = std::max(n, c.size());
        return uint32_t(n);
    }

    // The whole sound on every channel or on one, or at most half of the
    // longest channel (within every channel it reaches, at most half of it).
    TSampleRange AnyRange(bool& whole) {
        whole = Pick(0, 1) == 0;
        const uint32_t length = Longest();
        if (whole)
            return Pick(0, 3) == 0 ? TSampleRange(0, uint32_t(Current[0].size()), 0)
                                   : TSampleRange(0, length);
        const uint32_t n = uint32_t(Pick(1, int(Current[1].size() / 2)));
        const uint32_t start = uint32_t(Pick(0, int(Current[1].size() - n)));
        return TSampleRange(start, start + n, Pick(0, 2) == 0 ? 1 : AllChannels);
    }

    // The model's bytes for a replacement of `range`: the channels it
    // covers wholly hand their old samples over, the others copy the range.
    uint64_t ReplacementBytes(const TSampleRange& range, bool whole) const {
        uint64_t n = 0;
        for (size_t c = 0; c < Current.size(); ++c) {
            if (range.Channel != AllChannels && range.Channel != int(c))
                continue;
            const uint64_t size = Current[c].size();
            n += whole
                     ? size
                     : std::min<uint64_t>(range.End, size) - std::min<uint64_t>(range.Start, size);
        }
        return 4 * n;
    }

    // The model with the channels `range` covers lengthened to its end.
    TModel Extended(const TSampleRange& range) const {
        TModel m = Current;
        for (size_t c = 0; c < m.size(); ++c)
            if ((range.Channel == AllChannels || range.Channel == int(c)) &&
                m[c].size() < range.End)
                m[c].resize(range.End);
        return m;
    }

    void Change(int step) {
        bool whole = false;
        const TSampleRange range = AnyRange(whole);
        TModel after = Extended(range);
        std::unique_ptr<TUndoBase> record;
        uint64_t bytes = 0;
        const char* kind = "";
        switch (Pick(0, 3)) {
        case 0: {
            kind = "reversal";
            for (size_t c = 0; c < after.size(); ++c)
                if (range.Channel == AllChannels || range.Channel == int(c))
                    std::reverse(after[c].begin() + range.Start, after[c].begin() + range.End);
            auto reversal = std::make_unique<TReversal>(Window, range);
            reversal->Redo(Window, nullptr);
            record = std::move(reversal);
            break;
        }
        case 1: {
            kind = "amplify";
            const double from = Pick(0, 20) * 0.1, to = Pick(0, 20) * 0.1;
            // The reference: the same gain in place on a plain copy.
            TFile plain(44100, 2, 4, 0);
            Fill(plain, after);
            plain.Amplify(range, from, to);
            after = Snapshot(plain);
            auto replacement =
                std::make_unique<TReplacement>(Window, range, TReplacement::TFill::ByChange);
            Doc.Amplify(range, from, to);
            replacement->Written(Window);
            bytes = ReplacementBytes(range, whole);
            record = std::move(replacement);
            break;
        }
        case 2: {
            kind = "silence";
            for (size_t c = 0; c < after.size(); ++c)
                if (range.Channel == AllChannels || range.Channel == int(c))
                    std::fill(after[c].begin() + range.Start, after[c].begin() + range.End, 0);
            auto replacement =
                std::make_unique<TReplacement>(Window, range, TReplacement::TFill::ByChange);
            Doc.Silence(range);
            replacement->Written(Window);
            bytes = ReplacementBytes(range, whole);
            record = std::move(replacement);
            break;
        }
        default: {
            // A change that reads the range where it is (an echo).
            kind = "rewrite";
            for (size_t c = 0; c < after.size(); ++c)
                if (range.Channel == AllChannels || range.Channel == int(c))
                    for (uint32_t i = range.End - 1; i > range.Start; --i)
                        after[c][i] = after[c][i] / 2 + after[c][i - 1] / 2;
            auto replacement = std::make_unique<TReplacement>(Window, range);
            for (int c = 0; c < Doc.ChannelCount(); ++c)
                if (range.Channel == AllChannels || range.Channel == c) {
                    int32_t* s = Doc.Channel(c).MutableSamples(0);
                    for (uint32_t i = range.End - 1; i > range.Start; --i)
                        s[i] = s[i] / 2 + s[i - 1] / 2;
                }
            bytes = ReplacementBytes(range, whole);
            record = std::move(replacement);
            break;
        }
        }
        ASSERT_EQ(record->Outcome, TUndoBase::Ready) << "step " << step << ": " << kind;
        EXPECT_EQ(record->Bytes, bytes) << "step " << step << ": " << kind;
        Window.History.Add(std::move(record), kind, Window.Levels);
        Redos.clear();
        Undos.push_back({Current, bytes});
        if (int(Undos.size()) > Window.Levels)
            Undos.erase(Undos.begin());
        Current = after;
        ++Done[std::string(kind) + (whole ? " whole" : " part")];
    }

    void Undo(int step) {
        TUndoHistory::TEntry entry = Window.History.TakeUndo();
        ASSERT_EQ(bool(entry.Record), !Undos.empty()) << "step " << step;
        if (!entry.Record)
            return;
        entry.Record->Undo(Window, nullptr);
        Window.History.PutRedo(std::move(entry));
        Redos.push_back({Current, Undos.back().Bytes});
        Current = Undos.back().Before;
        Undos.pop_back();
        ++Done["undo"];
    }

    void Redo(int step) {
        TUndoHistory::TEntry entry = Window.History.TakeRedo();
        ASSERT_EQ(bool(entry.Record), !Redos.empty()) << "step " << step;
        if (!entry.Record)
            return;
        entry.Record->Redo(Window, nullptr);
        Window.History.PutUndo(std::move(entry));
        Undos.push_back({Current, Redos.back().Bytes});
        Current = Redos.back().Before;
        Redos.pop_back();
        ++Done["redo"];
    }

    std::mt19937 Rng{20261209};
    TFile Doc;
    THistoryWindow Window;
    TModel Current;
    // Undos: the states before each change Undo takes back, oldest first;
    // Redos: the states after each change Redo applies again.
    std::vector<TState> Undos, Redos;
};

} // namespace

TEST(UndoAgainstAModel, WholeAndPartialChangesInAHistoryHoldWhatTheModelSays) {
    // Short channels, then channels long enough for mapped arrays, which a
    // new record takes over from the one it pushes out.
    for (int levels : {1, 3})
        for (uint32_t longest : {400u, 1u << 21}) {
            THistoryRun run(levels, longest);
            const int steps = longest < 1000 ? 400 : 40;
            for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step)
                run.Step(step);
            if (longest < 1000) {
                for (const char* kind : {"reversal whole", "reversal part", "amplify whole",
                                         "amplify part", "silence whole", "silence part",
                                         "rewrite whole", "rewrite part", "undo", "redo"})
                    EXPECT_GE(run.Done[kind], 5) << kind << " at " << levels << " levels";
            }
        }
}
