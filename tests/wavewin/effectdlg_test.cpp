// The effect dialogs opened through their commands on real windows: fields
// from the settings and back, the effect checked on the samples, the undo
// record, and what keeps a dialog open.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <random>

#include "dlg/dlgbar.h"
#include "undo/undo.h"
#include "wave/cancelled.h"
#include "wave/timefmt.h"
#include "wavewin/ampdlg.h"
#include "wavewin/dialogtest.h"
#include "wavewin/echodlg.h"
#include "wavewin/effectdlg.h"
#include "wavewin/othereffectdlg.h"
#include "wavewin/pitchdlg.h"
#include "wavewin/vibrodlg.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

constexpr int32_t Pulse = 1 << 28;

V Impulse(size_t n, size_t at) {
    V v(n, 0);
    v[at] = Pulse;
    return v;
}

class EffectDlgTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        for (TSetting* s : std::initializer_list<TSetting*>{
                 &TEchoDlg::DelaySetting, &TEchoDlg::VolSetting, &TVibroDlg::RadioSetting,
                 &TAmpDlg::VolSetting, &TPitchDlg::FactorSetting})
            Forget(*s);
    }
};

} // namespace

TEST_F(EffectDlgTest, EchoFillsFromTheSettingsLandsAtTheDelayAndUndoes) {
    const TSound before{Impulse(16000, 1000)};
    TWaveWin* w = Window(before, 8000);
    // First use: the defaults; Cancel changes nothing.
    EXPECT_TRUE(!Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Echo Options");
        EXPECT_EQ(TextOf(d, 2526), "1");
        EXPECT_EQ(TextOf(d, 2527), "50");
        EXPECT_EQ(d.Range(), TSampleRange(0, 16000, AllChannels));
        Cancel(d);
    }));
    EXPECT_EQ(Snapshot(w->Document), before);
    EXPECT_FALSE(w->IsModified());

    EXPECT_FALSE(Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
        Type(d, 2526, "0.25");
        Type(d, 2527, "30");
        Ok(d);
    }));
    TSound after = before;
    after[0][3000] = int32_t(Pulse * 0.3);
    V got = Snapshot(w->Document)[0];
    ASSERT_EQ(got.size(), 16000u);
    // The library's echo works in 24 bits.
    EXPECT_NEAR(got[3000], Pulse * 0.3, 256);
    got[3000] = after[0][3000];
    EXPECT_EQ(got, after[0]);
    EXPECT_TRUE(w->IsModified());
    EXPECT_TRUE(w->HasUndo());
    EXPECT_EQ(Stored("Filters\\Echo\\Delay"), "0.25");
    EXPECT_EQ(Stored("Filters\\Echo\\Vol"), "30");

    // The next dialog shows them; text that is no number reads as 0.
    Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
        EXPECT_EQ(TextOf(d, 2526), "0.25");
        EXPECT_EQ(TextOf(d, 2527), "30");
        Cancel(d);
    });
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document), before);
}

TEST_F(EffectDlgTest, ALibraryErrorOrCancelInTheUndoQuestionKeepsTheDialogOpen) {
    // 300,000 samples: 1171 KB of undo data, past the limit.
    V ramp(300000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = int32_t(i) << 8;
    const TSound before{ramp};
    TWaveWin* w = Window(before, 8000);
    // A reversal keeps no undo data: no question.
    w->Command(CmdReverse);
    w->Command(CmdUndo);
    ASSERT_EQ(Snapshot(w->Document), before);
    ASSERT_TRUE(w->HasRedo());

    EXPECT_TRUE(Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
        // Cancel at the question: nothing happened, the history is as it was.
        Boxes.Expect("excessive amount", IdCancel);
        Ok(d);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Snapshot(w->Document), before);
        EXPECT_TRUE(w->HasRedo());
        EXPECT_FALSE(w->HasUndo());

        // The library refuses a delay it cannot hold: its message, the
        // dialog stays, and the sound and its history are as they were.
        Type(d, 2526, "400");
        Boxes.Expect("excessive amount", IdYes);
        Boxes.Expect("echo: delay must be less than 320 seconds!", IdOk);
        Ok(d);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(Boxes.Shown.back().Caption, "Brimvale");
    }));
    EXPECT_EQ(Stored("Filters\\Echo\\Delay"), "400");
    EXPECT_EQ(Snapshot(w->Document), before);
    EXPECT_FALSE(w->HasUndo());
    EXPECT_TRUE(w->HasRedo());
}

