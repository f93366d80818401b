// The Sound Format dialog through its command: the two columns and their
// estimates, live updates, the rates it takes, the sizes it lists, and what
// Ok does to the document and its undo history.

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "support/testenv.h"
#include "wavewin/dialogtest.h"
#include "wavewin/formatdlg.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

using Dlg = TWaveFormatDlg;

QComboBox* Combo(Dlg& d, int id) {
    return qobject_cast<QComboBox*>(d.Control(id));
}

V Ramp(size_t n) {
    V v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = int32_t(i * 40503u);
    return v;
}

} // namespace

TEST_F(DialogTest, FormatEstimatesFollowTheRateAndSizeAsTheyChange) {
    TWaveWin* w = Window({V(220500, 1), V(220500, 2)}, 22050, 2);
    Drive<Dlg>(w, CmdSoundFormat, [&](Dlg& d) {
        EXPECT_EQ(d.windowTitle(), "Sound Format");
        EXPECT_EQ(TextOf(d, 2512), "22.05 KHz");
        EXPECT_EQ(TextOf(d, 2514), "16 Bit");
        EXPECT_EQ(TextOf(d, 2516), "2");
        EXPECT_EQ(TextOf(d, 2517), "2");
        EXPECT_EQ(TextOf(d, 2520), "10.00 Sec.");
        EXPECT_EQ(TextOf(d, 2522), "861 KB");
        EXPECT_EQ(Combo(d, 2513)->currentText(), "22.05 KHz");
        EXPECT_EQ(Combo(d, 2515)->currentText(), "16 Bit");
        EXPECT_EQ(TextOf(d, 2521), "10.00 Sec.");
        EXPECT_EQ(TextOf(d, 2523), "861 KB");

        // A listed rate: twice the samples in the same time.
        Combo(d, 2513)->setCurrentIndex(3);
        EXPECT_EQ(Combo(d, 2513)->currentText(), "44.100 KHz");
        EXPECT_EQ(TextOf(d, 2521), "10.00 Sec.");
        EXPECT_EQ(TextOf(d, 2523), "1722 KB");
        Combo(d, 2515)->setCurrentIndex(Combo(d, 2515)->findText("8 Bit"));
        EXPECT_EQ(TextOf(d, 2523), "861 KB");

        // Every keystroke: "8" is 8 kHz, "80" 80 kHz, "800" 800,000, "8000" 8 kHz.
        QLineEdit* edit = Combo(d, 2513)->lineEdit();
        edit->clear();
        const char* const sizes[] = {"156 KB", "1562 KB", "15 MB", "156 KB"};
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(edit, "8000"[i]);
            EXPECT_EQ(TextOf(d, 2523), sizes[i]) << edit->text().toStdString();
        }
        EXPECT_EQ(edit->text(), "8000");
        Cancel(d);
    });
    EXPECT_FALSE(w->IsModified());

    TWaveWin* small = Window({V(1000, 1)}, 8000, 1);
    Drive<Dlg>(small, CmdSoundFormat, [&](Dlg& d) {
        EXPECT_EQ(TextOf(d, 2514), "8 Bit");
        EXPECT_EQ(TextOf(d, 2522), "1000 Bytes");
        EXPECT_EQ(TextOf(d, 2520), "0.125 Sec.");
        Cancel(d);
    });
}

TEST_F(DialogTest, FormatSizeEstimatesDoNotWrapPastFourGigabytes) {
    EXPECT_EQ(Dlg::SizeEstimate(4999, 8, 1), "4999 Bytes");
    EXPECT_EQ(Dlg::SizeEstimate(5000, 8, 1), "4 KB");
    EXPECT_EQ(Dlg::SizeEstimate(4999999, 8, 1), "4882 KB");
    EXPECT_EQ(Dlg::SizeEstimate(5000000, 8, 1), "4 MB");
    EXPECT_EQ(Dlg::SizeEstimate(uint64_t(4999) << 20, 8, 1), "4999 MB");
    EXPECT_EQ(Dlg::SizeEstimate(uint64_t(5000) << 20, 8, 1), "4 GB");
    // 2^30 samples of 32 bits on two channels: 8 GB, 0 in 32-bit arithmetic.
    EXPECT_EQ(Dlg::SizeEstimate(uint64_t(1) << 30, 32, 2), "8 GB");
    EXPECT_EQ(Dlg::SizeEstimate(0xFFFFFFFFu, 32, 32), "511 GB");
}

