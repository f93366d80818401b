// The clipboard through the window in both directions, what a paste makes of
// sound in another format, and the refusals. (The commands' effect on the
// sound, the selection and the undo slots is the random model test's.)

#include <sys/mount.h>

#include <QFile>
#include <QTest>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/testenv.h"
#include "wavewin/clipboard.h"
#include "wavewin/edittest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

TSampleRange Range(uint32_t a, uint32_t b, int channel, bool valid = true) {
    TSampleRange r(a, b, channel);
    r.Valid = valid;
    return r;
}

V Constant(size_t n, int32_t value) {
    return V(n, value);
}

} // namespace

TEST_F(EditTest, EveryWavNameGoesBothWays) {
    // Copy offers the selected channel, or all of them, under each name.
    TWaveWin* w = Window({{1, 2, 3, 4}, {5, 6, 7, 8}}, 8000);
    Select(w, 1, 3, 1);
    w->Command(CmdCopy);
    for (const char* type : WavMimeTypes)
        EXPECT_EQ(Clipboard(type), (TSound{{6, 7}})) << type;
    Select(w, 2, 10);
    w->Command(CmdCopy);
    int rate = 0;
    EXPECT_EQ(Clipboard("audio/wav", &rate), (TSound{{3, 4}, {7, 8}}));
    EXPECT_EQ(rate, 8000);
    EXPECT_FALSE(w->IsModified());

    // Paste takes each of them, as other programs offer one name only.
    TWaveWin* p = Window({{1, 2}});
    for (const char* type : WavMimeTypes) {
        Offer({{9}}, 22050, type);
        EXPECT_TRUE(p->IsEnabled(CmdPaste)) << type;
        p->Command(CmdDeselect);
        p->Command(CmdPaste);
    }
    EXPECT_EQ(Snapshot(p->Document), (TSound{{1, 2, 9, 9, 9}}));
}

TEST_F(EditTest, PasteWithNothingUsableChangesNothingAndSaysNothing) {
    TWaveWin* w = Window({{1, 2, 3}});
    Select(w, 0, 1);
    w->Command(CmdDelete);
    const TSound edited = Snapshot(w->Document);
    std::ofstream(Path("notes.txt")) << "not a sound";
    const std::string sound = MakeSound("a.wav", 1, 10);
    const std::string other = MakeSound("b.wav", 1, 10);

    auto check = [&](QMimeData* data, const char* what) {
        QGuiApplication::clipboard()->setMimeData(data);
        EXPECT_FALSE(w->IsEnabled(CmdPaste)) << what;
        w->CmPaste();
        EXPECT_EQ(Snapshot(w->Document), edited) << what;
        EXPECT_TRUE(w->HasUndo()) << what;
    };
    auto urls = [](const QList<QUrl>& list) {
        auto* data = new QMimeData;
        data->setUrls(list);
        return data;
    };
    auto text = new QMimeData;
    text->setText("1 2 3");
    check(text, "text");
    check(urls({QUrl::fromLocalFile(QString::fromStdString(Path("notes.txt")))}), "a text file");
    check(urls({QUrl::fromLocalFile(QString::fromStdString(sound)),
                QUrl::fromLocalFile(QString::fromStdString(other))}),
          "two files");
    check(urls({QUrl::fromLocalFile(QString::fromStdString(Path("gone.wav")))}), "no file");
    check(urls({QUrl::fromLocalFile(QString::fromStdString(Folder.path().toStdString()))}),
          "a folder");
    check(urls({QUrl("https://example.org/a.wav")}), "not a local file");
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(w->IsEnabled(CmdPaste));
    w->CmPaste();
    EXPECT_EQ(Snapshot(w->Document), edited);

    // WAV data that is no sound is the loader's to report; the document and
    // the undo history stay as they were.
    auto* junk = new QMimeData;
    junk->setData("audio/x-wav", "RIFF....WAVEjunk");
    QGuiApplication::clipboard()->setMimeData(junk);
    EXPECT_TRUE(w->IsEnabled(CmdPaste));
    Boxes.Expect("", IdOk);
    w->Command(CmdPaste);
    EXPECT_EQ(Snapshot(w->Document), edited);
    EXPECT_TRUE(w->IsModified());
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document), (TSound{{1, 2, 3}}));
}

