// Hundreds of random commands through the window, with Undo at random,
// each checked against a plain model of the sound, the selection, the undo
// and redo slots, the modified flag, the clipboard and the enabled commands.

#include <QMdiSubWindow>
#include <algorithm>
#include <optional>
#include <random>

#include "wavewin/edittest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

struct TModelRecord {
    TSound Before, After;
    TSampleRange SelectionBefore, SelectionAfter;
    bool ModifiedBefore;
    std::string Name;
};

int32_t Mix(const TSound& sound, size_t k) {
    int64_t sum = 0;
    for (const V& channel : sound)
        if (k < channel.size())
            sum += channel[k] >> 8;
    if (sum >= 0x7FFFFF)
        return INT32_MAX;
    if (sum < -0x800000)
        return INT32_MIN;
    return int32_t(uint32_t(sum) << 8);
}

class TModel {
public:
    TSound Sound;
    TSampleRange Selection;
    bool Modified = false;
    // Oldest first; together never more than Levels records.
    std::vector<TModelRecord> Undo, Redo;
    std::optional<TSound> Clip;
    int Levels = 1;
    // The name the running command gives its record.
    std::string Name = "Edit";

    size_t Length() const {
        size_t n = 0;
        for (const V& c : Sound)
            n = std::max(n, c.size());
        return n;
    }
    bool HasRange() const { return Selection.Valid && Selection.Start < Selection.End; }
    bool Single() const { return Selection.Valid && Selection.Channel != AllChannels; }

    std::vector<int> Affected(const TSampleRange& r) const {
        std::vector<int> list;
        for (int c = 0; c < int(Sound.size()); ++c)
            if (r.Channel == AllChannels || r.Channel == c)
                list.push_back(c);
        return list;
    }
    size_t Count(const TSampleRange& r) const {
        size_t n = 0;
        if (r.Valid)
            for (int c : Affected(r))
                if (r.Start < Sound[size_t(c)].size())
                    n += std::min<size_t>(r.End, Sound[size_t(c)].size()) - r.Start;
        return n;
    }

    // A command that goes through AddUndo: `ready` keeps undo data, else the
    // history goes.
    template <class F> void Edit(bool ready, F change) {
        TModelRecord record{Sound, {}, Selection, Selection, Modified, Name};
        change();
        Redo.clear();
        if (ready) {
            record.After = Sound;
            Undo.push_back(record);
            if (int(Undo.size()) > Levels)
                Undo.erase(Undo.begin());
        } else {
            Undo.clear();
        }
        Modified = true;
    }

    TSound Extract(const TSampleRange& r) const {
        const size_t end = std::min<size_t>(r.End, Length());
        const size_t frames = end > r.Start ? end - r.Start : 0;
        TSound clip;
        const int channel = Sound.size() == 1 ? 0 : r.Channel;
        for (int c = 0; c < int(Sound.size()); ++c) {
            if (channel != AllChannels && channel != c)
                continue;
            V part(frames, 0);
            for (size_t i = 0; i < frames; ++i)
                if (r.Start + i < Sound[size_t(c)].size())
                    part[i] = Sound[size_t(c)][r.Start + i];
            clip.push_back(part);
        }
        return clip;
    }

    void DeleteRange(const TSampleRange& r) {
        for (int c : Affected(r)) {
            V& ch = Sound[size_t(c)];
            if (r.Start < ch.size())
                ch.erase(ch.begin() + r.Start, ch.begin() + std::min<size_t>(r.End, ch.size()));
        }
    }

    void Cut(bool toClipboard) {
        const TSampleRange r = Selection;
        if (toClipboard)
            Clip = Extract(r);
        Edit(Count(r) > 0, [&] {
            DeleteRange(r);
            Selection.End = Selection.Start;
        });
    }

