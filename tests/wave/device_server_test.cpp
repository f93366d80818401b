// Playing and recording through PortAudio and a real sound server: the
// server's null sink "ci_sink" (started by scripts/with-sound-server)
// carries the sound, and the pulseaudio tools play into it and capture from
// its monitor. Without that server these tests skip, except under CI, where
// a missing server is a failure.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

#include "platform/audio.h"
#include "support/scriptedmsgbox.h"
#include "support/testenv.h"
#include "wave/devicetest.h"

using namespace NSWave;
using namespace NSWaveTest;

namespace {

constexpr int Rate = 22050;

bool ServerHasTheTestSink() {
    if (!std::getenv("PULSE_SERVER"))
        return false;
    return std::system("pactl list short sinks 2>/dev/null | grep -q ci_sink") == 0;
}

// Lets the sound card's notices in until `done` holds or the time is up.
template <class F> bool WaitFor(F done, int seconds = 20) {
    QDeadlineTimer deadline(seconds * 1000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

std::vector<int16_t> ReadS16(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    return As16(bytes);
}

long FileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return in ? long(in.tellg()) : 0;
}

// Where a tone stands in a capture: its first and last loud sample, its
// peak and its frequency from the zero crossings between them.
struct TTone {
    long First = -1, Last = -1;
    int Peak = 0;
    double Hz = 0;
    long Length() const { return First < 0 ? 0 : Last - First + 1; }
};

TTone FindTone(const std::vector<int32_t>& s, int threshold) {
    TTone t;
    for (size_t i = 0; i < s.size(); ++i) {
        if (std::abs(s[i]) > threshold) {
            if (t.First < 0)
                t.First = long(i);
            t.Last = long(i);
        }
    }
    if (t.First < 0)
        return t;
    long crossings = 0;
    for (long i = t.First; i <= t.Last; ++i) {
        t.Peak = std::max(t.Peak, std::abs(s[size_t(i)]));
        if (i > t.First && (s[size_t(i - 1)] < 0) != (s[size_t(i)] < 0))
            ++crossings;
    }
    t.Hz = double(crossings) / 2 / (double(t.Length()) / Rate);
    return t;
}

class SoundServerTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        if (!ServerHasTheTestSink()) {
            const char* ci = std::getenv("CI");
            if (ci && std::string(ci) == "true")
                FAIL() << "CI needs the sound server of scripts/with-sound-server";
            GTEST_SKIP() << "no sound server with the test sink";
        }
        // The tests share the one sink: one at a time.
        std::string server = std::getenv("PULSE_SERVER");
        std::string lock = server.substr(server.find(':') + 1) + ".lock";
        Lock = open(lock.c_str(), O_CREAT | O_RDWR, 0600);
        ASSERT_GE(Lock, 0);
        ASSERT_EQ(flock(Lock, LOCK_EX), 0);
        Before = NSAudio::TAudioBackend::Install(&NSAudio::PortAudioBackend());
    }
    void TearDown() override {
        if (Lock >= 0) {
            NSAudio::TAudioBackend::Install(Before);
            close(Lock);
        }
        DeviceTest::TearDown();
    }

    int Lock = -1;
    NSAudio::TAudioBackend* Before = nullptr;
};

} // namespace

TEST_F(SoundServerTest, PlaysTheWholeToneIntoTheServer) {
    TFile doc(Rate, 2, 2, 1);
    TPlayRecEngine engine(doc);
    doc.Channel(0).SetSize(Rate);
    int32_t* wave = doc.Channel(0).MutableSamples(0);
    for (int i = 0; i < Rate; ++i)
        wave[i] = int32_t(std::lround(16384 * std::sin(2 * M_PI * 440 * i / Rate))) << 16;

    const std::string capture = TestTmpDir() + "/played.raw";
    QProcess recorder;
    recorder.start("parecord", {"--device=ci_sink.monitor", "--latency-msec=20", "--raw",
                                "--format=s16le", "--rate=" + QString::number(Rate), "--channels=1",
                                QString::fromStdString(capture)});
    ASSERT_TRUE(recorder.waitForStarted(10000));
    ASSERT_TRUE(WaitFor([&] { return FileSize(capture) > 0; })) << "parecord captured nothing";

    engine.Play(TSampleRange());
    ASSERT_EQ(engine.State(), TDeviceState::Playing);
    ASSERT_TRUE(WaitFor([&] { return engine.State() == TDeviceState::Idle; }));
    EXPECT_FALSE(Card.OutputOpen());

    // Let the capture run on past the end before reading it.
    const long after = FileSize(capture) + Rate; // half a second of samples
    EXPECT_TRUE(WaitFor([&] { return FileSize(capture) >= after; }));
    recorder.terminate();
    ASSERT_TRUE(recorder.waitForFinished(10000));

    auto raw = ReadS16(capture);
    std::filesystem::remove(capture);
    std::vector<int32_t> samples(raw.begin(), raw.end());
    TTone tone = FindTone(samples, 4000);
    ASSERT_GT(tone.Length(), 0) << "no tone in the capture";
    // The server may lose the first milliseconds while it takes on a new
    // stream; the end is the engine's to keep: the last period of the
    // capture must be the last period of the document.
    EXPECT_GT(tone.Length(), Rate - Rate / 20);
    std::vector<int32_t> played(static_cast<size_t>(Rate));
    for (int i = 0; i < Rate; ++i)
        played[size_t(i)] = doc.Channel(0).Samples[i] >> 16;
    const TTone original = FindTone(played, 4000);
    int worst = 0;
    for (long k = 0; k < Rate / 440 && k <= tone.Last; ++k)
        worst = std::max(
            worst, std::abs(samples[size_t(tone.Last - k)] - played[size_t(original.Last - k)]));
    EXPECT_LT(worst, 16384 / 10) << "the capture does not end as the document does";
    EXPECT_NEAR(tone.Peak, 16384, 16384 / 10);
    EXPECT_NEAR(tone.Hz, 440, 440 * 0.02);
}

