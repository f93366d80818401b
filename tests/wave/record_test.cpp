// Recording through the virtual sound card: the capture file, the count and
// the level, pause and resume, and one active document at a time.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/scriptedmsgbox.h"
#include "support/testenv.h"
#include "util/xmsg.h"
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
    return sampleBytes == 1 ? v >> 8 : v;
}

} // namespace

TEST_F(DeviceTest, RecordPauseRecordStopKeepsBothPartsInOneFile) {
    Card.SetSource(Ramp);
    TFile doc(22050, 2, 2, 1);
    TListener listener;
    doc.Status = &listener;

    doc.Record();
    EXPECT_EQ(doc.DeviceState, TDeviceState::Recording);
    EXPECT_EQ(ActiveDocument(), &doc);
    EXPECT_EQ(Card.QueuedInputBlocks(), 32);
    EXPECT_TRUE(Card.InputStarted());
    const std::string name = doc.RecordFile.GetFileName();
    EXPECT_TRUE(EndsWith(name, ".sw")) << name;

    Hear(2048 + 100); // one full block, then 100 samples of the next
    EXPECT_EQ(doc.RecordedSamples, 2048);
    doc.Pause(); // the partly filled block is dropped
    EXPECT_EQ(doc.DeviceState, TDeviceState::RecordPaused);
    EXPECT_FALSE(Card.InputOpen());
    EXPECT_EQ(ActiveDocument(), nullptr);
    EXPECT_EQ(doc.RecordedSamples, 2048);

    doc.Record(); // resumes into the same file
    EXPECT_EQ(doc.DeviceState, TDeviceState::Recording);
    EXPECT_EQ(doc.RecordFile.GetFileName(), name);
    Hear(2048 + 50);
    EXPECT_EQ(doc.RecordedSamples, 2 * 2048);

    TTmpFile taken = doc.TakeRecording(); // the partly filled block is kept
    EXPECT_EQ(doc.DeviceState, TDeviceState::RecordDone);
    EXPECT_EQ(doc.RecordedSamples, 2 * 2048 + 50);
    EXPECT_EQ(taken.GetFileName(), name);
    doc.Stop();
    EXPECT_EQ(doc.DeviceState, TDeviceState::Idle);
    EXPECT_EQ(doc.Blocks.Count(), 0);
    EXPECT_TRUE(doc.RecordFile.IsEmpty());

    std::vector<int> expected;
    for (int i = 0; i < 2048; ++i)
        expected.push_back(Ramp(i, 2));
    for (int i = 2148; i < 2148 + 2048 + 50; ++i)
        expected.push_back(Ramp(i, 2));
    auto recorded = As16(ReadAll(taken.GetFileName()));
    EXPECT_EQ(std::vector<int>(recorded.begin(), recorded.end()), expected);

    // Started, one block, resumed, one block, stop's partial block.
    EXPECT_EQ(listener.Progress.size(), 5u);
    EXPECT_EQ(listener.Progress[0], (TListener::TProgress{0, 0}));
    EXPECT_EQ(listener.Progress[2], (TListener::TProgress{2048, 0}));
    EXPECT_EQ(listener.Progress.back().Recorded, 2 * 2048 + 50);
    EXPECT_EQ(listener.RecordStops, 1);
    EXPECT_EQ(listener.LevelAtStop, 0);

    // The document's capture file goes with the last handle.
    taken.Release();
    EXPECT_FALSE(std::filesystem::exists(name));
    doc.Status = nullptr;
}

