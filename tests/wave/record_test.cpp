// Recording through the virtual sound card: the capture file, the count and
// the level, pause and resume, and one active document at a time.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/scriptedmsgbox.h"
#include "support/testenv.h"
#include "util/xmsg.h"
#include "wave/childrun.h"
#include "wave/devicetest.h"
#include "wave/wavetest.h"

using namespace NSWave;
using namespace NSWaveTest;

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Sample i of the card's source: a ramp that shows where every sample went.
int Ramp(int64_t i, int sampleBytes) {
    int v = int(i % 20000) - 10000;
    return sampleBytes == 1 ? v >> 8 : sampleBytes == 3 ? v * 256 + int(i % 251) : v;
}

} // namespace

TEST_F(DeviceTest, RecordPauseRecordStopKeepsBothPartsInOneFile) {
    Card.SetSource(Ramp);
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    TListener listener;
    engine.SetListener(&listener);

    engine.Record();
    EXPECT_EQ(engine.State(), TDeviceState::Recording);
    EXPECT_EQ(ActiveDocument(), &doc);
    EXPECT_EQ(Card.QueuedInputBlocks(), 128);
    EXPECT_TRUE(Card.InputStarted());
    const std::string name = engine.RecordFile().GetFileName();
    EXPECT_TRUE(EndsWith(name, ".sw")) << name;

    Hear(2048 + 100); // one full block, then 100 samples of the next
    EXPECT_EQ(engine.RecordedSamples(), 2048);
    engine.Pause(); // the partly filled block is dropped
    EXPECT_EQ(engine.State(), TDeviceState::RecordPaused);
    EXPECT_FALSE(Card.InputOpen());
    EXPECT_EQ(ActiveDocument(), nullptr);
    EXPECT_EQ(engine.RecordedSamples(), 2048);

    engine.Record(); // resumes into the same file
    EXPECT_EQ(engine.State(), TDeviceState::Recording);
    EXPECT_EQ(engine.RecordFile().GetFileName(), name);
    Hear(2048 + 50);
    EXPECT_EQ(engine.RecordedSamples(), 2 * 2048);

    TTmpFile taken = engine.TakeRecording(); // the partly filled block is kept
    EXPECT_EQ(engine.State(), TDeviceState::RecordDone);
    EXPECT_EQ(engine.RecordedSamples(), 2 * 2048 + 50);
    EXPECT_EQ(taken.GetFileName(), name);
    engine.Stop();
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
    EXPECT_EQ(engine.BlockCount(), 0);
    EXPECT_TRUE(engine.RecordFile().IsEmpty());

    std::vector<int> expected;
    for (int i = 0; i < 2048; ++i)
        expected.push_back(Ramp(i, 2));
    for (int i = 2148; i < 2148 + 2048 + 50; ++i)
        expected.push_back(Ramp(i, 2));
    auto recorded = As16(ReadAll(taken.GetFileName()));
    EXPECT_EQ(std::vector<int>(recorded.begin(), recorded.end()), expected);

    // Started, one block, resumed, one block, stop's partial block.
    ASSERT_EQ(listener.Progress.size(), 5u);
    EXPECT_EQ(listener.Progress[0], (TListener::TProgress{0, 0}));
    EXPECT_EQ(listener.Progress[2], (TListener::TProgress{2048, 0}));
    EXPECT_EQ(listener.Progress.back().Recorded, 2 * 2048 + 50);
    EXPECT_EQ(listener.RecordStops, 1);
    EXPECT_EQ(listener.LevelAtStop, 0);

    // The document's capture file goes with the last handle.
    taken.Release();
    EXPECT_FALSE(std::filesystem::exists(name));
    engine.SetListener(nullptr);
}

