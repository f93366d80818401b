// Start-up as the desktop drives it: files dropped on the main frame, and
// recordings of a process killed mid-take offered back at the next start.

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/audio_virtual.h"
#include "shell/app.h"
#include "support/scriptedfiledialog.h"
#include "support/scriptedmsgbox.h"
#include "support/testenv.h"
#include "wave/device.h"
#include "wave/file.h"
#include "wavewin/commands.h"
#include "wavewin/wavewin.h"

using namespace NSWaveWin;
namespace fs = std::filesystem;

namespace {

// What the recording child hears: a ramp that shows where every sample went.
int Ramp(int64_t i, int sampleBytes) {
    const int v = int((i * 7) % 30000) - 15000;
    return sampleBytes == 1 ? v >> 8 : sampleBytes == 3 ? v * 256 + int(i % 256) : v;
}

class StartTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSAudio::TVirtualCard::Instance().Clear();
        ASSERT_TRUE(Folder.isValid());
    }
    void TearDown() override { Quit(); }

    TApp& Start(const QStringList& files) {
        Quit();
        App = std::make_unique<TApp>(TAppOptions{0});
        App->Start(files);
        return *App;
    }
    // Ends the program without questions.
    void Quit() {
        for (TWaveWin* w : TWaveWin::Windows())
            w->SetModified(false);
        App.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TAppFrame* Frame() const { return App->Frame(); }
    QList<QMdiSubWindow*> Children() const { return Frame()->Client()->subWindowList(); }

    QString Sound(const QString& name) {
        NSWave::TFile file(22050, 2, 2, 1);
        file.SetSize(100, 1);
        QString path = Folder.filePath(name);
        file.Save(path.toStdString());
        return path;
    }

    // Files in the capture folder.
    static QStringList Captures() {
        return QDir(QString::fromStdString(TestStateDir() + "/brimvale"))
            .entryList(QDir::Files, QDir::Name);
    }

    // A process that records `blocks` full blocks and part of one more at
    // `rate`, `sampleBytes` and `channels` (Ramp over the interleaved
    // samples) into this process's capture folder, and is killed (SIGKILL)
    // once the blocks have reached the file.
    void RecordAndKill(int blocks, int rate, int sampleBytes, int channels = 1) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(
            "BRIMVALE_TEST_RECORD",
            QStringLiteral("%1 %2 %3 %4").arg(blocks).arg(rate).arg(sampleBytes).arg(channels));
        environment.insert("BRIMVALE_TEST_STATE", QString::fromStdString(TestStateDir()));
        // The child's own test folders, which it never gets to remove.
        environment.insert("TMPDIR", Folder.path());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--gtest_filter=RecordingChild.DISABLED_RecordsUntilKilled",
                     "--gtest_also_run_disabled_tests"});
        ASSERT_TRUE(child.waitForStarted());
        QByteArray said;
        while (!said.contains("recorded\n") && child.state() == QProcess::Running)
            if (child.waitForReadyRead(60000))
                said += child.readAllStandardOutput();
        ASSERT_TRUE(said.contains("recorded\n")) << said.toStdString();
        ::kill(pid_t(child.processId()), SIGKILL);
        ASSERT_TRUE(child.waitForFinished());
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }

    QTemporaryDir Folder;
    std::unique_ptr<TApp> App;
    TScriptedMessageBoxes Boxes;
    TScriptedFileDialogs Dialogs;
};

std::unique_ptr<QMimeData> UriList(const QList<QUrl>& urls) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    return data;
}

// Drags `data` over the frame and drops it there; whether each was accepted.
std::pair<bool, bool> DragAndDrop(QWidget* frame, const QMimeData* data) {
    const QPoint at = frame->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(frame, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(frame, &drop);
    QCoreApplication::sendPostedEvents();
    return {enter.isAccepted(), drop.isAccepted()};
}

} // namespace