TEST_F(EffectDlgTest, VibroModulatesWithTheCheckedStrength) {
    // A stored strength no button stands for opens at Medium.
    TVibroDlg::RadioSetting.Set(7);
    const int32_t level = 1 << 28;
    TWaveWin* w = Window({V(8000, level)}, 8000);
    Drive<TVibroDlg>(w, CmdVibro, [&](TVibroDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Vibro Effect");
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(static_cast<QRadioButton*>(d.Control(2537 + i))->isChecked(), i == 2) << i;
        Ok(d);
    });
    // "20 0.75": 20 Hz at 8000 samples a second, down to a quarter.
    const V got = Snapshot(w->Document)[0];
    ASSERT_EQ(got.size(), 8000u);
    for (size_t i = 0; i + 400 < got.size(); i += 37)
        EXPECT_NEAR(got[i], got[i + 400], level / 1000.0) << i;
    auto [lo, hi] = std::minmax_element(got.begin(), got.end());
    EXPECT_NEAR(*hi, level, level * 0.01);
    EXPECT_NEAR(*lo, level * 0.25, level * 0.01);
    EXPECT_EQ(Stored("Filters\\Vibro\\Radio"), "2");

    w->Command(CmdUndo);
    Drive<TVibroDlg>(w, CmdVibro, [&](TVibroDlg& d) {
        static_cast<QRadioButton*>(d.Control(2540))->click();
        Ok(d);
    });
    auto [lo2, hi2] =
        std::minmax_element(w->Document.Channel(0).Samples, w->Document.Channel(0).Samples + 8000);
    EXPECT_NEAR(*lo2, level * 0.35, level * 0.01);
    EXPECT_NEAR(*hi2, level, level * 0.01);
    EXPECT_EQ(Stored("Filters\\Vibro\\Radio"), "3");
    Drive<TVibroDlg>(w, CmdVibro, [&](TVibroDlg& d) {
        EXPECT_TRUE(static_cast<QRadioButton*>(d.Control(2540))->isChecked());
        Cancel(d);
    });
}

