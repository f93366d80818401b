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
    std::optional<TModelRecord> Undo, Redo;
    std::optional<TSound> Clip;

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
        TModelRecord record{Sound, {}, Selection, Selection, Modified};
        change();
        Redo.reset();
        Undo.reset();
        if (ready) {
            record.After = Sound;
            Undo = record;
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
        if (Undo) {
            TModelRecord record = *Undo;
            Undo.reset();
            Sound = record.Before;
            Modified = record.ModifiedBefore;
            record.SelectionAfter = Selection;
            Selection = record.SelectionBefore;
            Redo = record;
        } else if (Redo) {
            TModelRecord record = *Redo;
            Redo.reset();
            Sound = record.After;
            Modified = true;
            Selection = record.SelectionAfter;
            Undo = record;
        }
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
    void Run(uint32_t seed);
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
            return m.Undo || m.Redo;
        default:
            return true;
        }
    }
};

constexpr int Commands[] = {CmdCut,      CmdCopy,     CmdPaste,       CmdDelete,      CmdSelectAll,
                            CmdDeselect, CmdSilence,  CmdAllChannels, CmdReverse,     CmdFadeIn,
                            CmdFadeOut,  CmdAddTrack, CmdDeleteTrack, CmdMergeTracks, CmdUndo};

TEST_F(RandomEditTest, CommandsAndUndoMatchAModel) {
    for (uint32_t seed : {20240614u, 7u, 1234567u}) {
        Random.seed(seed);
        Run(seed);
        if (HasFatalFailure())
            return;
    }
}

void RandomEditTest::Run(uint32_t seed) {
    QGuiApplication::clipboard()->clear();
    TModel m;
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
        if (kind == 0) {
            const int percent = Pick(-300, 300);
            what += "amplitude " + std::to_string(percent);
            EXPECT_TRUE(w->ApplyAmplitude(percent));
            const double f = percent * 0.01;
            m.InPlace(m.EffectiveRange(), [&](int32_t* s, size_t n) { TModel::Ramp(s, n, f, f); });
        } else {
            const int id = kind < 3 ? CmdUndo : Commands[Pick(0, int(std::size(Commands)) - 1)];
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
                }
            }
        }
        m.Settle();
        ASSERT_EQ(Snapshot(w->Document), m.Sound) << what;
        ASSERT_EQ(w->Selection, m.Selection) << what;
        ASSERT_EQ(w->HasUndo(), m.Undo.has_value()) << what;
        ASSERT_EQ(w->HasRedo(), m.Redo.has_value()) << what;
        ASSERT_EQ(w->IsModified(), m.Modified) << what;
        ASSERT_EQ(TWaveWin::Windows().size(), 1u);
    }
    w->SetModified(false);
    w->Child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