TEST_F(DeviceTest, TheCaptureFileFollowsTheSampleSizeOpened) {
    struct TCase {
        const char* Name;
        int Size;
        int Refused;
        int Bytes;
        const char* Suffix;
    } cases[] = {
        {"8 bits", 1, 0, 1, ".ub"},
        {"16 bits", 2, 0, 2, ".sw"},
        {"8 bits refused", 1, 1, 2, ".sw"},
        {"16 bits refused", 2, 2, 1, ".ub"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        Card.RefusedSampleBytes = c.Refused;
        Card.SourceConstant(-32768);
        TFile doc(11025, 2, c.Size, 1);
        doc.Record();
        EXPECT_EQ(doc.InSampleBytes, c.Bytes);
        EXPECT_EQ(Card.InputFormat.Rate, 11025);
        Hear(2048);
        TTmpFile taken = doc.TakeRecording();
        doc.Stop();
        EXPECT_TRUE(EndsWith(taken.GetFileName(), c.Suffix)) << taken.GetFileName();
        auto bytes = ReadAll(taken.GetFileName());
        ASSERT_EQ(bytes.size(), size_t(2048 * c.Bytes));
        // Unsigned 8-bit: the lowest value is byte 0; signed 16-bit: 0x8000.
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
        TListener listener;
        doc.Status = &listener;
        doc.Record();
        Hear(2048);
        ASSERT_EQ(listener.Progress.size(), 2u);
        EXPECT_EQ(listener.Progress[1], (TListener::TProgress{2048, c.Level}));
        doc.Stop();
        EXPECT_EQ(listener.LevelAtStop, 0);
        doc.Status = nullptr;
    }
}

TEST_F(DeviceTest, OneDocumentAtATimeUsesTheCard) {
    TFile player(22050, 2, 2, 1), recorder(22050, 2, 2, 1);
    Fill(player.Channel(0), std::vector<int32_t>(100000, 0));

    recorder.Record();
    player.Play(TSampleRange()); // refused, silently
    EXPECT_EQ(player.DeviceState, TDeviceState::Idle);
    EXPECT_FALSE(Card.OutputOpen());
    player.Record();
    EXPECT_EQ(player.DeviceState, TDeviceState::Idle);

    recorder.Pause(); // a paused recording lets another document play
    player.Play(TSampleRange());
    EXPECT_EQ(player.DeviceState, TDeviceState::Playing);
    recorder.Record(); // and resumes only when that one has stopped
    EXPECT_EQ(recorder.DeviceState, TDeviceState::RecordPaused);
    EXPECT_FALSE(Card.InputOpen());

    player.Stop();
    recorder.Record();
    EXPECT_EQ(recorder.DeviceState, TDeviceState::Recording);
    player.Play(TSampleRange());
    EXPECT_EQ(player.DeviceState, TDeviceState::Idle);
    recorder.Stop();
}

TEST_F(DeviceTest, PauseWhilePlayingStops) {
    TFile doc(22050, 2, 2, 1);
    Fill(doc.Channel(0), std::vector<int32_t>(100000, 0));
    doc.Play(TSampleRange());
    doc.Pause();
    EXPECT_EQ(doc.DeviceState, TDeviceState::Idle);
    EXPECT_FALSE(Card.OutputOpen());
}

TEST_F(DeviceTest, ANewRecordingStartsAFreshFile) {
    TFile doc(22050, 2, 2, 1);
    doc.Record();
    Hear(2048);
    TTmpFile first = doc.TakeRecording();
    doc.Record(); // from RecordDone: a fresh start
    EXPECT_EQ(doc.RecordedSamples, 0);
    EXPECT_NE(doc.RecordFile.GetFileName(), first.GetFileName());
    doc.Stop();
}

TEST_F(DeviceTest, NothingToTakeWithoutARecording) {
    TFile doc;
    EXPECT_TRUE(doc.TakeRecording().IsEmpty());
    EXPECT_EQ(doc.StopRecording(), 0);
    EXPECT_EQ(doc.DeviceState, TDeviceState::Idle);
}

TEST_F(DeviceTest, StopWithoutTakingLosesTheCaptureFile) {
    TFile doc(22050, 2, 2, 1);
    TListener listener;
    doc.Status = &listener;
    doc.Record();
    Hear(3000);
    const std::string name = doc.RecordFile.GetFileName();
    doc.Stop();
    EXPECT_EQ(listener.RecordStops, 1);
    EXPECT_FALSE(std::filesystem::exists(name));
    doc.Status = nullptr;
}

TEST_F(DeviceTest, DestroyingARecordingDocumentStopsItAndRemovesItsFile) {
    std::string name;
    {
        TFile doc(22050, 2, 1, 1);
        doc.Record();
        Hear(5000);
        name = doc.RecordFile.GetFileName();
        doc.Pause();
    }
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(DeviceTest, AnInputThatCannotOpenLeavesAPausedRecordingPaused) {
    TFile doc(22050, 2, 2, 1);
    doc.Record();
    Hear(2048);
    doc.Pause();
    {
        TScriptedMessageBoxes boxes;
        boxes.Expect("Your sound card drivers do not support this sample rate", IdOk);
        Card.Unavailable = true;
        doc.Record();
    }
    EXPECT_EQ(doc.DeviceState, TDeviceState::RecordPaused);
    EXPECT_EQ(doc.RecordedSamples, 2048);
    Card.Unavailable = false;
    doc.Record();
    EXPECT_EQ(doc.DeviceState, TDeviceState::Recording);
    doc.Stop();
}

TEST_F(DeviceTest, NoCaptureFileMeansNoRecording) {
    // Recording into a file that could not be made would count and meter
    // into nothing; the recording must not start.
    // The capture folder cannot be made below a plain file.
    const std::string blocker = TestTmpDir() + "/plain";
    std::ofstream(blocker).put('x');
    setenv("XDG_STATE_HOME", blocker.c_str(), 1);
    TFile doc(22050, 2, 2, 1);
    TListener listener;
    doc.Status = &listener;
    EXPECT_THROW(doc.Record(), xmsg);
    setenv("XDG_STATE_HOME", TestStateDir().c_str(), 1);
    std::filesystem::remove(blocker);
    EXPECT_EQ(doc.DeviceState, TDeviceState::Idle);
    EXPECT_FALSE(Card.InputOpen());
    EXPECT_TRUE(listener.Progress.empty());
    doc.Status = nullptr;
}