// Ok of Echo and Vibro against the effect runner on a copy, over random
// ranges: the whole sound, both channels in part, most of one channel
// (which hands its array to the undo record) or a little of it, and ranges
// past the shorter channel's end; Undo and Redo then give both versions
// back exactly.
TEST_F(EffectDlgTest, LibraryEffectsThroughTheDialogMatchTheRunnerAndUndoExactly) {
    std::mt19937 random(2026);
    auto pick = [&](uint32_t lo, uint32_t hi) {
        return std::uniform_int_distribution<uint32_t>(lo, hi)(random);
    };
    const char* const delays[] = {"0.125", "0.25", "0.5"};
    const int volumes[] = {30, 50, 90};
    const char* const volumeWords[] = {"0.3", "0.5", "0.9"};
    for (int round = 0; round < 10; ++round) {
        TSound before(2);
        for (V& channel : before) {
            channel.resize(pick(2000, 6000));
            for (int32_t& s : channel)
                s = int32_t(random()) >> 4;
        }
        TWaveWin* w = Window(before, 8000);
        const uint32_t shorter = uint32_t(std::min(before[0].size(), before[1].size()));
        const uint32_t longer = uint32_t(std::max(before[0].size(), before[1].size()));
        const int kind = round % 5;
        const int one = int(pick(0, 1));
        const uint32_t count = uint32_t(before[size_t(one)].size());
        if (kind == 1)
            Select(w, pick(0, shorter / 2), pick(shorter / 2 + 1, longer));
        else if (kind == 2)
            Select(w, pick(0, count / 8), pick(count - count / 8, count), one);
        else if (kind == 3)
            Select(w, pick(0, count / 2), pick(count / 2 + 1, count / 2 + 400), one);
        else if (kind == 4)
            Select(w, pick(shorter - 500, shorter - 1), pick(shorter + 1, longer));
        const TSampleRange range = w->InPlaceRange(w->EffectiveRange());

        // The window's sound format, with the samples as they are.
        NSWave::TFile expected(w->Document, TSampleRange(0, 0, AllChannels));
        Fill(expected, before);
        expected.Extend(range);
        const int strength = int(pick(0, 3));
        const size_t echo = pick(0, 2);
        if (round % 2) {
            expected.ApplyEffect(range, "vibro", TVibroDlg::Presets[strength]);
            Drive<TVibroDlg>(w, CmdVibro, [&](TVibroDlg& d) {
                static_cast<QRadioButton*>(d.Control(2537 + strength))->click();
                Ok(d);
            });
        } else {
            expected.ApplyEffect(range, "echo",
                                 (std::string(delays[echo]) + " " + volumeWords[echo]).c_str());
            Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
                Type(d, 2526, delays[echo]);
                Type(d, 2527, std::to_string(volumes[echo]).c_str());
                Ok(d);
            });
        }
        const TSound after = Snapshot(expected);
        const TSound got = Snapshot(w->Document);
        for (size_t c = 0; c < 2 && got.size() == 2; ++c)
            for (size_t i = 0; i < std::min(got[c].size(), after[c].size()); ++i)
                if (got[c][i] != after[c][i]) {
                    ADD_FAILURE() << "round " << round << " channel " << c << " sample " << i
                                  << " of " << got[c].size() << ", range " << range.Start << ".."
                                  << range.End << " on " << range.Channel;
                    break;
                }
        ASSERT_EQ(got, after) << "round " << round;
        w->Command(CmdUndo);
        ASSERT_EQ(Snapshot(w->Document), before) << "round " << round;
        // With one level kept, Undo once more redoes.
        w->Command(CmdUndo);
        ASSERT_EQ(Snapshot(w->Document), after) << "round " << round;
    }
}

TEST_F(EffectDlgTest, AmplitudeShowsFiftyFirstAndTwoHundredSaturates) {
    const int32_t big = 1342177280;
    TWaveWin* w = Window({{big, -big, 1000, -3}, {1, 2, 3, 4}});
    // A cursor on channel 0: that whole channel.
    Select(w, 1, 1, 0);
    Drive<TAmpDlg>(w, CmdAmplitude, [&](TAmpDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Amplitude");
        EXPECT_EQ(TextOf(d, 2529), "50");
        Type(d, 2529, "200");
        Ok(d);
    });
    EXPECT_EQ(Snapshot(w->Document), (TSound{{INT32_MAX, INT32_MIN, 2000, -6}, {1, 2, 3, 4}}));
    EXPECT_EQ(Stored("Filters\\Amp\\Vol"), "200");
    Drive<TAmpDlg>(w, CmdAmplitude, [&](TAmpDlg& d) {
        EXPECT_EQ(TextOf(d, 2529), "200");
        Cancel(d);
    });
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document), (TSound{{big, -big, 1000, -3}, {1, 2, 3, 4}}));
}