    void Paste() {
        TSampleRange r = Selection.Valid ? Selection : TSampleRange(Length(), Length());
        if (r.Channel == AllChannels && Sound.size() == 1)
            r.Channel = 0;
        const TSound& clip = *Clip;
        const size_t n = clip.front().size();
        Edit(true, [&] {
            DeleteRange(r);
            const std::vector<int> targets = Affected(r);
            for (size_t t = 0; t < targets.size(); ++t) {
                V& ch = Sound[size_t(targets[t])];
                if (ch.size() < r.Start)
                    ch.resize(r.Start, 0);
                V material(n);
                for (size_t k = 0; k < n; ++k)
                    material[k] = clip.size() == targets.size() ? clip[t][k]
                                  : clip.size() == 1            ? clip[0][k]
                                                                : Mix(clip, k);
                ch.insert(ch.begin() + r.Start, material.begin(), material.end());
            }
            Selection = TSampleRange(r.Start, uint32_t(r.Start + n), r.Channel);
        });
    }

    TSampleRange EffectiveRange() const {
        if (Selection.Valid && Selection.Start == Selection.End)
            return TSampleRange(0, uint32_t(Length()), Selection.Channel);
        return Selection.Valid ? Selection : TSampleRange(0, uint32_t(Length()));
    }

    // The in-place changes: over the range up to the end of the sound (of
    // its channel, for one channel), with the channels concerned lengthened
    // to it first.
    template <class F> void InPlace(TSampleRange r, F change) {
        r.End = std::min<uint32_t>(r.End, uint32_t(Length()));
        if (r.Valid && r.Channel != AllChannels)
            r.End = r.Channel < int(Sound.size())
                        ? std::min<uint32_t>(r.End, uint32_t(Sound[size_t(r.Channel)].size()))
                        : 0;
        if (!r.Valid || r.Start >= r.End)
            return;
        Edit(Count(r) > 0, [&] {
            for (int c : Affected(r)) {
                V& ch = Sound[size_t(c)];
                if (ch.size() < r.End)
                    ch.resize(r.End, 0);
                change(ch.data() + r.Start, size_t(r.End - r.Start));
            }
        });
    }

    // The ramp as written: (n − i)·from/n + i·to/n on sample i, saturated,
    // truncated toward zero.
    static void Ramp(int32_t* s, size_t n, double from, double to) {
        const double count = double(n);
        for (size_t i = 0; i < n; ++i) {
            const double gain = (count - double(i)) * from / count + double(i) * to / count;
            const double v = gain * double(s[i]);
            s[i] = v >= 2147483647.0 ? INT32_MAX : v <= -2147483648.0 ? INT32_MIN : int32_t(v);
        }
    }

    void UndoCommand() {
        if (!Undo.empty()) {
            TModelRecord record = Undo.back();
            Undo.pop_back();
            Sound = record.Before;
            Modified = record.ModifiedBefore;
            record.SelectionAfter = Selection;
            Selection = record.SelectionBefore;
            Redo.push_back(record);
        } else if (Levels == 1) {
            RedoCommand();
        }
    }
    void RedoCommand() {
        if (!Redo.empty()) {
            TModelRecord record = Redo.back();
            Redo.pop_back();
            Sound = record.After;
            Modified = true;
            Selection = record.SelectionAfter;
            Undo.push_back(record);
        }
    }
    // What the Edit menu's two items read.
    QString UndoText() const {
        if (Levels == 1)
            return !Redo.empty() && Undo.empty() ? "Redo\tCtrl+Z" : "&Undo\tCtrl+Z";
        return Undo.empty() ? QString("&Undo\tCtrl+Z")
                            : QString::fromStdString("&Undo " + Undo.back().Name + "\tCtrl+Z");
    }
    QString RedoText() const {
        return Redo.empty()
                   ? QString("&Redo\tCtrl+Shift+Z")
                   : QString::fromStdString("&Redo " + Redo.back().Name + "\tCtrl+Shift+Z");
    }

    // The view forgets a selection on a channel that has gone.
    void Settle() {
        if (Single() && Selection.Channel >= int(Sound.size()))
            Selection = TSampleRange();
    }
};