TEST_F(DeviceTest, TheCaptureFileFollowsTheSampleSizeOpened) {
    struct TCase {
        const char* Name;
        int Size;
        int Refused;
        int Bytes;
        const char* Suffix;
    } cases[] = {
        {"8 bits", 1, 0, 1, ".ub"},          {"16 bits", 2, 0, 2, ".sw"},
        {"8 bits refused", 1, 1, 2, ".sw"},  {"16 bits refused", 2, 2, 1, ".ub"},
        {"24 bits", 3, 0, 3, ".s3"},         {"24 bits from 32", 4, 0, 3, ".s3"},
        {"24 bits refused", 3, 3, 2, ".sw"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        Card.RefusedSampleBytes = c.Refused;
        Card.SourceConstant(-32768);
        TFile doc(11025, 2, c.Size, 1);
        TPlayRecEngine engine(doc);
        engine.Record();
        EXPECT_EQ(engine.InSampleBytes(), c.Bytes);
        EXPECT_EQ(Card.InputFormat.Rate, 11025);
        Hear(2048);
        TTmpFile taken = engine.TakeRecording();
        engine.Stop();
        EXPECT_TRUE(EndsWith(taken.GetFileName(), c.Suffix)) << taken.GetFileName();
        auto bytes = ReadAll(taken.GetFileName());
        ASSERT_EQ(bytes.size(), size_t(2048 * c.Bytes));
        // Unsigned 8-bit: the lowest value is byte 0; signed 16- and 24-bit:
        // 0x8000 and 0x800000.
        EXPECT_EQ(bytes[0], 0);
        EXPECT_EQ(bytes.back(), c.Bytes == 1 ? 0 : 0x80);
    }
}

TEST_F(DeviceTest, LevelIsThePeakOfTheLastBlock) {
    struct TCase {
        const char* Name;
        int Size;
        int Value; // constant input on the 16-bit scale
        int Level;
    } cases[] = {
        {"silence, 16 bits", 2, 0, 0},       {"silence, 8 bits", 1, 0, 0},
        {"lowest, 16 bits", 2, -32768, 100}, {"byte 0, 8 bits", 1, -32768, 100},
        {"highest, 16 bits", 2, 32767, 99},  {"highest, 8 bits", 1, 32767, 99},
        {"half, 16 bits", 2, 16384, 50},     {"half, 8 bits", 1, -16384, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        Card.SourceConstant(c.Value);
        TFile doc(22050, 2, c.Size, 1);
        TPlayRecEngine engine(doc);
        TListener listener;
        engine.SetListener(&listener);
        engine.Record();
        Hear(2048);
        ASSERT_EQ(listener.Progress.size(), 2u);
        EXPECT_EQ(listener.Progress[1], (TListener::TProgress{2048, c.Level}));
        engine.Stop();
        EXPECT_EQ(listener.LevelAtStop, 0);
        engine.SetListener(nullptr);
    }
    // Each channel of a stereo take has a level of its own; the loudest is
    // the level.
    Card.Clear();
    Card.SetSource(NSAudio::TVirtualCard::TFrameSource(
        [](int64_t, int channel, int) { return channel == 0 ? 8192 : -32768; }));
    TFile doc(22050, 2, 2, 2);
    TPlayRecEngine engine(doc);
    TListener listener;
    engine.SetListener(&listener);
    engine.Record();
    Hear(2048);
    EXPECT_EQ(listener.Levels, (std::vector<int>{25, 100}));
    EXPECT_EQ(listener.Progress.back().Level, 100);
    engine.Stop();
    EXPECT_EQ(listener.Levels, (std::vector<int>{0, 0}));
    engine.SetListener(nullptr);
}

TEST_F(DeviceTest, OneDocumentAtATimeUsesTheCard) {
    TFile player(22050, 2, 2, 1), recorder(22050, 2, 2, 1);
    TPlayRecEngine playerEngine(player);
    TPlayRecEngine recorderEngine(recorder);
    Fill(player.Channel(0), std::vector<int32_t>(100000, 0));

    recorderEngine.Record();
    playerEngine.Play(TSampleRange()); // refused, silently
    EXPECT_EQ(playerEngine.State(), TDeviceState::Idle);
    EXPECT_FALSE(Card.OutputOpen());
    playerEngine.Record();
    EXPECT_EQ(playerEngine.State(), TDeviceState::Idle);

    recorderEngine.Pause(); // a paused recording lets another document play
    playerEngine.Play(TSampleRange());
    EXPECT_EQ(playerEngine.State(), TDeviceState::Playing);
    recorderEngine.Record(); // and resumes only when that one has stopped
    EXPECT_EQ(recorderEngine.State(), TDeviceState::RecordPaused);
    EXPECT_FALSE(Card.InputOpen());

    playerEngine.Stop();
    recorderEngine.Record();
    EXPECT_EQ(recorderEngine.State(), TDeviceState::Recording);
    playerEngine.Play(TSampleRange());
    EXPECT_EQ(playerEngine.State(), TDeviceState::Idle);
    recorderEngine.Stop();
}

TEST_F(DeviceTest, PauseWhilePlayingStops) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    Fill(doc.Channel(0), std::vector<int32_t>(100000, 0));
    engine.Play(TSampleRange());
    engine.Pause();
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
    EXPECT_FALSE(Card.OutputOpen());
}

TEST_F(DeviceTest, ANewRecordingStartsAFreshFile) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    engine.Record();
    Hear(2048);
    TTmpFile first = engine.TakeRecording();
    engine.Record(); // from RecordDone: a fresh start
    EXPECT_EQ(engine.RecordedSamples(), 0);
    EXPECT_NE(engine.RecordFile().GetFileName(), first.GetFileName());
    engine.Stop();
}

