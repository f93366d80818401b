// The clipboard against another program on a real X server: sound copied
// here is read by xclip and checked with the sox command, and a WAV file
// made by sox and put on the clipboard by xclip pastes here sample for
// sample.
//
// The test programs draw offscreen, so the parent test starts a private
// Xvfb and runs the clipboard part in a child process of this same program
// on that display. Without Xvfb, xclip or sox the test is skipped, except
// under CI=true, where that is a failure.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "support/childtest.h"
#include "wavewin/clipboard.h"
#include "wavewin/edittest.h"

extern char** environ;

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

const char* const ChildFlag = "BRIMVALE_X11_CHILD";

bool InCI() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// A private X server on a display it chooses itself; it says which once it
// accepts connections.
class TXServer {
public:
    ~TXServer() {
        if (Pid > 0) {
            kill(Pid, SIGTERM);
            waitpid(Pid, nullptr, 0);
        }
    }

    bool Start(std::string& error) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            error = "no pipe";
            return false;
        }
        // Only the writing end goes to the server.
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const char* argv[] = {"Xvfb",       "-displayfd", "3",   "-screen", "0",
                              "640x480x24", "-nolisten",  "tcp", nullptr};
        const int rc =
            posix_spawnp(&Pid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (rc != 0) {
            Pid = -1;
            close(fds[0]);
            error = "Xvfb did not start";
            return false;
        }
        std::string number;
        QDeadlineTimer deadline(30000);
        while (number.empty() || number.back() != '\n') {
            pollfd p{fds[0], POLLIN, 0};
            if (poll(&p, 1, int(deadline.remainingTime())) <= 0)
                break;
            char c;
            if (read(fds[0], &c, 1) != 1)
                break;
            number += c;
        }
        close(fds[0]);
        if (number.empty() || number.back() != '\n') {
            error = "Xvfb did not report a display";
            return false;
        }
        Display = ":" + number.substr(0, number.size() - 1);
        return true;
    }

    pid_t Pid = -1;
    std::string Display;
};