class RandomEditTest : public EditTest {
protected:
    std::mt19937 Random{20240614};
    void Run(uint32_t seed, int levels);
    int Pick(int a, int b) { return std::uniform_int_distribution<int>(a, b)(Random); }

    V Noise(size_t n) {
        V v(n);
        for (int32_t& s : v)
            s = int32_t(Random());
        return v;
    }

    TSampleRange AnySelection(const TModel& m) {
        const int length = int(m.Length());
        const uint32_t a = uint32_t(Pick(0, length + 3));
        const uint32_t b = Pick(0, 4) == 0 ? a : uint32_t(Pick(0, length + 3));
        const int channel = Pick(0, 2) == 0 ? AllChannels : Pick(0, int(m.Sound.size()) - 1);
        TSampleRange r(a, b, channel);
        r.Valid = Pick(0, 9) != 0;
        return r;
    }

    bool Enabled(const TModel& m, int id) {
        switch (id) {
        case CmdCut:
        case CmdCopy:
        case CmdDelete:
        case CmdSilence:
            return m.HasRange();
        case CmdPaste:
            return m.Clip.has_value();
        case CmdDeselect:
            return m.Selection.Valid;
        case CmdAllChannels:
            return m.Single();
        case CmdReverse:
        case CmdFadeIn:
        case CmdFadeOut:
            return m.Length() > 0;
        case CmdAddTrack:
            return m.Sound.size() < 32;
        case CmdDeleteTrack:
            return m.Sound.size() > 1 && m.Single();
        case CmdMergeTracks:
            return m.Sound.size() > 1;
        case CmdUndo:
            return !m.Undo.empty() || (m.Levels == 1 && !m.Redo.empty());
        case CmdRedo:
            return m.Levels > 1 && !m.Redo.empty();
        default:
            return true;
        }
    }
};

constexpr int Commands[] = {CmdCut,         CmdCopy,        CmdPaste,   CmdDelete,
                            CmdSelectAll,   CmdDeselect,    CmdSilence, CmdAllChannels,
                            CmdReverse,     CmdFadeIn,      CmdFadeOut, CmdAddTrack,
                            CmdDeleteTrack, CmdMergeTracks, CmdUndo,    CmdRedo};

// The names the records take from their commands' menu items.
std::string NameOf(int id) {
    switch (id) {
    case CmdCut:
        return "Cut";
    case CmdPaste:
        return "Paste";
    case CmdDelete:
        return "Delete";
    case CmdSilence:
        return "Silence";
    case CmdReverse:
        return "Backwards";
    case CmdFadeIn:
        return "Fade In";
    case CmdFadeOut:
        return "Fade Out";
    case CmdAddTrack:
        return "Add Track";
    case CmdDeleteTrack:
        return "Delete Track";
    default:
        return "Edit";
    }
}

TEST_F(RandomEditTest, CommandsAndUndoMatchAModel) {
    for (uint32_t seed : {20240614u, 7u, 1234567u}) {
        Random.seed(seed);
        Run(seed, 1);
        if (HasFatalFailure())
            return;
    }
}

// With a history of several levels: Undo goes back step by step, Redo of
// its own goes forward, the oldest records fall away beyond the levels.
TEST_F(RandomEditTest, CommandsUndoAndRedoMatchAModelAtSeveralDepths) {
    for (int levels : {2, 5, 60}) {
        Random.seed(uint32_t(levels) * 7919u);
        Run(uint32_t(levels), levels);
        if (HasFatalFailure())
            break;
    }
    NSUndo::UndoLevelsSetting.Set(1);
}

