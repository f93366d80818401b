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

namespace {

// What the server's recorder hears from `device` (a monitor) while `play`
// plays: interleaved 16-bit frames of `channels`.
template <class F>
std::vector<int16_t> HearFromServer(const std::string& device, int channels, int rate, F play) {
    const std::string capture = TestTmpDir() + "/heard.raw";
    QProcess recorder;
    // A roomy fragment: a recorder held up by a busy machine loses nothing.
    recorder.start("parecord",
                   {"--device=" + QString::fromStdString(device), "--latency-msec=200", "--raw",
                    "--format=s16le", "--rate=" + QString::number(rate),
                    "--channels=" + QString::number(channels), QString::fromStdString(capture)});
    EXPECT_TRUE(recorder.waitForStarted(10000));
    // Half a second first: the sink settles its latency to the recorder's.
    EXPECT_TRUE(WaitFor([&] { return FileSize(capture) >= long(rate) * channels; }))
        << "parecord captured nothing";
    play();
    const long after = FileSize(capture) + long(rate) * channels; // half a second
    EXPECT_TRUE(WaitFor([&] { return FileSize(capture) >= after; }));
    recorder.terminate();
    EXPECT_TRUE(recorder.waitForFinished(10000));
    auto heard = ReadS16(capture);
    std::filesystem::remove(capture);
    return heard;
}

// How many of `expected`'s 256-frame stretches the capture holds exactly (each
// sample within `tolerance`), in order: a gap in what the recorder got costs
// only the stretches it falls in. Negative when the last stretch, the end of
// the sound, is missing.
double ShareHeardExactly(const std::vector<int16_t>& heard, const std::vector<int16_t>& expected,
                         int channels, int tolerance) {
    constexpr size_t Stretch = 256;
    const size_t frames = expected.size() / size_t(channels);
    const size_t heardFrames = heard.size() / size_t(channels);
    auto matches = [&](size_t at, size_t from) {
        for (size_t f = 0; f < Stretch; ++f)
            for (int c = 0; c < channels; ++c)
                if (std::abs(heard[(at + f) * size_t(channels) + size_t(c)] -
                             expected[(from + f) * size_t(channels) + size_t(c)]) > tolerance)
                    return false;
        return true;
    };
    size_t found = 0, total = 0, at = 0;
    bool last = false;
    for (size_t from = 0; from + Stretch <= frames; from += Stretch, ++total) {
        last = false;
        for (size_t a = at; a + Stretch <= heardFrames; ++a)
            if (matches(a, from)) {
                ++found;
                at = a + Stretch;
                last = true;
                break;
            }
    }
    const double share = total ? double(found) / double(total) : 0;
    return last ? share : -share;
}

// A stereo sound whose channels each peak at -2.9 dBFS and which is loudest
// where they sum.
void FillStereo(TFile& doc, int frames) {
    doc.SetSize(uint32_t(frames), 2);
    const double peak = 32767 * std::pow(10.0, -2.9 / 20);
    for (int i = 0; i < frames; ++i) {
        // A sweep from 200 Hz up: no stretch of it repeats.
        const double seconds = double(i) / Rate;
        const double t = 2 * M_PI * (200 + 300 * seconds) * seconds;
        doc.Channel(0).MutableSamples(0)[i] = int32_t(std::lround(peak * std::cos(t))) << 16;
        doc.Channel(1).MutableSamples(0)[i] = int32_t(std::lround(peak * std::cos(t + 0.3))) << 16;
    }
}

} // namespace

// What the server hears is the sound, sample for sample: a stereo sound on
// a stereo sink as its two channels (at full volume exactly, at a lower one
// scaled by it), one channel of it on both; and on the mono test sink the
// server's own downmix, never the clipped sum of the channels.
TEST_F(SoundServerTest, TheServerHearsEachChannelAsItIs) {
    ASSERT_EQ(std::system(("pactl load-module module-null-sink sink_name=stereo_sink channels=2 "
                           "rate=" +
                           std::to_string(Rate) + " format=s16le >" + TestTmpDir() + "/module")
                              .c_str()),
              0);
    std::ifstream moduleFile(TestTmpDir() + "/module");
    std::string module;
    moduleFile >> module;
    std::filesystem::remove(TestTmpDir() + "/module");
    ASSERT_EQ(std::system("pactl set-default-sink stereo_sink"), 0);

    TFile doc(Rate, 2, 2, 2);
    FillStereo(doc, Rate);
    TPlayRecEngine engine(doc);
    auto play = [&](const TSampleRange& range, int volume) {
        return [&, range, volume] {
            engine.Play(range, volume);
            ASSERT_EQ(engine.State(), TDeviceState::Playing);
            ASSERT_EQ(engine.OutChannels(), 2);
            ASSERT_TRUE(WaitFor([&] { return engine.State() == TDeviceState::Idle; }));
        };
    };
    auto expected = [&](std::vector<int> channels, int volume) {
        std::vector<int16_t> frames;
        for (int i = 0; i < Rate; ++i)
            for (int c : channels)
                frames.push_back(
                    int16_t(int64_t(doc.Channel(c).Samples[i] >> 16) * volume / 65535));
        return frames;
    };
    struct TCase {
        const char* Name;
        TSampleRange Range;
        int Volume;
        std::vector<int> Channels; // the document's channel on each speaker
        int Tolerance;
    } cases[] = {
        {"stereo", TSampleRange(), 65535, {0, 1}, 0},
        {"stereo at level 3", TSampleRange(), 3 * VolumeStep, {0, 1}, 1},
        {"the right channel alone", TSampleRange(0, Rate, 1), 65535, {1, 1}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto heard = HearFromServer("stereo_sink.monitor", 2, Rate, play(c.Range, c.Volume));
        // The null sink's monitor may miss the first tenth of a second or so
        // of a new stream, played over what the sink had rendered ahead;
        // the rest, and the end, must be there exactly.
        EXPECT_GE(ShareHeardExactly(heard, expected(c.Channels, c.Volume), 2, c.Tolerance), 0.75);
    }
    std::system("pactl set-default-sink ci_sink");
    std::system(("pactl unload-module " + module).c_str());

    // The mono sink (at a rate of its own, so the server resamples): the
    // server mixes the two channels down at a level of its own; their
    // clipped sum would stand at full scale.
    const auto heard = HearFromServer("ci_sink.monitor", 1, Rate, play(TSampleRange(), 65535));
    int full = 0, peak = 0;
    for (int16_t v : heard) {
        full += v >= 32767 || v <= -32767;
        peak = std::max(peak, std::abs(int(v)));
    }
    EXPECT_EQ(full, 0) << "samples at full scale";
    int mono = 0;
    for (int i = 0; i < Rate; ++i)
        mono = std::max(
            mono,
            std::abs(((doc.Channel(0).Samples[i] >> 16) + (doc.Channel(1).Samples[i] >> 16)) / 2));
    EXPECT_GT(peak, mono * 9 / 10);
    EXPECT_LT(peak, 32000);
}