TEST_F(EffectDlgTest, PitchTextsFollowTheSlider) {
    // 1011 samples: the change computed from the two durations would show
    // rounding noise even at 100 %.
    TWaveWin* w = Window({V(1011, 5)}, 22050);
    for (int stored : {-1, 30}) {
        TPitchDlg::FactorSetting.Set(stored);
        Drive<TPitchDlg>(w, CmdPitch, [&](TPitchDlg& d) {
            EXPECT_EQ(d.windowTitle(), "Pitch Options");
            EXPECT_EQ(d.Slider()->value(), 12);
            EXPECT_EQ(TextOf(d, 2532), "0.045");
            EXPECT_EQ(TextOf(d, 2533), "0");
            EXPECT_EQ(TextOf(d, 2534), "0.045");
            for (int p = 0; p < TPitchDlg::Positions; ++p) {
                d.Slider()->setValue(p);
                const int f = TPitchDlg::Factors[p];
                EXPECT_EQ(TextOf(d, 2533), std::to_string(f - 100)) << p;
                EXPECT_EQ(TextOf(d, 2534), NSWave::FormatSeconds(f * d.OldDuration() * 0.01, 3, 0))
                    << p;
            }
            d.Slider()->setValue(19);
            EXPECT_EQ(TextOf(d, 2533), "50");
            EXPECT_EQ(TextOf(d, 2534), "0.068");
            Cancel(d);
        });
        EXPECT_EQ(TPitchDlg::FactorSetting.Get(), 19);
    }
    // Minutes follow the old duration; an empty document has no change.
    TWaveWin* longer = Window({V(100 * 8000, 0)}, 8000);
    TPitchDlg::FactorSetting.Set(22);
    Drive<TPitchDlg>(longer, CmdPitch, [&](TPitchDlg& d) {
        EXPECT_EQ(TextOf(d, 2532), "1:40.00");
        EXPECT_EQ(TextOf(d, 2534), "3:20.00");
        Cancel(d);
    });
    TWaveWin* empty = Window({{}});
    TPitchDlg dialog(*empty);
    EXPECT_EQ(TextOf(dialog, 2533), "");
    EXPECT_EQ(TextOf(dialog, 2532), "0");
}

TEST_F(EffectDlgTest, PitchResamplesTheRangeToItsNewDuration) {
    V left(44100), right(44100);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = int32_t(std::sin(i * 0.05) * (1 << 29));
        right[i] = int32_t(std::cos(i * 0.03) * (1 << 29));
    }
    const TSound before{left, right};
    TWaveWin* w = Window(before, 22050, 2);
    Select(w, 11025, 33075);

    // 100 %: closes with nothing changed and no record.
    TPitchDlg::FactorSetting.Set(12);
    EXPECT_FALSE(Drive<TPitchDlg>(w, CmdPitch, [&](TPitchDlg& d) { Ok(d); }));
    EXPECT_FALSE(w->HasUndo());
    EXPECT_FALSE(w->IsModified());
    EXPECT_EQ(Snapshot(w->Document), before);

    // 200 %: the one second becomes two, selected; the rest stays.
    EXPECT_FALSE(Drive<TPitchDlg>(w, CmdPitch, [&](TPitchDlg& d) {
        d.Slider()->setValue(22);
        Ok(d);
    }));
    const TSound got = Snapshot(w->Document);
    ASSERT_EQ(got.size(), 2u);
    for (int c = 0; c < 2; ++c) {
        const V& was = before[size_t(c)];
        const V& now = got[size_t(c)];
        EXPECT_NEAR(double(now.size()), 44100.0 + 22050.0, 1.0);
        EXPECT_TRUE(std::equal(was.begin(), was.begin() + 11025, now.begin()));
        EXPECT_TRUE(std::equal(was.begin() + 33075, was.end(), now.end() - 11025));
    }
    EXPECT_NEAR(double(w->Selected().End - w->Selected().Start), 44100.0, 1.0);
    EXPECT_EQ(w->Selected().Start, 11025u);
    EXPECT_TRUE(w->IsModified());
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document), before);
}