// Runs the event loop until `done` holds or the time is up; the clipboard
// serves other programs from the event loop.
template <class F> bool WaitFor(F done, int milliseconds = 30000) {
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

bool Finish(QProcess& process) {
    return WaitFor([&] { return process.state() == QProcess::NotRunning; }) &&
           process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Interleaved 16-bit samples of a sound file, as the sox command reads it.
std::vector<int16_t> SoxSamples(const std::string& file, const std::string& raw) {
    QProcess sox;
    sox.start("sox", {QString::fromStdString(file), "-t", "raw", "-e", "signed", "-b", "16", "-L",
                      QString::fromStdString(raw)});
    EXPECT_TRUE(Finish(sox)) << sox.readAllStandardError().toStdString();
    QFile in(QString::fromStdString(raw));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    std::vector<int16_t> samples(size_t(bytes.size()) / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

} // namespace

TEST(X11Clipboard, ExchangesSoundWithXclipOnARealXServer) {
    if (std::getenv(ChildFlag))
        GTEST_SKIP() << "the part that runs on the X server";
    for (const char* program : {"Xvfb", "xclip", "sox"}) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            if (InCI())
                FAIL() << program << " is not installed";
            GTEST_SKIP() << program << " is not installed";
        }
    }
    TXServer server;
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(ChildFlag, "1");
    env.insert("DISPLAY", QString::fromStdString(server.Display));
    env.insert("BRIMVALE_TEST_PLATFORM", "xcb");
    // The X libraries keep what they allocate until the process ends.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    ExpectChildTestPasses(env, "X11ClipboardChild.*");
}

class X11ClipboardChild : public EditTest {};

TEST_F(X11ClipboardChild, CopyToXclipAndPasteFromXclip) {
    if (!std::getenv(ChildFlag))
        GTEST_SKIP() << "runs in a child process on its own X server";
    ASSERT_EQ(QGuiApplication::platformName().toStdString(), "xcb");

    // Brimvale to xclip: a stereo range, read back as audio/x-wav.
    const uint32_t length = 3000;
    TSound sound(2, V(length));
    for (uint32_t i = 0; i < length; ++i) {
        sound[0][i] = int32_t(int16_t(i * 37)) << 16;
        sound[1][i] = int32_t(int16_t(30000 - i * 11)) << 16;
    }
    TWaveWin* w = Window(sound, 22050, 2);
    Select(w, 500, 2500);
    w->Command(CmdCopy);
    ASSERT_TRUE(QGuiApplication::clipboard()->ownsClipboard());

    QProcess targets;
    targets.start("xclip", {"-selection", "clipboard", "-t", "TARGETS", "-o"});
    ASSERT_TRUE(Finish(targets));
    const std::string offered = targets.readAllStandardOutput().toStdString();
    for (const char* type : WavMimeTypes)
        EXPECT_NE(offered.find(type), std::string::npos) << offered;

    const std::string copied = Path("copied.wav");
    QProcess out;
    out.setStandardOutputFile(QString::fromStdString(copied));
    out.start("xclip", {"-selection", "clipboard", "-t", "audio/x-wav", "-o"});
    ASSERT_TRUE(Finish(out)) << out.readAllStandardError().toStdString();
    const std::vector<int16_t> read = SoxSamples(copied, Path("copied.raw"));
    ASSERT_EQ(read.size(), 2u * 2000u);
    for (uint32_t i = 0; i < 2000; ++i) {
        ASSERT_EQ(read[2 * i], sound[0][500 + i] >> 16) << i;
        ASSERT_EQ(read[2 * i + 1], sound[1][500 + i] >> 16) << i;
    }

    // xclip to Brimvale: a WAV file made by sox, offered as audio/wav.
    const std::string made = Path("made.wav");
    QProcess synth;
    synth.start("sox", {"-n", "-r", "11025", "-c", "2", "-b", "16", QString::fromStdString(made),
                        "synth", "0.2", "sine", "440", "sine", "660"});
    ASSERT_TRUE(Finish(synth)) << synth.readAllStandardError().toStdString();
    const std::vector<int16_t> expected = SoxSamples(made, Path("made.raw"));

    QProcess in;
    in.start("xclip", {"-selection", "clipboard", "-t", "audio/wav", "-quiet",
                       QString::fromStdString(made)});
    ASSERT_TRUE(WaitFor([&] {
        return !QGuiApplication::clipboard()->ownsClipboard() && ClipboardHasSound();
    })) << "the clipboard never changed hands";
    TWaveWin* pasted = Open();
    ASSERT_TRUE(pasted->IsEnabled(CmdPaste));
    pasted->Command(CmdPaste);
    in.kill();
    in.waitForFinished();

    ASSERT_EQ(pasted->Document.ChannelCount(), 2);
    EXPECT_EQ(pasted->Document.Rate, 11025);
    ASSERT_EQ(size_t(pasted->Document.GetLength()) * 2, expected.size());
    for (size_t i = 0; i < expected.size() / 2; ++i) {
        ASSERT_EQ(pasted->Document.Channel(0).Samples[i], int32_t(expected[2 * i]) << 16) << i;
        ASSERT_EQ(pasted->Document.Channel(1).Samples[i], int32_t(expected[2 * i + 1]) << 16) << i;
    }

    // A file manager's Copy of a file that makes the library end its
    // process: the editor looks at it in a reader of its own before anyone
    // presses Paste, and stays up with Paste disabled.
    const std::string bomb = Path("minus-one.sph");
    { std::ofstream(bomb, std::ios::binary) << "NIST_1A\n     -1\nabcde"; }
    auto offerList = [&](const std::string& file) {
        auto* list = new QProcess;
        list->start("xclip", {"-selection", "clipboard", "-t", "text/uri-list", "-quiet"});
        list->write(("file://" + file + "\n").c_str());
        list->closeWriteChannel();
        return list;
    };
    std::unique_ptr<QProcess> listing(offerList(bomb));
    ASSERT_TRUE(WaitFor([&] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data && data->hasFormat("text/uri-list") && !ClipboardHasSound() &&
               !ClipboardCheckPending();
    })) << "the file list never arrived";
    EXPECT_FALSE(pasted->IsEnabled(CmdPaste));
    listing->kill();
    listing->waitForFinished();
    // The same for a file the library reads: Paste follows once it has been
    // looked at.
    listing.reset(offerList(made));
    ASSERT_TRUE(WaitFor([&] { return pasted->IsEnabled(CmdPaste); }));
    listing->kill();
    listing->waitForFinished();
    std::filesystem::remove(bomb);
}