TEST_F(SoundServerTest, RecordsWhatTheServerPlays) {
    TFile doc(Rate, 2, 2, 1);
    TPlayRecEngine engine(doc);
    engine.Record();
    ASSERT_EQ(engine.State(), TDeviceState::Recording);
    ASSERT_TRUE(WaitFor([&] { return engine.RecordedSamples() >= 2048; })) << "nothing recorded";

    // One second of 660 Hz at half scale, played by the server's own tool.
    const std::string source = TestTmpDir() + "/tone.raw";
    {
        std::ofstream out(source, std::ios::binary);
        for (int i = 0; i < Rate; ++i) {
            auto v = int16_t(std::lround(16384 * std::sin(2 * M_PI * 660 * i / Rate)));
            out.put(char(v & 0xFF)).put(char((v >> 8) & 0xFF));
        }
    }
    QProcess player;
    player.start("paplay",
                 {"--device=ci_sink", "--raw", "--format=s16le", "--rate=" + QString::number(Rate),
                  "--channels=1", QString::fromStdString(source)});
    ASSERT_TRUE(player.waitForStarted(10000));
    ASSERT_TRUE(WaitFor([&] { return player.state() == QProcess::NotRunning; }));
    EXPECT_EQ(player.exitCode(), 0);
    std::filesystem::remove(source);
    const int afterPlaying = engine.RecordedSamples() + Rate / 2;
    ASSERT_TRUE(WaitFor([&] { return engine.RecordedSamples() >= afterPlaying; }));

    TTmpFile taken = engine.TakeRecording();
    engine.Stop();
    ASSERT_FALSE(taken.IsEmpty());

    // Into a document as a recording enters one: raw at the document's rate,
    // appended at the end.
    TFile recording;
    recording.Load(taken.GetFileName());
    recording.Rate = doc.Rate;
    TSampleRange where = doc.Paste(recording, TSampleRange());
    ASSERT_GT(where.Length(), 0u);
    EXPECT_EQ(doc.GetLength(), uint32_t(engine.RecordedSamples()));

    std::vector<int32_t> samples(doc.GetLength());
    for (uint32_t i = 0; i < doc.GetLength(); ++i)
        samples[i] = doc.Channel(0).Samples[i] >> 16;
    TTone tone = FindTone(samples, 4000);
    ASSERT_GT(tone.Length(), 0) << "no tone in the recording";
    EXPECT_GT(tone.Length(), Rate - Rate / 20);
    EXPECT_LT(tone.Length(), Rate + Rate / 20);
    EXPECT_NEAR(tone.Peak, 16384, 16384 / 10);
    EXPECT_NEAR(tone.Hz, 660, 660 * 0.02);
}

namespace {

// A sound server of the test's own, which the test may end: its socket in
// the test's folder, reached by this process through PULSE_SERVER. Null
// sink only, as scripts/with-sound-server starts it.
class TOwnServer {
public:
    TOwnServer() {
        if (const char* server = std::getenv("PULSE_SERVER"))
            Before = server;
    }
    ~TOwnServer() {
        Kill();
        if (Before.empty())
            unsetenv("PULSE_SERVER");
        else
            setenv("PULSE_SERVER", Before.c_str(), 1);
    }

    // False (and why) when no server can be started here.
    bool Start(std::string& why) {
        if (std::system("command -v pulseaudio >/dev/null 2>&1") != 0) {
            why = "no pulseaudio program";
            return false;
        }
        const std::string dir = TestTmpDir() + "/ownserver";
        std::filesystem::create_directories(dir);
        const std::string socket = dir + "/native";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(dir));
        env.insert("PULSE_RUNTIME_PATH", QString::fromStdString(dir));
        env.insert("PULSE_STATE_PATH", QString::fromStdString(dir + "/state"));
        Server.setProcessEnvironment(env);
        Server.setProcessChannelMode(QProcess::MergedChannels);
        Server.start("pulseaudio",
                     {"--daemonize=no", "--exit-idle-time=-1", "-n", "--use-pid-file=no",
                      QString::fromStdString("--load=module-native-protocol-unix socket=" + socket +
                                             " auth-anonymous=1"),
                      "--load=module-null-sink sink_name=own_sink channels=1"});
        if (!Server.waitForStarted(10000)) {
            why = "pulseaudio did not start";
            return false;
        }
        setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
        const bool ready = WaitFor(
            [&] {
                return Server.state() != QProcess::Running ||
                       std::system("pactl info >/dev/null 2>&1") == 0;
            },
            20);
        if (!ready || Server.state() != QProcess::Running) {
            why = "the server did not answer: " + Server.readAll().toStdString();
            return false;
        }
        std::system("pactl set-default-sink own_sink && "
                    "pactl set-default-source own_sink.monitor");
        return true;
    }