TEST_F(EffectDlgTest, PitchKeepsEveryBitOfA24BitSound) {
    // A quiet signal lies wholly below the 16-bit step; the other channel
    // must not move.
    V quiet(8000), other(8000, 77);
    for (size_t i = 0; i < quiet.size(); ++i)
        quiet[i] = int32_t(std::sin(i * 0.02) * 200) * 256;
    TWaveWin* w = Window({other, quiet}, 8000, 3);
    Select(w, 100, 100, 1);
    TPitchDlg::FactorSetting.Set(2); // 50 %
    Drive<TPitchDlg>(w, CmdPitch, [&](TPitchDlg& d) { Ok(d); });

    // The same samples at twice the rate, brought back to the sound's rate
    // by the library.
    NSWave::TFile reference(16000, 2, 4, 1);
    Fill(reference, {quiet});
    reference.SetRate(8000);
    const TSound got = Snapshot(w->Document);
    EXPECT_EQ(got[0], other);
    EXPECT_EQ(got[1], Snapshot(reference)[0]);
    EXPECT_NEAR(double(got[1].size()), 4000.0, 1.0);
    EXPECT_GT(*std::max_element(got[1].begin(), got[1].end()), 150 * 256);
    EXPECT_EQ(w->Document.Size, 3);
}

TEST_F(EffectDlgTest, OtherEffectRunsALibraryEffectWithTheWordsItRemembers) {
    // Standard input as a terminal holds it: open, nothing written.
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const int savedInput = dup(0);
    dup2(input[0], 0);

    const TSound before{V(1000, 1 << 20), V(1000, -(1 << 20))};
    TWaveWin* w = Window(before, 8000);
    Select(w, 100, 300);
    Drive<TOtherEffectDlg>(w, CmdOtherEffect, [&](TOtherEffectDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Other Effect");
        EXPECT_FALSE(d.Choose("echo"));
        ASSERT_TRUE(d.Choose("vol"));
        EXPECT_EQ(TextOf(d, 2562), "");
        const auto* usage = qobject_cast<QPlainTextEdit*>(d.Control(2563));
        ASSERT_TRUE(usage);
        EXPECT_TRUE(usage->toPlainText().startsWith("vol GAIN [TYPE [LIMITERGAIN]]"));
        Type(d, 2562, " 0.5 ");
        Ok(d);
    });
    TSound after = before;
    for (int c = 0; c < 2; ++c)
        for (size_t i = 100; i < 300; ++i)
            after[size_t(c)][i] /= 2;
    EXPECT_EQ(Snapshot(w->Document), after);
    EXPECT_EQ(Stored("Filters\\Other\\vol"), "0.5");
    EXPECT_EQ(Stored("Filters\\OtherEffect"), "vol");

    // The last effect comes back with its words; one the library refuses
    // shows its text and stays open, the sound and its history as they were.
    EXPECT_TRUE(Drive<TOtherEffectDlg>(w, CmdOtherEffect, [&](TOtherEffectDlg& d) {
        EXPECT_EQ(d.EffectName(), "vol");
        EXPECT_EQ(TextOf(d, 2562), "0.5");
        ASSERT_TRUE(d.Choose("lowpass"));
        EXPECT_EQ(TextOf(d, 2562), "");
        Boxes.Expect("", IdOk);
        Ok(d);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(Boxes.Shown.back().Text.empty());
        EXPECT_EQ(Boxes.Shown.back().Caption, "Brimvale");
    }));
    EXPECT_EQ(Snapshot(w->Document), after);
    EXPECT_TRUE(w->HasUndo());
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document), before);

    // Effects that read a file not named from standard input find it empty
    // instead of waiting for the terminal.
    struct stat now = {};
    struct stat null = {};
    EXPECT_EQ(fstat(0, &now), 0);
    EXPECT_EQ(stat("/dev/null", &null), 0);
    EXPECT_TRUE(S_ISCHR(now.st_mode));
    EXPECT_EQ(now.st_rdev, null.st_rdev);
    dup2(savedInput, 0);
    for (int fd : {savedInput, input[0], input[1]})
        close(fd);
}