TEST_F(DeviceTest, NothingToTakeWithoutARecording) {
    TFile doc;
    TPlayRecEngine engine(doc);
    EXPECT_TRUE(engine.TakeRecording().IsEmpty());
    EXPECT_EQ(engine.StopRecording(), 0);
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
}

TEST_F(DeviceTest, StopWithoutTakingLosesTheCaptureFile) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    TListener listener;
    engine.SetListener(&listener);
    engine.Record();
    Hear(3000);
    const std::string name = engine.RecordFile().GetFileName();
    engine.Stop();
    EXPECT_EQ(listener.RecordStops, 1);
    EXPECT_FALSE(std::filesystem::exists(name));
    engine.SetListener(nullptr);
}

TEST_F(DeviceTest, DestroyingARecordingDocumentStopsItAndRemovesItsFile) {
    std::string name;
    {
        TFile doc(22050, 2, 1, 1);
        TPlayRecEngine engine(doc);
        engine.Record();
        Hear(5000);
        name = engine.RecordFile().GetFileName();
        engine.Pause();
    }
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(DeviceTest, AnInputThatCannotOpenLeavesAPausedRecordingPaused) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    engine.Record();
    Hear(2048);
    engine.Pause();
    {
        TScriptedMessageBoxes boxes;
        boxes.Expect("No sound input could be opened: no sound card or sound server answers.",
                     IdOk);
        Card.Unavailable = true;
        engine.Record();
    }
    EXPECT_EQ(engine.State(), TDeviceState::RecordPaused);
    EXPECT_EQ(engine.RecordedSamples(), 2048);
    Card.Unavailable = false;
    engine.Record();
    EXPECT_EQ(engine.State(), TDeviceState::Recording);
    engine.Stop();
}

TEST_F(DeviceTest, NoCaptureFileMeansNoRecording) {
    // Recording into a file that could not be made would count and meter
    // into nothing; the recording must not start.
    // The capture folder cannot be made below a plain file.
    const std::string blocker = TestTmpDir() + "/plain";
    std::ofstream(blocker).put('x');
    setenv("XDG_STATE_HOME", blocker.c_str(), 1);
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    TListener listener;
    engine.SetListener(&listener);
    EXPECT_THROW(engine.Record(), xmsg);
    setenv("XDG_STATE_HOME", TestStateDir().c_str(), 1);
    std::filesystem::remove(blocker);
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
    EXPECT_FALSE(Card.InputOpen());
    EXPECT_TRUE(listener.Progress.empty());
    engine.SetListener(nullptr);
}

