// The document window's life: titles, loading, saving, closing.

#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "platform/drives.h"
#include "util/settings.h"
#include "wave/formats.h"
#include "wave/opuswriter.h"
#include "wavewin/filechoice.h"
#include "wavewin/wavewindlg.h"
#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using NSWaveWinTest::WaveWinTest;

namespace {

std::string Caption(TWaveWin* w) {
    return w->Child->windowTitle().toStdString();
}

} // namespace

TEST_F(WaveWinTest, UntitledWindowsAreNumberedAndNumbersAreNeverReused) {
    const int first = TWaveWin::NextUntitledNumber();
    TWaveWin* a = Open();
    TWaveWin* b = Open();
    EXPECT_EQ(Caption(a), "Sound " + std::to_string(first));
    EXPECT_EQ(Caption(b), "Sound " + std::to_string(first + 1));
    b->Child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TWaveWin* c = Open();
    EXPECT_EQ(Caption(c), "Sound " + std::to_string(first + 2));
    // A new sound: 8-bit, 22050 samples a second, one empty channel.
    EXPECT_EQ(a->FormatButton->text().toStdString(), "8 bit/22.05 kHz");
    EXPECT_EQ(a->Document.ChannelCount(), 1);
    EXPECT_EQ(a->Document.GetLength(), 0u);
    EXPECT_FALSE(a->IsModified());
}

TEST_F(WaveWinTest, LoadingShowsTheFileAndItsFormatAndAFailureLeavesAnUntitledSound) {
    std::string stereo = MakeSound("stereo.wav", 2, 1000, 44100, 2);
    std::string deep = MakeSound("deep.aiff", 1, 1000, 48000, 3);
    TWaveWin* w = Open(stereo);
    EXPECT_EQ(Caption(w), "stereo.wav");
    EXPECT_EQ(w->FormatButton->text().toStdString(), "16 bit/44.1 kHz");
    EXPECT_EQ(w->Document.ChannelCount(), 2);
    EXPECT_EQ(int(w->Views().Count()), 2);
    w->LoadFile(deep);
    EXPECT_EQ(w->FormatButton->text().toStdString(), "24 bit/48 kHz");

    // A file that cannot be read: the exact message, then an untitled sound
    // that is not modified.
    std::string broken = Path("broken.wav");
    std::ofstream(broken) << "this is not a sound";
    TWaveWin* v = Open();
    const int number = v->Number();
    Boxes.Expect("Error reading file '" + broken + "': ", IdOk);
    v->LoadFile(broken);
    ASSERT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_EQ(Boxes.Shown[0].Caption, "Brimvale");
    EXPECT_EQ(Caption(v), "Sound " + std::to_string(number));
    EXPECT_FALSE(v->IsModified());
    EXPECT_TRUE(v->File().empty());
    EXPECT_FALSE(v->IsEnabled(CmdRevert));

    // A file cut short: what is there is kept, and the user is told.
    std::string cut = MakeSound("cut.wav", 1, 22050, 22050, 2);
    std::filesystem::resize_file(cut, 44 + 22050);
    Boxes.Expect("The file ended early: 0.5 of 1 seconds were read.", IdOk);
    v->LoadFile(cut);
    ASSERT_EQ(Boxes.Shown.size(), 2u);
    EXPECT_EQ(v->File(), cut);
    EXPECT_EQ(v->Document.GetLength(), 11025u);
    EXPECT_FALSE(v->IsModified());
}