// The effect's staging file cannot be written (a file-size limit stands in
// for a full temporary folder): the message, the sound as it was, and the
// modified mark as it was, clear or set.
TEST_F(EffectDlgTest, AStagingFileThatFailsLeavesTheModifiedMarkAsItWas) {
    const TSound before{Impulse(20000, 1000), Impulse(20000, 5000)};
    for (bool modified : {false, true}) {
        SCOPED_TRACE(modified ? "modified before" : "saved before");
        TWaveWin* w = Window(before, 8000);
        w->SetModified(modified);
        const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
            Type(d, 2526, "0.25");
            const rlimit small = {8192, old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
            Boxes.Expect("Tmpfile write error", IdOk);
            Ok(d);
            setrlimit(RLIMIT_FSIZE, &old);
            EXPECT_TRUE(d.isVisible());
            Cancel(d);
        });
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(Snapshot(w->Document), before);
        EXPECT_EQ(w->IsModified(), modified);
        // The record still gives the range back, and knows the mark.
        w->Command(CmdUndo);
        EXPECT_EQ(Snapshot(w->Document), before);
        EXPECT_EQ(w->IsModified(), modified);
        w->SetModified(false);
    }
}

namespace {

void PostEscape(QWidget* to) {
    QCoreApplication::postEvent(to,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
}

// Runs `f` once the event loop is next looked at.
void Later(std::function<void()> f) {
    QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
}

} // namespace

TEST_F(EffectDlgTest, LongWorkShowsProgressAndEscapeOrCancelLeavesTheSoundAsItWas) {
    TSound before(2, V(300000));
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < before[c].size(); ++i)
            before[c][i] = int32_t((i * 2654435761u + c) & 0x7FFFFFFF) - (1 << 30);
    TWaveWin* w = Window(before, 8000);
    // An earlier edit, whose record must stay the one Undo takes back.
    ASSERT_TRUE(w->ApplyInPlace(TSampleRange(0, 1, AllChannels), "", [](auto&, auto&) {}));
    const NSUndo::TUndoBase* earlier = w->UndoHistory().NextUndo();
    ASSERT_TRUE(earlier);
    auto unchanged = [&](const char* what) {
        EXPECT_EQ(Snapshot(w->Document) == before, true) << what;
        EXPECT_EQ(w->UndoHistory().NextUndo(), earlier) << what;
        EXPECT_TRUE(w->IsModified()) << what;
        EXPECT_FALSE(w->HasRedo()) << what;
        EXPECT_FALSE(w->StatusBar->CancelButton()->isVisible()) << what;
    };

    // Escape stops the window's own effects, each before it is done.
    for (int id : {CmdFadeOut, CmdReverse, CmdAmplitude}) {
        // A reversal keeps no undo data and asks nothing.
        if (id != CmdReverse)
            Boxes.Expect("excessive amount", IdYes);
        PostEscape(w);
        if (id == CmdAmplitude)
            EXPECT_FALSE(w->ApplyAmplitude(150));
        else
            w->Command(id);
        unchanged(std::to_string(id).c_str());
    }