// A disk that fills in the middle of a take (a file-size limit stands in for
// it), at 8, 16 and 24 bits on one to three channels: every block still
// reaches the recording, in order, the file holding a prefix and memory the
// rest, and the listener hears of it once; the document gets every channel.
TEST_F(DeviceTest, ADiskThatFillsLosesNoSampleOfTheTake) {
    const TChildResult result = InChild(
        [&] {
            signal(SIGXFSZ, SIG_IGN);
            std::mt19937 random(21);
            for (int round = 0; round < 40; ++round) {
                const int bytes = 1 + int(random() % 3);
                const int channels = 1 + int(random() % 3);
                const int frameBytes = bytes * channels;
                const int64_t total = 2048 * 12 + int64_t(random() % 5000);
                // From no room at all to more than the whole take.
                const rlim_t room = random() % uint64_t(total * frameBytes + 8000);
                class TInMemory : public TListener {
                public:
                    void RecordInMemory(const std::string& why) override { Why.push_back(why); }
                    std::vector<std::string> Why;
                } listener;
                Card.Clear();
                Card.InputChannels = 3;
                Card.SetSource(NSAudio::TVirtualCard::TFrameSource(
                    [channels](int64_t i, int c, int sampleBytes) {
                        return Ramp(i * channels + c, sampleBytes);
                    }));
                TFile doc(8000, 2, bytes, channels); // a sync every four blocks
                TPlayRecEngine engine(doc);
                engine.SetListener(&listener);
                engine.Record();
                const rlimit limit = {room, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &limit);
                int64_t heard = 0;
                while (heard < total) {
                    int64_t n = std::min<int64_t>(total - heard, 1 + random() % 7000);
                    if (random() % 4 == 0) {
                        // A pause at a block's end keeps every sample heard.
                        n = 2048 - heard % 2048;
                        Hear(int(n));
                        engine.Pause();
                        engine.Record();
                    } else {
                        Hear(int(n));
                    }
                    heard += n;
                }
                TTmpFile taken = engine.TakeRecording();
                const auto tail = engine.RecordTail();
                engine.Stop();
                const rlimit none = {RLIM_INFINITY, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &none);
                const auto inFile = ReadAll(taken.GetFileName());
                const std::string trace =
                    "round " + std::to_string(round) + ", room " + std::to_string(room) + ": ";
                const bool fits = room >= rlim_t(heard * frameBytes);
                if (listener.Why.size() != (fits ? 0u : 1u))
                    Say(trace + std::to_string(listener.Why.size()) + " notices\n");
                if (!fits && !listener.Why.empty() &&
                    listener.Why[0] != "The disk is full: the recording goes on in memory and "
                                       "is not protected against a crash.")
                    Say(trace + listener.Why[0] + "\n");
                if (inFile.size() > room || inFile.size() % size_t(frameBytes) != 0)
                    Say(trace + "the file holds " + std::to_string(inFile.size()) + " bytes\n");
                // The file and the tail together, as the document gets them.
                TFile material(8000, 2, bytes, channels);
                if (!inFile.empty())
                    material.Load(taken.GetFileName(), nullptr, nullptr, channels);
                if (tail)
                    AppendCaptureTail(material, *tail);
                material.Rate = 8000;
                bool same =
                    material.GetLength() == uint64_t(heard) && material.ChannelCount() == channels;
                const int shift = 32 - 8 * bytes;
                for (int64_t i = 0; same && i < heard; ++i)
                    for (int c = 0; same && c < channels; ++c)
                        same = material.Channel(c).Samples[i] >> shift ==
                               Ramp(i * channels + c, bytes);
                if (!same)
                    Say(trace + "the recording differs (" + std::to_string(material.GetLength()) +
                        " of " + std::to_string(heard) + " samples)\n");
                engine.SetListener(nullptr);
            }
        },
        60);
    EXPECT_TRUE(result.Clean()) << result.Describe();
    EXPECT_EQ(result.Output, "");
}