void RandomEditTest::Run(uint32_t seed, int levels) {
    QGuiApplication::clipboard()->clear();
    NSUndo::UndoLevelsSetting.Set(levels);
    TModel m;
    m.Levels = levels;
    for (int c = 0; c < 2; ++c)
        m.Sound.push_back(Noise(size_t(Pick(100, 400))));
    TWaveWin* w = Window(m.Sound);

    for (int step = 0; step < 300; ++step) {
        std::string what = "seed " + std::to_string(seed) + " step " + std::to_string(step) + ": ";
        // Most commands want a selection: set one first, often.
        if (Pick(0, 1) == 0) {
            const TSampleRange r = AnySelection(m);
            w->SetSelection(r);
            m.Selection = r;
            what += "selection, ";
        }
        const int kind = Pick(0, 9);
        m.Name = "Edit";
        if (kind == 0) {
            const int percent = Pick(-300, 300);
            what += "amplitude " + std::to_string(percent);
            EXPECT_TRUE(w->ApplyAmplitude(percent));
            const double f = percent * 0.01;
            m.InPlace(m.EffectiveRange(), [&](int32_t* s, size_t n) { TModel::Ramp(s, n, f, f); });
        } else {
            const int id = kind < 2   ? CmdUndo
                           : kind < 3 ? (levels > 1 ? CmdRedo : CmdUndo)
                                      : Commands[Pick(0, int(std::size(Commands)) - 1)];
            m.Name = NameOf(id);
            what += "command " + std::to_string(id);
            const bool enabled = Enabled(m, id);
            ASSERT_EQ(w->IsEnabled(id), enabled) << what;
            const size_t windows = TWaveWin::Windows().size();
            w->Command(id);
            if (enabled) {
                switch (id) {
                case CmdCut:
                    m.Cut(true);
                    break;
                case CmdCopy:
                    m.Clip = m.Extract(m.Selection);
                    break;
                case CmdPaste:
                    m.Paste();
                    break;
                case CmdDelete:
                    m.Cut(false);
                    break;
                case CmdSelectAll:
                    m.Selection = TSampleRange(0, uint32_t(m.Length()), m.Selection.Channel);
                    break;
                case CmdDeselect:
                    m.Selection = TSampleRange();
                    break;
                case CmdSilence:
                    m.InPlace(m.Selection, [](int32_t* s, size_t n) { std::fill(s, s + n, 0); });
                    break;
                case CmdAllChannels:
                    m.Selection.Channel = AllChannels;
                    break;
                case CmdReverse:
                    m.InPlace(m.EffectiveRange(),
                              [](int32_t* s, size_t n) { std::reverse(s, s + n); });
                    break;
                case CmdFadeIn:
                    m.InPlace(m.EffectiveRange(),
                              [](int32_t* s, size_t n) { TModel::Ramp(s, n, 0, 1); });
                    break;
                case CmdFadeOut:
                    m.InPlace(m.EffectiveRange(),
                              [](int32_t* s, size_t n) { TModel::Ramp(s, n, 1, 0); });
                    break;
                case CmdAddTrack:
                    m.Edit(true, [&] {
                        m.Sound.emplace_back();
                        m.Selection = TSampleRange();
                    });
                    break;
                case CmdDeleteTrack:
                    m.Edit(true, [&] {
                        m.Sound.erase(m.Sound.begin() + m.Selection.Channel);
                        m.Selection = TSampleRange();
                    });
                    break;
                case CmdMergeTracks: {
                    ASSERT_EQ(TWaveWin::Windows().size(), windows + 1);
                    TWaveWin* merged = TWaveWin::Windows().back();
                    V mix(m.Length());
                    for (size_t k = 0; k < mix.size(); ++k)
                        mix[k] = Mix(m.Sound, k);
                    EXPECT_EQ(Snapshot(merged->Document), TSound{mix}) << what;
                    merged->SetModified(false);
                    merged->Child->close();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                    break;
                }
                case CmdUndo:
                    m.UndoCommand();
                    break;
                case CmdRedo:
                    m.RedoCommand();
                    break;
                }
            }
        }
        m.Settle();
        ASSERT_EQ(Snapshot(w->Document), m.Sound) << what;
        ASSERT_EQ(w->Selected(), m.Selection) << what;
        ASSERT_EQ(w->HasUndo(), !m.Undo.empty()) << what;
        ASSERT_EQ(w->HasRedo(), !m.Redo.empty()) << what;
        ASSERT_EQ(w->UndoHistory().UndoCount(), int(m.Undo.size())) << what;
        const TCommandState state = w->CommandState();
        ASSERT_EQ(ItemText(*FindCommand(CmdUndo), state), m.UndoText()) << what;
        ASSERT_EQ(CommandShown(CmdRedo, state), levels > 1) << what;
        if (levels > 1) {
            ASSERT_EQ(ItemText(*FindCommand(CmdRedo), state), m.RedoText()) << what;
        }
        ASSERT_EQ(w->IsModified(), m.Modified) << what;
        ASSERT_EQ(TWaveWin::Windows().size(), 1u);
    }
    w->SetModified(false);
    w->Child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

namespace {

class HistoryTest : public EditTest {};

const char* Question(int kb) {
    static std::string text;
    text = "This operation will create an excessive amount of 'undo' data (" + std::to_string(kb) +
           "KB).  Do you want to be able to undo this operation?\n\nSelect 'Cancel' to cancel the "
           "operation.";
    return text.c_str();
}

} // namespace

// The undo-size question counts the records the history keeps beside the
// new one; a save marks where the sound matches its file again.
TEST_F(HistoryTest, TheUndoSizeQuestionCountsTheHistoryAndASaveMovesTheModifiedMark) {
    // 76,800 samples of one channel are 300 KB of undo data.
    TWaveWin* w = Window({V(76800, 1000)});
    auto silence = [&] {
        Select(w, 0, 76800, 0);
        w->Command(CmdSilence);
    };
    NSUndo::UndoLevelsSetting.Set(5);
    silence();
    silence();
    silence();
    EXPECT_EQ(w->UndoHistory().UndoCount(), 3);
    Boxes.Expect(Question(1200), IdYes);
    silence();
    EXPECT_EQ(w->UndoHistory().UndoCount(), 4);
    // No: this change without undo, and the history goes.
    Boxes.Expect(Question(1500), IdNo);
    silence();
    EXPECT_FALSE(w->HasUndo());
    silence();
    EXPECT_EQ(w->UndoHistory().UndoCount(), 1);
    // One level asks about the new record alone.
    NSUndo::UndoLevelsSetting.Set(1);
    for (int i = 0; i < 4; ++i)
        silence();
    EXPECT_EQ(w->UndoHistory().UndoCount(), 1);

    NSUndo::UndoLevelsSetting.Set(3);
    w->Command(CmdUndo);
    EXPECT_FALSE(w->HasUndo());
    Fill(w->Document, {V(76800, 7)});
    silence();
    TWaveWinProbe::FileName(*w) = Path("saved.wav");
    ASSERT_TRUE(w->SaveFile(false));
    silence();
    EXPECT_EQ(ItemText(*FindCommand(CmdUndo), w->CommandState()), "&Undo Silence\tCtrl+Z");
    w->Command(CmdUndo);
    EXPECT_FALSE(w->IsModified());
    // Before the save the sound differed from the file.
    w->Command(CmdUndo);
    EXPECT_TRUE(w->IsModified());
    w->Command(CmdRedo);
    EXPECT_TRUE(w->IsModified());
    w->Command(CmdRedo);
    EXPECT_TRUE(w->IsModified());
    w->Command(CmdUndo);
    EXPECT_FALSE(w->IsModified());
    // A change that keeps no samples comes back to the file just the same.
    Select(w, 0, 76800, 0);
    w->Command(CmdReverse);
    EXPECT_TRUE(w->IsModified());
    w->Command(CmdUndo);
    EXPECT_FALSE(w->IsModified());
    w->SetModified(false);
    NSUndo::UndoLevelsSetting.Set(1);
}