TEST_F(WaveWinTest, SaveAsOffersTheTypeTheSoundCameFromAndRemembersOnlyLastingFolders) {
    std::string aiff = MakeSound("take.aiff", 1, 500);
    std::string wav = MakeSound("take.wav", 1, 500);
    TWaveWin* w = Open(aiff);
    Dialogs.Expect("Save Sound File", Path("copy.aif"));
    ASSERT_TRUE(w->SaveFile(true));
    ASSERT_EQ(Dialogs.Shown.size(), 1u);
    EXPECT_EQ(Dialogs.Shown[0].FilterIndex, 2);
    EXPECT_EQ(Dialogs.Shown[0].DefaultSuffix, "aif");
    EXPECT_EQ(Dialogs.Shown[0].FileName, aiff);
    EXPECT_TRUE(Dialogs.Shown[0].Save && Dialogs.Shown[0].PromptOverwrite);
    EXPECT_EQ(Dialogs.Shown[0].Filters[1].rfind("AIFF (*.aiff *.aif", 0), 0u);
    EXPECT_EQ(Caption(w), "copy.aif");
    EXPECT_EQ(LastDirSetting().Get(), Folder.path().toStdString());

    w->LoadFile(wav);
    Dialogs.Expect("Save Sound File", "");
    EXPECT_FALSE(w->SaveFile(true));
    EXPECT_EQ(Dialogs.Shown[1].FilterIndex, 1);
    EXPECT_EQ(Dialogs.Shown[1].DefaultSuffix, "wav");
    EXPECT_EQ(Caption(w), "take.wav");

    // A folder in memory is not remembered.
    char shm[] = "/dev/shm/brimvale-test-XXXXXX";
    if (!mkdtemp(shm))
        GTEST_SKIP() << "no /dev/shm here";
    std::string ram = std::string(shm) + "/x.wav";
    if (NSDrives::IsTransient(shm)) {
        Dialogs.Expect("Save Sound File", ram);
        EXPECT_TRUE(w->SaveFile(true));
        EXPECT_EQ(LastDirSetting().Get(), Folder.path().toStdString());
    }
    std::remove(ram.c_str());
    rmdir(shm);
}

// Opus is lossy: after Save As the window shows the new file's name and
// keeps the sound it had, and the next Save As offers Opus again.
TEST_F(WaveWinTest, SavingAsOpusKeepsTheSoundInMemoryAndOffersOpusAgain) {
    if (!NSWave::CanSaveOpus())
        GTEST_SKIP() << "built without the Opus encoder";
    TWaveWin* w = Open(MakeSound("take.wav", 2, 9600, 48000, 2, [](int c, uint32_t i) {
        return int32_t(std::lround(8000 * std::sin(0.05 * (c + 1) * i))) * 65536;
    }));
    const std::vector<int32_t> before(w->Document.Channel(1).Samples,
                                      w->Document.Channel(1).Samples + 9600);
    const std::string opus = Path("take.opus");
    Dialogs.Expect("Save Sound File", opus);
    ASSERT_TRUE(w->SaveFile(true));
    const std::vector<std::string> filters = Dialogs.Shown[0].Filters;
    EXPECT_NE(std::find(filters.begin(), filters.end(), "Opus (*.opus)"), filters.end());
    EXPECT_EQ(Caption(w), "take.opus");
    EXPECT_FALSE(w->IsModified());
    ASSERT_EQ(w->Document.GetLength(), 9600u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), w->Document.Channel(1).Samples));
    std::ifstream in(opus, std::ios::binary);
    const std::string head(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(head.rfind("OggS", 0), 0u);
    EXPECT_NE(head.find("OpusHead"), std::string::npos);

    Dialogs.Expect("Save Sound File", "");
    EXPECT_FALSE(w->SaveFile(true));
    ASSERT_EQ(Dialogs.Shown.size(), 2u);
    EXPECT_EQ(filters[size_t(Dialogs.Shown[1].FilterIndex - 1)], "Opus (*.opus)");
    EXPECT_EQ(Dialogs.Shown[1].DefaultSuffix, "opus");
}

TEST_F(WaveWinTest, ClosingAModifiedSoundAsksAndEachAnswerDoesWhatItSays) {
    std::string path = MakeSound("keep.wav", 1, 300);
    auto modifiedWindow = [&] {
        TWaveWin* w = Open(path);
        w->Document.Channel(0).MutableSamples(0)[0] = 12345 << 16;
        w->SetModified(true);
        return w;
    };
    // Cancel keeps it open and modified.
    TWaveWin* w = modifiedWindow();
    QPointer<QMdiSubWindow> child = w->Child;
    Boxes.Expect("Save changes to '" + path + "'?", IdCancel);
    w->Command(CmdClose);
    ASSERT_TRUE(child);
    EXPECT_TRUE(w->IsModified());
    // No discards: the file is as it was.
    Boxes.Expect("Save changes to '" + path + "'?", IdNo);
    child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(child);
    NSWave::TFile check;
    check.Load(path);
    EXPECT_NE(check.Channel(0).Samples[0], 12345 << 16);
    // Yes saves, then closes.
    w = modifiedWindow();
    child = w->Child;
    Boxes.Expect("Save changes to", IdYes);
    child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(child);
    check.Load(path);
    EXPECT_EQ(check.Channel(0).Samples[0], 12345 << 16);
    // Yes with a save that fails keeps the window.
    w = modifiedWindow();
    child = w->Child;
    TWaveWinProbe::FileName(*w) = Path("no/such/folder/x.wav");
    Boxes.Expect("Save changes to", IdYes);
    Boxes.Expect("Error writing file '" + w->File() + "': ", IdOk);
    child->close();
    ASSERT_TRUE(child);
    EXPECT_TRUE(w->IsModified());
    // An unmodified sound closes without a word.
    w->SetModified(false);
    child->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(child);
}