TEST_F(StartTest, DroppedSoundFilesOpenAsFromFileOpenAndAnythingElseIsRefused) {
    Start({});
    ASSERT_EQ(Children().size(), 1); // the untouched document
    const QString a = Sound("a.wav"), b = Sound("b.aiff");
    const QString text = Folder.filePath("notes.txt");
    std::ofstream(text.toStdString()) << "not a sound";

    // Refused, without a message: plain text, a web address, a folder, a
    // file the library does not read, a sound file that does not exist.
    auto plain = std::make_unique<QMimeData>();
    plain->setText(a);
    for (const QMimeData* data :
         {plain.get(), UriList({QUrl("https://example.org/a.wav")}).release(),
          UriList({QUrl::fromLocalFile(Folder.path())}).release(),
          UriList({QUrl::fromLocalFile(text)}).release(),
          UriList({QUrl::fromLocalFile(Folder.filePath("gone.wav"))}).release()}) {
        EXPECT_EQ(DragAndDrop(Frame(), data), std::make_pair(false, false))
            << data->formats().join(' ').toStdString();
        if (data != plain.get())
            delete data;
    }
    EXPECT_EQ(Children().size(), 1);

    // Two sound files among other things: the first goes into the untouched
    // document, the second into a window of its own.
    auto files = UriList({QUrl::fromLocalFile(text), QUrl::fromLocalFile(a),
                          QUrl("https://example.org/x.wav"), QUrl::fromLocalFile(b)});
    EXPECT_EQ(DragAndDrop(Frame(), files.get()), std::make_pair(true, true));
    ASSERT_EQ(Children().size(), 2);
    EXPECT_EQ(Children()[0]->windowTitle(), "a.wav");
    EXPECT_EQ(Children()[1]->windowTitle(), "b.aiff");
    EXPECT_EQ(Frame()->Recent().Files().first(), b);
    EXPECT_TRUE(Boxes.Shown.empty());

    // A sound whose name has no suffix the library knows is taken for what
    // its content is.
    const QString bare = Folder.filePath("take");
    std::filesystem::copy_file(a.toStdString(), bare.toStdString());
    auto unnamed = UriList({QUrl::fromLocalFile(bare)});
    EXPECT_EQ(DragAndDrop(Frame(), unnamed.get()), std::make_pair(true, true));
    ASSERT_EQ(Children().size(), 3);
    EXPECT_EQ(Children()[2]->windowTitle(), "take");
    // So is one whose suffix says something else.
    const QString misnamed = Folder.filePath("take.txt");
    std::filesystem::copy_file(a.toStdString(), misnamed.toStdString());
    auto wrong = UriList({QUrl::fromLocalFile(misnamed)});
    EXPECT_EQ(DragAndDrop(Frame(), wrong.get()), std::make_pair(true, true));
    ASSERT_EQ(Children().size(), 4);
    EXPECT_EQ(Children()[3]->windowTitle(), "take.txt");
}