TEST_F(DialogTest, FormatRatesAreReadAsTypedOrListedAndChecked) {
    struct TCase {
        const char* Text;
        int Rate;
    };
    for (const TCase& c :
         {TCase{"22.054 KHz", 22053}, TCase{"22.050 KHz", 22050}, TCase{"22.05", 22050},
          TCase{"22050", 22050}, TCase{"8000", 8000}, TCase{"11.025 KHz", 11025},
          TCase{"96", 96000}, TCase{"KHz", 0}, TCase{"", 0}, TCase{"1e300", 1000000000}})
        EXPECT_EQ(Dlg::RateFromText(QString::fromLatin1(c.Text)), c.Rate) << c.Text;

    // Refused rates keep the dialog open with the document as it was. A
    // number below 1000 is in kHz: "0.05" is 50 a second, "385" 385,000.
    const TSound before{Ramp(3000)};
    TWaveWin* w = Window(before, 22050, 2);
    EXPECT_TRUE(Drive<Dlg>(w, CmdSoundFormat, [&](Dlg& d) {
        for (const char* text : {"0.05", "0.0999 KHz", "384001", "385 KHz", "-8000", "x"}) {
            Boxes.Expect("Error: Invalid Rate", IdOk);
            Combo(d, 2513)->setEditText(QString::fromLatin1(text));
            Ok(d);
            ASSERT_TRUE(d.isVisible()) << text;
            ASSERT_FALSE(Boxes.Shown.empty());
            EXPECT_EQ(Boxes.Shown.back().Caption, "Sound Format");
            EXPECT_EQ(Boxes.Shown.back().Icon, TMsgIcon::Error);
        }
    }));
    EXPECT_EQ(Snapshot(w->Document), before);
    EXPECT_EQ(w->Document.Rate, 22050);
    EXPECT_FALSE(w->IsModified());

    // The lowest and highest it takes; a listed rate resamples.
    for (const TCase& c : {TCase{"0.1", 100}, TCase{"384000", 384000}, TCase{nullptr, 11025}}) {
        const int rate = c.Rate;
        // Up to the highest from half of it: the converter's work grows
        // with the ratio.
        const int from = rate == 384000 ? 192000 : 22050;
        TWaveWin* x = Window(before, from, 2);
        EXPECT_FALSE(Drive<Dlg>(x, CmdSoundFormat, [&](Dlg& d) {
            if (c.Text)
                Combo(d, 2513)->setEditText(QString::fromLatin1(c.Text));
            else
                Combo(d, 2513)->setCurrentIndex(0);
            Ok(d);
        }));
        EXPECT_EQ(x->Document.Rate, rate);
        EXPECT_LE(x->Document.GetLength(), uint64_t(3000) * rate / from);
        EXPECT_GE(x->Document.GetLength() + 2, uint64_t(3000) * rate / from);
        EXPECT_TRUE(x->IsModified());
    }
}

TEST_F(DialogTest, FormatOkWithoutChangesKeepsTheSoundButEmptiesUndo) {
    // 37,800 reads "37.8 KHz", which read back would be 37,799; 96 kHz is
    // within the rates taken.
    for (int rate : {37800, 96000, 22050}) {
        const TSound before{Ramp(5000), Ramp(4000)};
        TWaveWin* w = Window(before, rate, 3);
        w->Command(CmdReverse);
        w->Command(CmdUndo);
        ASSERT_TRUE(w->HasRedo());
        w->SetModified(false);
        Select(w, 10, 20);
        EXPECT_FALSE(Drive<Dlg>(w, CmdSoundFormat, [&](Dlg& d) { Ok(d); }));
        EXPECT_EQ(w->Document.Rate, rate);
        EXPECT_EQ(w->Document.Size, 3);
        EXPECT_EQ(Snapshot(w->Document), before);
        EXPECT_TRUE(w->IsModified());
        EXPECT_FALSE(w->HasUndo());
        EXPECT_FALSE(w->HasRedo());
        EXPECT_EQ(w->Selected(), TSampleRange(10, 20));
    }
}