TEST_F(WaveWinTest, SavingToATypeWithFewerBitsAsksFirst) {
    std::string path = MakeSound("rich.wav", 1, 400, 22050, 2);
    TWaveWin* w = Open(path);
    w->SetModified(true);
    const std::string narrow = Path("narrow.8svx");
    // No: nothing written, the window keeps its file and stays modified.
    Dialogs.Expect("Save Sound File", narrow);
    Boxes.Expect("The file type holds only 8-bit samples. Save anyway?", IdNo);
    EXPECT_FALSE(w->SaveFile(true));
    EXPECT_EQ(w->File(), path);
    EXPECT_TRUE(w->IsModified());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(narrow)));
    // Yes: written at the type's resolution.
    Dialogs.Expect("Save Sound File", narrow);
    Boxes.Expect("The file type holds only 8-bit samples. Save anyway?", IdYes);
    EXPECT_TRUE(w->SaveFile(true));
    EXPECT_FALSE(w->IsModified());
    NSWave::TFile check;
    check.Load(narrow);
    EXPECT_EQ(check.GetLength(), 400u);
}

TEST_F(WaveWinTest, TheDocumentDialogFollowsItsSizeBelowAndAboveTheTemplate) {
    TWaveWin* w = Open(std::string(), false);
    TWaveWinDlg* dialog = w->Dialog;
    const QSize base = dialog->BaseSize();
    ASSERT_EQ(base, dialog->sizeHint());
    auto at = [&](int id) { return dialog->Control(id)->geometry(); };
    const QRect wave0 = at(2501), transport0 = at(2502), hScroll0 = at(2506), vScroll0 = at(2505),
                effects0 = at(2555), height0 = at(2508), status0 = at(2503);
    // The fixed thicknesses of set-up.
    EXPECT_EQ(hScroll0.height(), 25);
    EXPECT_EQ(vScroll0.width(), 25);
    EXPECT_EQ(at(2049).height(), 25);
    for (QSize delta : {QSize(-120, -60), QSize(200, 90)}) {
        dialog->resize(base + delta);
        const int dx = delta.width(), dy = delta.height();
        EXPECT_EQ(at(2501).size(), wave0.size() + delta);
        EXPECT_EQ(at(2502), transport0.translated(0, dy));
        EXPECT_EQ(at(2503), status0.translated(0, dy));
        EXPECT_EQ(at(2506), QRect(hScroll0.left(), hScroll0.top() + dy, hScroll0.width() + dx,
                                  hScroll0.height()));
        EXPECT_EQ(at(2505), QRect(vScroll0.left() + dx, vScroll0.top(), vScroll0.width(),
                                  vScroll0.height() + dy));
        EXPECT_EQ(at(2508), height0.translated(dx, 0));
        EXPECT_EQ(at(2555), effects0);
    }
}

TEST_F(WaveWinTest, EscapeDuringALoadStopsItAndKeepsTheSoundAndItsName) {
    const std::string first = MakeSound("first.wav", 1, 100, 22050, 2);
    const std::string longer = MakeSound("longer.wav", 2, 400000, 44100, 2);
    TWaveWin* w = Open(first);
    // The key waits in the queue; the load sees it the first time it looks
    // at the window's events, and no other command runs meanwhile.
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    w->LoadFile(longer);
    EXPECT_TRUE(Boxes.Shown.empty());
    EXPECT_EQ(w->File(), first);
    EXPECT_EQ(w->Document.GetLength(), 100u);
    EXPECT_EQ(w->Document.ChannelCount(), 1);
    // Without the key it loads.
    w->LoadFile(longer);
    EXPECT_EQ(w->Document.GetLength(), 400000u);
}