    // Ends the server at once, as a crash would.
    void Kill() {
        if (Server.state() == QProcess::NotRunning)
            return;
        Server.kill();
        Server.waitForFinished(10000);
        std::filesystem::remove_all(TestTmpDir() + "/ownserver");
    }

private:
    QProcess Server;
    std::string Before;
};

void SkipOrFail(const std::string& why) {
    const char* ci = std::getenv("CI");
    if (ci && std::string(ci) == "true")
        FAIL() << "CI needs a sound server of the test's own: " << why;
    GTEST_SKIP() << why;
}

} // namespace

// Without a sound server Play and Record say that nothing could be opened,
// not that the sample rate is refused.
TEST_F(DeviceTest, WithoutASoundServerPlayAndRecordSaySo) {
    const char* server = std::getenv("PULSE_SERVER");
    const std::string serverBefore = server ? server : "";
    setenv("PULSE_SERVER", ("unix:" + TestTmpDir() + "/no-server-here").c_str(), 1);
    NSAudio::TAudioBackend* before = NSAudio::TAudioBackend::Install(&NSAudio::PortAudioBackend());
    {
        TScriptedMessageBoxes boxes;
        boxes.Expect("No sound output could be opened: no sound card or sound server answers.",
                     IdOk);
        boxes.Expect("No sound input could be opened: no sound card or sound server answers.",
                     IdOk);
        TFile doc(Rate, 2, 2, 1);
        TPlayRecEngine engine(doc);
        doc.Channel(0).SetSize(Rate);
        engine.Play(TSampleRange());
        EXPECT_EQ(engine.State(), TDeviceState::Idle);
        engine.Record();
        EXPECT_EQ(engine.State(), TDeviceState::Idle);
        EXPECT_EQ(ActiveDocument(), nullptr);
    }
    NSAudio::TAudioBackend::Install(before);
    if (serverBefore.empty())
        unsetenv("PULSE_SERVER");
    else
        setenv("PULSE_SERVER", serverBefore.c_str(), 1);
}

// A server that goes away while the document plays or records: playback
// ends, a recording pauses with what it had, and the user is told.
TEST_F(DeviceTest, AServerThatDiesEndsPlaybackAndPausesARecording) {
    std::string why;
    auto server = std::make_unique<TOwnServer>();
    if (!server->Start(why))
        return SkipOrFail(why);
    NSAudio::TAudioBackend* before = NSAudio::TAudioBackend::Install(&NSAudio::PortAudioBackend());
    TListener listener;
    TFile doc(Rate, 2, 2, 1);
    TPlayRecEngine engine(doc);
    engine.SetListener(&listener);
    doc.Channel(0).SetSize(Rate * 60);
    {
        TScriptedMessageBoxes boxes;
        engine.Play(TSampleRange());
        ASSERT_EQ(engine.State(), TDeviceState::Playing);
        ASSERT_TRUE(WaitFor([&] { return listener.Positions.size() > 40; })) << "nothing played";
        boxes.Expect("The sound output stopped working: playback has ended.", IdOk);
        server->Kill();
        EXPECT_TRUE(WaitFor([&] { return engine.State() == TDeviceState::Idle; }));
        EXPECT_EQ(listener.Stopped, 1);
        EXPECT_EQ(ActiveDocument(), nullptr);
    }
    server = std::make_unique<TOwnServer>();
    if (!server->Start(why))
        return SkipOrFail(why);
    {
        TScriptedMessageBoxes boxes;
        engine.Record();
        ASSERT_EQ(engine.State(), TDeviceState::Recording);
        ASSERT_TRUE(WaitFor([&] { return engine.RecordedSamples() >= 4 * 2048; }));
        boxes.Expect("The sound input stopped working: the recording is paused.", IdOk);
        server->Kill();
        EXPECT_TRUE(WaitFor([&] { return engine.State() == TDeviceState::RecordPaused; }));
        const int recorded = engine.RecordedSamples();
        EXPECT_GE(recorded, 4 * 2048);
        TTmpFile taken = engine.TakeRecording();
        engine.Stop();
        ASSERT_FALSE(taken.IsEmpty());
        EXPECT_EQ(std::filesystem::file_size(taken.GetFileName()), uint64_t(recorded) * 2);
    }
    engine.SetListener(nullptr);
    NSAudio::TAudioBackend::Install(before);
}