TEST_F(StartTest, ARecordingKilledMidTakeIsOfferedUntilRecoveredOrDeleted) {
    const int blocks = 5, rate = 11025;
    ASSERT_NO_FATAL_FAILURE(RecordAndKill(blocks, rate, 2));
    ASSERT_EQ(Captures().size(), 2u); // the capture and its note

    // Later keeps it: the program starts as it would without it.
    const std::string question = "A recording of 0.9 seconds from ";
    Boxes.Expect(question, IdCancel);
    Start({});
    ASSERT_EQ(Boxes.Shown.size(), 1u);
    const TMessageBoxRequest& asked = Boxes.Shown[0];
    EXPECT_NE(asked.Text.find(" was not saved. Recover it?"), std::string::npos) << asked.Text;
    EXPECT_EQ(asked.Buttons, TMsgButtons::YesNoCancel);
    ASSERT_EQ(asked.ButtonTexts.size(), 3u);
    EXPECT_EQ(asked.ButtonTexts[2], "Later");
    ASSERT_EQ(Children().size(), 1);
    EXPECT_FALSE(TWaveWin::Windows()[0]->IsModified());
    EXPECT_EQ(Captures().size(), 2u);

    // Yes at the next start: a new untitled, modified sound holding every
    // block that reached the file, sample for sample, at the recording's
    // rate; the partly filled block never left the card.
    Boxes.Expect(question, IdYes);
    Start({Folder.filePath("missing.wav")});
    ASSERT_EQ(Children().size(), 1);
    TWaveWin* w = TWaveWin::Windows()[0];
    EXPECT_TRUE(w->File().empty());
    EXPECT_TRUE(w->IsModified());
    EXPECT_TRUE(Children()[0]->isMaximized());
    EXPECT_EQ(w->Document.Rate, rate);
    EXPECT_EQ(w->Document.Size, 2);
    ASSERT_EQ(w->Document.ChannelCount(), 1);
    const NSWave::TChannel& channel = w->Document.Channel(0);
    ASSERT_EQ(channel.Count, uint32_t(blocks * 2048));
    int wrong = 0;
    for (uint32_t i = 0; i < channel.Count; ++i)
        wrong += channel.Samples[i] != Ramp(i, 2) * 65536;
    EXPECT_EQ(wrong, 0);
    // The insertion can be undone and redone like a recording just made; its
    // note has gone, only the file the undo record reads remains.
    EXPECT_EQ(Captures().size(), 1u);
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.GetLength(), 0u);
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.GetLength(), uint32_t(blocks * 2048));
    Quit();
    EXPECT_EQ(Captures(), QStringList());

    // No deletes it; an 8-bit recording this time.
    ASSERT_NO_FATAL_FAILURE(RecordAndKill(3, 8000, 1));
    Boxes.Expect("A recording of 0.7 seconds from ", IdNo);
    Start({});
    EXPECT_EQ(Children().size(), 1);
    EXPECT_FALSE(TWaveWin::Windows()[0]->IsModified());
    EXPECT_EQ(Captures(), QStringList());
    Quit();

    // A stereo 24-bit take comes back with both its channels, each sample
    // where it was.
    ASSERT_NO_FATAL_FAILURE(RecordAndKill(2, 8000, 3, 2));
    Boxes.Expect("A recording of 0.5 seconds from ", IdYes);
    Start({});
    ASSERT_EQ(Children().size(), 1);
    const TWaveWin* stereo = TWaveWin::Windows()[0];
    EXPECT_EQ(stereo->Document.Size, 3);
    ASSERT_EQ(stereo->Document.ChannelCount(), 2);
    wrong = 0;
    for (int c = 0; c < 2; ++c) {
        const NSWave::TChannel& samples = stereo->Document.Channel(c);
        ASSERT_EQ(samples.Count, uint32_t(2 * 2048));
        for (uint32_t i = 0; i < samples.Count; ++i)
            wrong += samples.Samples[i] != Ramp(int64_t(i) * 2 + c, 3) * 256;
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(StartTest, LeavingWhileRecordingAsksAboutTheRecordingInsteadOfDroppingIt) {
    Start({});
    TWaveWin* w = TWaveWin::Windows()[0];
    auto& card = NSAudio::TVirtualCard::Instance();
    card.SetSource(Ramp);
    w->Command(CmdRecord);
    ASSERT_EQ(w->Engine.State(), NSWave::TDeviceState::Recording);
    card.Capture(3000);
    NSWave::TWaveHook::Instance().ProcessWaiting();
    ASSERT_EQ(Captures().size(), 2u);

    Boxes.Expect("Save changes to 'Sound ", IdCancel);
    Frame()->Command(CmdExit);
    ASSERT_EQ(Children().size(), 1); // still running
    EXPECT_EQ(w->Engine.State(), NSWave::TDeviceState::Idle);
    EXPECT_TRUE(w->IsModified());
    EXPECT_EQ(w->Document.GetLength(), 3000u);
    EXPECT_EQ(Captures().size(), 1u); // the note has gone with the recording in
}

// Run by RecordAndKill in a process of its own; waits to be killed.
TEST(RecordingChild, DISABLED_RecordsUntilKilled) {
    const char* spec = std::getenv("BRIMVALE_TEST_RECORD");
    ASSERT_NE(spec, nullptr);
    int blocks = 0, rate = 0, sampleBytes = 0, channels = 0;
    ASSERT_EQ(std::sscanf(spec, "%d %d %d %d", &blocks, &rate, &sampleBytes, &channels), 4);
    setenv("XDG_STATE_HOME", std::getenv("BRIMVALE_TEST_STATE"), 1);
    auto& card = NSAudio::TVirtualCard::Instance();
    card.SetSource(NSAudio::TVirtualCard::TFrameSource(
        [channels](int64_t i, int c, int bytes) { return Ramp(i * channels + c, bytes); }));
    static NSWave::TFile doc(rate, 2, sampleBytes, channels);
    static NSWave::TPlayRecEngine engine(doc);
    engine.Record();
    ASSERT_EQ(engine.State(), NSWave::TDeviceState::Recording);
    card.Capture(blocks * 2048 + 1000);
    NSWave::TWaveHook::Instance().ProcessWaiting();
    ASSERT_EQ(engine.RecordedSamples(), blocks * 2048);
    std::fputs("recorded\n", stdout);
    std::fflush(stdout);
    for (;;)
        pause();
}