TEST_F(WaveWinTest, RevertAsksBeforeDiscardingAndAFailedSaveOrReloadLeavesTheWindowAsItWas) {
    const std::string path = MakeSound("take.wav", 1, 400);
    TWaveWin* w = Open(path);
    const auto original = w->Document.Channel(0).Samples[0];
    w->SetSelection(TSampleRange(0, 100, AllChannels));
    w->Command(CmdSilence);
    ASSERT_TRUE(w->IsModified());
    const std::string question = "Discard the changes to take.wav and reload it from the file?";
    // No keeps everything.
    Boxes.Expect(question, IdNo);
    w->Command(CmdRevert);
    EXPECT_EQ(Boxes.Shown.size(), 1u);
    EXPECT_TRUE(w->IsModified());
    EXPECT_TRUE(w->HasUndo());
    EXPECT_EQ(w->Document.Channel(0).Samples[0], 0);

    // A Save As that fails keeps the window's name and state, modified or
    // not, and Revert still reads the window's own file.
    for (bool modified : {true, false}) {
        w->SetModified(modified);
        Dialogs.Expect("Save Sound File", Path("no/such/folder/x.wav"));
        Boxes.Expect("Error writing file '" + Path("no/such/folder/x.wav") + "': ", IdOk);
        EXPECT_FALSE(w->SaveFile(true));
        EXPECT_EQ(w->File(), path);
        EXPECT_EQ(Caption(w), "take.wav");
        EXPECT_EQ(w->IsModified(), modified);
    }
    w->SetModified(true);
    Boxes.Expect(question, IdYes);
    w->Command(CmdRevert);
    EXPECT_FALSE(w->IsModified());
    EXPECT_FALSE(w->HasUndo());
    EXPECT_EQ(w->Document.Channel(0).Samples[0], original);
    // Unmodified, it reloads without a question.
    const size_t shown = Boxes.Shown.size();
    w->Command(CmdRevert);
    EXPECT_EQ(Boxes.Shown.size(), shown);

    // A file gone from the disk: the message, and the window keeps its
    // name, its changes, its history and its samples.
    w->SetSelection(TSampleRange(0, 100, AllChannels));
    w->Command(CmdSilence);
    ASSERT_TRUE(w->IsModified());
    std::filesystem::remove(path);
    Boxes.Expect(question, IdYes);
    Boxes.Expect("Error reading file '" + path + "': ", IdOk);
    w->Command(CmdRevert);
    EXPECT_EQ(w->File(), path);
    EXPECT_EQ(Caption(w), "take.wav");
    EXPECT_TRUE(w->IsModified());
    EXPECT_TRUE(w->HasUndo());
    EXPECT_EQ(w->Document.GetLength(), 400u);
}

TEST(FileFilters, OneShortEntryPerFamilyThenAllSoundFilesAndAllFiles) {
    for (bool save : {false, true}) {
        const std::vector<std::string> filters = SoundFilters(save);
        ASSERT_GE(filters.size(), 4u);
        EXPECT_EQ(filters[0], "WAV (*.wav)");
        EXPECT_EQ(filters.back(), "All files (*)");
        const std::string& all = filters[filters.size() - 2];
        EXPECT_EQ(all.rfind("All sound files (*.wav *.aiff *.aif", 0), 0u);
        // Every family entry is short, and its suffixes are sound files.
        for (size_t i = 0; i + 2 < filters.size(); ++i) {
            EXPECT_LT(filters[i].size(), 40u) << filters[i];
            const size_t open = filters[i].find(" (");
            ASSERT_NE(open, std::string::npos);
            std::istringstream patterns(filters[i].substr(open + 2, filters[i].size() - open - 3));
            for (std::string p; patterns >> p;)
                EXPECT_NE(all.find(p), std::string::npos) << p;
        }
        // The library's suffixes each appear once, all of them in one entry.
        for (const std::string& type : NSWave::LibraryTypes(save))
            EXPECT_NE(all.find("*." + type), std::string::npos) << type;
    }
    // The families the installed library reads carry the names users know.
    const std::vector<std::string> open = SoundFilters(false);
    const auto has = [&](const std::string& t) {
        return std::find(open.begin(), open.end(), t) != open.end();
    };
    const std::vector<std::string> types = NSWave::LibraryTypes(false);
    for (const auto& [type, entry] :
         {std::pair{"flac", "FLAC (*.flac)"}, std::pair{"ogg", "Ogg Vorbis (*.ogg *.oga)"},
          std::pair{"mp3", "MP3 (*.mp3)"}}) {
        if (std::find(types.begin(), types.end(), type) != types.end()) {
            EXPECT_TRUE(has(entry)) << type;
        }
    }
    EXPECT_EQ(open[size_t(FilterIndexOf(open, "All sound files") - 1)].rfind("All sound", 0), 0u);
}