TEST_F(DialogTest, FormatListsAndKeepsTheSizeTheSoundHas) {
    struct TCase {
        int Size;
        const char* Text;
    };
    for (const TCase& c : {TCase{1, "8 Bit"}, TCase{2, "16 Bit"}, TCase{3, "24 Bit"},
                           TCase{4, "32 Bit"}, TCase{5, "32 Bit Float"}}) {
        TWaveWin* w = Window({Ramp(100)}, 22050, c.Size);
        Drive<Dlg>(w, CmdSoundFormat, [&](Dlg& d) {
            EXPECT_EQ(TextOf(d, 2514), c.Text);
            QComboBox* sizes = Combo(d, 2515);
            EXPECT_EQ(sizes->currentText(), c.Text);
            QStringList listed;
            for (int i = 0; i < sizes->count(); ++i)
                listed << sizes->itemText(i);
            QStringList want{"8 Bit", "16 Bit", "24 Bit", "32 Bit"};
            if (c.Size == 5)
                want << "32 Bit Float";
            EXPECT_EQ(listed, want);
            EXPECT_EQ(TextOf(d, 2522), std::to_string(100 * (c.Size == 5 ? 4 : c.Size)) + " Bytes");
            Ok(d);
        });
        EXPECT_EQ(w->Document.Size, c.Size) << c.Text;

        // What the user picks is what the sound gets.
        Drive<Dlg>(w, CmdSoundFormat, [&](Dlg& d) {
            Combo(d, 2515)->setCurrentIndex(1);
            Ok(d);
        });
        EXPECT_EQ(w->Document.Size, 2) << c.Text;
        EXPECT_EQ(w->FormatButton->text().toStdString(), "16 bit/22.05 kHz");
    }
}

TEST_F(DialogTest, FormatConversionThatFailsOrIsCancelledLeavesTheSoundAsItWas) {
    const TSound before{Ramp(3000), Ramp(2000)};
    TWaveWin* w = Window(before, 22050, 2);
    w->Command(CmdReverse);
    ASSERT_TRUE(w->HasUndo());
    w->SetModified(false);
    auto samples = [&](int c) {
        const NSWave::TChannel& channel = w->Document.Channel(c);
        return std::vector<int32_t>(channel.Samples, channel.Samples + channel.Count);
    };
    const std::vector<std::vector<int32_t>> reversed{samples(0), samples(1)};
    auto unchanged = [&](const char* what) {
        EXPECT_TRUE(w->HasUndo()) << what;
        EXPECT_FALSE(w->IsModified()) << what;
        EXPECT_EQ(w->Document.Rate, 22050) << what;
        EXPECT_EQ(samples(0), reversed[0]) << what;
        EXPECT_EQ(samples(1), reversed[1]) << what;
    };
    // The converter's output has nowhere to go.
    const std::string saved = TestTmpDir();
    setenv("TMPDIR", (saved + "/missing").c_str(), 1);
    EXPECT_FALSE(Drive<Dlg>(w, CmdSoundFormat, [&](Dlg& d) {
        Boxes.Expect("Error: can't make temp file name", IdOk);
        Combo(d, 2513)->setCurrentIndex(0);
        Ok(d);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.ConversionBegun());
        Cancel(d);
    }));
    setenv("TMPDIR", saved.c_str(), 1);
    unchanged("failed");

    // Escape while it converts: no message, the dialog stays.
    EXPECT_FALSE(Drive<Dlg>(w, CmdSoundFormat, [&](Dlg& d) {
        Combo(d, 2513)->setCurrentIndex(0);
        QCoreApplication::postEvent(
            w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        Ok(d);
        EXPECT_TRUE(d.isVisible());
        Cancel(d);
    }));
    unchanged("cancelled");
}