    // An effect dialog leaves the screen before its work starts, and comes
    // back when the work was stopped.
    EXPECT_TRUE(Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
        bool hidden = false;
        Later([&] {
            hidden = !d.isVisible();
            PostEscape(w);
        });
        Boxes.Expect("excessive amount", IdYes);
        Ok(d);
        EXPECT_TRUE(hidden);
        EXPECT_TRUE(d.isVisible());
    }));
    unchanged("echo");

    // The status bar's Cancel button: shown beside the progress while the
    // work can stop, and the mouse reaches it while other input waits.
    QPushButton* cancel = w->StatusBar->CancelButton();
    bool shown = false;
    int progress = -1;
    std::function<void()> poke = [&] {
        if (!cancel->isVisible()) {
            Later(poke);
            return;
        }
        shown = true;
        progress = w->StatusBar->GaugeGadget()->Value();
        const QPointF centre = QRectF(cancel->rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                cancel, new QMouseEvent(type, centre, cancel->mapToGlobal(centre), Qt::LeftButton,
                                        Qt::LeftButton, Qt::NoModifier));
    };
    Later(poke);
    Boxes.Expect("excessive amount", IdYes);
    QElapsedTimer running;
    running.start();
    const bool done = w->ApplyInPlace(
        TSampleRange(0, 300000, AllChannels), "Working...", [&](const TSampleRange&, TOpStatus& s) {
            for (uint32_t k = 0;; ++k) {
                w->Document.Channel(0).MutableSamples(k % 300000)[0] = 7;
                s.SetPercent(int(k / 1000 % 100));
                if (s.Cancelled())
                    throw NSWave::xcancelled();
                ASSERT_LT(running.elapsed(), 20000) << "the click never arrived";
            }
        });
    EXPECT_FALSE(done);
    EXPECT_TRUE(shown);
    EXPECT_GE(progress, 0);
    unchanged("cancel button");

    // Not cancelled, the same work runs to its end.
    Boxes.Expect("excessive amount", IdYes);
    EXPECT_TRUE(w->ApplyAmplitude(50));
    EXPECT_NE(Snapshot(w->Document), before);
}

TEST_F(EffectDlgTest, UndoAndRedoStopAtEscapeWithTheSoundHistoryAndMarkAsTheyWere) {
    // Channels of two lengths, and a change that runs past the shorter
    // one's end, so the steps also take back and give back what the change
    // wrote beyond it.
    TSound before(2, V(300000));
    before[1].resize(200000);
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < before[c].size(); ++i)
            before[c][i] = int32_t((i * 2654435761u + c) & 0xFFFF) - 0x8000;
    TWaveWin* w = Window(before, 8000);
    ASSERT_TRUE(w->ApplyInPlace(
        TSampleRange(150000, 280000, AllChannels), "", [&](const TSampleRange& r, TOpStatus&) {
            for (int c = 0; c < 2; ++c)
                for (uint32_t i = r.Start; i < r.End; ++i)
                    w->Document.Channel(c).MutableSamples(i)[0] = int32_t(i % 977) * (c ? -3 : 5);
        }));
    const TSound after = Snapshot(w->Document);
    ASSERT_EQ(after[1].size(), 280000u);
    const NSUndo::TUndoBase* record = w->UndoHistory().NextUndo();
    auto as = [&](const TSound& sound, bool redo, const char* what) {
        EXPECT_EQ(Snapshot(w->Document) == sound, true) << what;
        EXPECT_EQ(w->HasRedo(), redo) << what;
        EXPECT_EQ(redo ? w->UndoHistory().NextRedo() : w->UndoHistory().NextUndo(), record) << what;
        EXPECT_FALSE(w->StatusBar->CancelButton()->isVisible()) << what;
    };

    PostEscape(w);
    w->Command(CmdUndo);
    as(after, false, "cancelled undo");
    EXPECT_TRUE(w->IsModified());
    w->Command(CmdUndo);
    as(before, true, "undo");
    EXPECT_FALSE(w->IsModified());
    // At one undo level, Undo again is the Redo.
    PostEscape(w);
    w->Command(CmdUndo);
    as(before, true, "cancelled redo");
    EXPECT_FALSE(w->IsModified());
    w->Command(CmdUndo);
    as(after, false, "redo");
    EXPECT_TRUE(w->IsModified());

    // A record that cannot give a half-taken step back runs to its end.
    w->SetSelection(TSampleRange(1000, 90000, AllChannels), false);
    w->Command(CmdDelete);
    const TSound deleted = Snapshot(w->Document);
    PostEscape(w);
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document) == after, true);
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document) == deleted, true);
    w->SetModified(false);
}