TEST_F(EditTest, AFileCopiedInAFileManagerPastesLikeWavData) {
    const std::string name = MakeSound("clip.aiff", 1, 4, 22050, 2,
                                       [](int, uint32_t i) { return int32_t(i + 1) << 16; });
    TWaveWin* w = Window({{9, 9}});
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(name))});
    QGuiApplication::clipboard()->setMimeData(data);
    // The file is looked at by a reader in the background: Paste waits for
    // its answer.
    EXPECT_FALSE(w->IsEnabled(CmdPaste));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->IsEnabled(CmdPaste); }, 10000));
    w->Command(CmdPaste);
    const TSound pasted{{9, 9, 1 << 16, 2 << 16, 3 << 16, 4 << 16}};
    EXPECT_EQ(Snapshot(w->Document), pasted);
    EXPECT_EQ(w->Selected(), Range(2, 6, 0));
    // Redo brings back the same sound after the file is gone.
    std::filesystem::remove(name);
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document), (TSound{{9, 9}}));
    w->Command(CmdUndo);
    EXPECT_EQ(Snapshot(w->Document), pasted);
}

TEST_F(EditTest, PastedSoundIsConvertedToTheDocumentsRateAndChannels) {
    // 44,100 Hz stereo into 22,050 Hz mono: half as many samples, the mix.
    const int32_t left = 0x10000000, right = 0x20000000, mix = 0x30000000;
    Offer({Constant(1000, left), Constant(1000, right)}, 44100);
    TWaveWin* mono = Window({{1, 2}}, 22050, 2);
    mono->Command(CmdPaste);
    ASSERT_EQ(mono->Document.ChannelCount(), 1);
    EXPECT_EQ(mono->Document.Channel(0).Count, 2u + 500u);
    EXPECT_NEAR(mono->Document.Channel(0).Samples[2 + 250], mix, mix * 0.01);
    EXPECT_EQ(mono->Selected(), Range(2, 502, 0));

    // Mono into all channels of a stereo sound: both get it.
    Offer({{7, 8}}, 22050);
    TWaveWin* stereo = Window({{1, 2, 3}, {4, 5, 6}});
    Select(stereo, 1, 1);
    stereo->Command(CmdPaste);
    EXPECT_EQ(Snapshot(stereo->Document), (TSound{{1, 7, 8, 2, 3}, {4, 7, 8, 5, 6}}));

    // Stereo into three channels: every one gets the mix.
    Offer({{left, left}, {right, right}}, 22050);
    TWaveWin* three = Window({{1}, {2}, {3}});
    three->Command(CmdPaste);
    EXPECT_EQ(Snapshot(three->Document), (TSound{{1, mix, mix}, {2, mix, mix}, {3, mix, mix}}));

    // Stereo into one channel of a stereo sound: the mix there, the other
    // channel keeps its length.
    Select(stereo, 0, 0, 1);
    stereo->Command(CmdPaste);
    EXPECT_EQ(Snapshot(stereo->Document), (TSound{{1, 7, 8, 2, 3}, {mix, mix, 4, 7, 8, 5, 6}}));
    EXPECT_EQ(stereo->Selected(), Range(0, 2, 1));
}

TEST_F(EditTest, TheUndoSizeQuestionsCancelAbandonsAndNoGoesOnWithoutUndo) {
    // 300,000 samples: 1,171 KB of undo data, past the 1,024 KB limit.
    V samples(300000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int32_t(i);
    TWaveWin* w = Window({samples});
    Select(w, 0, 1);
    w->Command(CmdDelete);
    const TSound edited = Snapshot(w->Document);
    Offer({{5}}, 22050);

    w->Command(CmdSelectAll);
    for (int command : {CmdCut, CmdDelete, CmdSilence, CmdFadeIn}) {
        Boxes.Expect("excessive amount of 'undo' data (1171KB)", IdCancel);
        w->Command(command);
        EXPECT_EQ(Snapshot(w->Document), edited) << command;
        EXPECT_TRUE(w->HasUndo()) << command;
        EXPECT_EQ(Clipboard(), (TSound{{5}})) << command;
    }
    Boxes.Expect("excessive amount", IdCancel);
    EXPECT_TRUE(w->ApplyAmplitude(50) == false);

    // A reversal keeps no undo data: it asks nothing and can be undone.
    w->Command(CmdReverse);
    EXPECT_EQ(w->Document.Channel(0).Samples[0], int32_t(samples.size() - 1));
    EXPECT_EQ(w->UndoHistory().NextUndo()->Bytes, 0u);

    Boxes.Expect("excessive amount", IdNo);
    w->Command(CmdSilence);
    EXPECT_EQ(w->Document.Channel(0).Samples[0], 0);
    EXPECT_FALSE(w->IsEnabled(CmdUndo));
    EXPECT_TRUE(w->IsModified());
}

TEST_F(EditTest, ASelectionTooLargeForAWavFileIsRefusedWithAMessage) {
    // 64-bit samples: 540 million of them make an image of over 4 GB. The
    // memory is never touched, so it costs nothing.
    TWaveWin* w = Open();
    w->Document.Size = 6;
    w->Document.Channel(0).SetSize(540000000, true);
    Offer({{5}}, 22050);
    w->Command(CmdSelectAll);
    ASSERT_GT(WavImageBytes(w->Document, w->Selected()), MaxWavImage);
    Boxes.Expect("too large for the clipboard", IdOk);
    w->Command(CmdCopy);
    Boxes.Expect("too large for the clipboard", IdOk);
    w->Command(CmdCut);
    EXPECT_EQ(w->Document.GetLength(), 540000000u);
    EXPECT_FALSE(w->HasUndo());
    EXPECT_EQ(Clipboard(), (TSound{{5}}));
    // Just under the limit is a WAV file.
    const uint32_t fits = uint32_t((MaxWavImage - 4096) / 8);
    EXPECT_LE(WavImageBytes(w->Document, TSampleRange(0, fits)), MaxWavImage);
    w->Document.SetSize(0, 1);
}

// Cut and Copy with a temporary folder that cannot take the clipboard's WAV
// file (gone; full, on a small file system where mounting one is allowed):
// the message says why, the sound, its undo and the clipboard stay as they
// were.
TEST_F(EditTest, ACutThatCannotReachTheClipboardChangesNothing) {
    const std::string full = TestTmpDir() + "/fulldisk";
    std::filesystem::create_directory(full);
    const bool mounted = mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k,mode=0700") == 0;
    if (mounted) {
        // Every block taken; an empty file can still be made.
        std::ofstream filler(full + "/filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), std::streamsize(block.size())))
            filler.flush();
    }
    struct TCase {
        std::string Dir;
        std::string Why;
    };
    std::vector<TCase> cases = {{TestTmpDir() + "/gone", "No such file or directory"}};
    if (mounted)
        cases.push_back({full, "No space left on device"});
    const TSound sound = {Constant(20000, 3 << 20), Constant(20000, -7 << 20)};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Dir);
        TWaveWin* w = Window(sound);
        Offer({{5}}, 22050);
        Select(w, 100, 15000);
        setenv("TMPDIR", c.Dir.c_str(), 1);
        for (int command : {CmdCut, CmdCopy}) {
            Boxes.Expect("Could not put the sound on the clipboard: " + c.Why, IdOk);
            w->Command(command);
            ASSERT_EQ(Boxes.Shown.size() > 0 ? Boxes.Shown.back().Text : "",
                      "Could not put the sound on the clipboard: " + c.Why);
        }
        setenv("TMPDIR", TestTmpDir().c_str(), 1);
        EXPECT_EQ(Snapshot(w->Document), sound);
        EXPECT_FALSE(w->IsModified());
        EXPECT_FALSE(w->HasUndo());
        EXPECT_EQ(w->Selected(), TSampleRange(100, 15000, AllChannels));
        EXPECT_EQ(Clipboard(), (TSound{{5}}));
        // With room again, the cut takes the range out after the clipboard
        // holds it.
        w->Command(CmdCut);
        EXPECT_EQ(w->Document.GetLength(), 20000u - 14900u);
        EXPECT_EQ(Clipboard(), (TSound{Constant(14900, 3 << 20), Constant(14900, -7 << 20)}));
        w->SetModified(false);
    }
    if (mounted)
        umount2(full.c_str(), MNT_DETACH);
    std::filesystem::remove(full);
}
