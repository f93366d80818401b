// Playback through the virtual sound card: the bytes played on cards of one
// or more channels, the positions reported, the end of playback, the
// device's refusals and the volume; the card in real time.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/scriptedmsgbox.h"
#include "wave/devicetest.h"
#include "wave/wavetest.h"

using namespace NSWave;
using namespace NSWaveTest;

namespace {

constexpr int32_t Max = INT32_MAX;
constexpr int32_t Min = INT32_MIN;

struct TPlayCase {
    const char* Name;
    int Size; // document sample size code: 1 = 8 bits, 2 = 16 bits
    std::vector<std::vector<int32_t>> Channels;
    TSampleRange Range;
    std::vector<int> Expected; // played samples, 16-bit values or bytes
};

std::vector<int> PlayedValues(const std::vector<uint8_t>& played, int sampleBytes) {
    if (sampleBytes == 1)
        return std::vector<int>(played.begin(), played.end());
    auto v = As16(played);
    return std::vector<int>(v.begin(), v.end());
}

} // namespace

TEST_F(DeviceTest, PlaysTheRangeAsTheCardExpects) {
    const TPlayCase cases[] = {
        {"one channel, 16 bits",
         2,
         {{0x10000, -0x10000, Max, Min, 0x12345678}},
         TSampleRange(0, 5, 0),
         {1, -1, 32767, -32768, 0x1234}},
        {"one channel, 8 bits",
         1,
         {{0, 0x01000000, -0x01000000, Max, Min}},
         TSampleRange(0, 5, 0),
         {128, 129, 127, 255, 0}},
        {"inner range", 2, {{0, 0x10000, 0x20000, 0x30000}}, TSampleRange(1, 3, 0), {1, 2}},
        {"two channels on one never clip, 16 bits",
         2,
         {{Max, 0x10000}, {Max, 0x20000}},
         TSampleRange(0, 2, AllChannels),
         {32767, 1}},
        {"two channels on one never clip low, 16 bits",
         2,
         {{Min}, {Min}},
         TSampleRange(0, 1, AllChannels),
         {-32768}},
        {"two channels on one never clip, 8 bits",
         1,
         {{Max, Min}, {Max, Min}},
         TSampleRange(0, 2, AllChannels),
         {255, 0}},
        {"two channels on one past a shorter channel",
         2,
         {{0x20000, 0x20000, 0x20000}, {0x40000}},
         TSampleRange(0, 3, AllChannels),
         {3, 1, 1}},
        {"one channel of one plays for all", 2, {{0x50000}}, TSampleRange(0, 1, AllChannels), {5}},
        {"silence past a short channel, 16 bits",
         2,
         {{1, 1, 1, 1}, {0x10000, 0x20000}},
         TSampleRange(0, 4, 1),
         {1, 2, 0, 0}},
        {"silence past a short channel, 8 bits",
         1,
         {{1, 1, 1, 1}, {0x01000000}},
         TSampleRange(0, 4, 1),
         {129, 128, 128, 128}},
        {"wholly past a short channel",
         2,
         {{1, 1, 1, 1, 1}, {0x10000}},
         TSampleRange(2, 5, 1),
         {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        Card.OutputChannels = 1;
        TFile doc(22050, 2, c.Size, 1);
        TPlayRecEngine engine(doc);
        doc.SetChannelCount(int(c.Channels.size()));
        for (size_t i = 0; i < c.Channels.size(); ++i)
            Fill(doc.Channel(int(i)), c.Channels[i]);
        engine.Play(c.Range);
        EXPECT_EQ(engine.OutSampleBytes(), c.Size);
        EXPECT_EQ(PlayOut(), 1);
        EXPECT_EQ(PlayedValues(Card.Played, c.Size), c.Expected);
        EXPECT_EQ(engine.State(), TDeviceState::Idle);
    }
}

TEST_F(DeviceTest, SilencePastAChannelEndSpansBlocks) {
    // Channel 1 ends inside the second block; the third block is all silence.
    TFile doc(22050, 2, 2, 2);
    TPlayRecEngine engine(doc);
    std::vector<int32_t> longer(6000, 0x10000), shorter(3000, 0x20000);
    Fill(doc.Channel(0), longer);
    Fill(doc.Channel(1), shorter);
    engine.Play(TSampleRange(0, 6000, 1));
    EXPECT_EQ(PlayOut(), 3);
    auto played = As16(Card.Played);
    ASSERT_EQ(played.size(), 6000u);
    for (size_t i = 0; i < played.size(); ++i)
        ASSERT_EQ(played[i], i < 3000 ? 2 : 0) << "at " << i;
}

TEST_F(DeviceTest, PositionsAdvanceByWholeBlocksAndPlaybackEndsWithTheLastBlock) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    Fill(doc.Channel(0), std::vector<int32_t>(10000, 0x10000));
    TListener listener;
    engine.SetListener(&listener);
    const uint32_t start = 100, end = start + 2 * 2048 + 10;
    engine.Play(TSampleRange(start, end, 0));
    EXPECT_EQ(ActiveDocument(), &doc);
    EXPECT_EQ(engine.State(), TDeviceState::Playing);
    EXPECT_EQ(Card.QueuedOutputBlocks(), 3);
    EXPECT_EQ(engine.BlockCount(), 32);
    ASSERT_FALSE(listener.Positions.empty());
    EXPECT_EQ(listener.Positions.back(), int(start));
    listener.Positions.clear();

    EXPECT_EQ(PlayOut(), 3);
    // A short last block still advances the position by a whole block.
    EXPECT_EQ(listener.Positions, (std::vector<int>{2148, 4196, 6244}));
    EXPECT_EQ(listener.Stopped, 1);
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
    EXPECT_EQ(engine.BlockCount(), 0);
    EXPECT_EQ(Card.Played.size(), size_t(end - start) * 2);
    engine.SetListener(nullptr);
}

TEST_F(DeviceTest, ARangeShorterThanABlockQueuesOneBlock) {
    TFile doc(22050, 2, 1, 1);
    TPlayRecEngine engine(doc);
    Fill(doc.Channel(0), std::vector<int32_t>(500, 0));
    TListener listener;
    engine.SetListener(&listener);
    engine.Play(TSampleRange(10, 110, 0));
    EXPECT_EQ(Card.QueuedOutputBlocks(), 1);
    EXPECT_EQ(listener.Stopped, 0);
    EXPECT_EQ(PlayOut(), 1);
    EXPECT_EQ(listener.Stopped, 1);
    EXPECT_EQ(Card.Played, std::vector<uint8_t>(100, 128));
    engine.SetListener(nullptr);
}

TEST_F(DeviceTest, WhatIsPlayedForACursorOrNoSelection) {
    struct TCase {
        const char* Name;
        TSampleRange Range;
        std::vector<int> Expected;
    } cases[] = {
        {"cursor plays to the end of its channel", TSampleRange(2, 2, 1), {6, 7, 8}},
        {"no selection plays every channel, on one at half gain", TSampleRange(), {2, 3, 4, 5, 6}},
        {"cursor at the end plays nothing", TSampleRange(5, 5, 0), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        Card.OutputChannels = 1;
        TFile doc(22050, 2, 2, 2);
        TPlayRecEngine engine(doc);
        Fill(doc, {{0x10000, 0x20000, 0x30000, 0x40000, 0x50000},
                   {0x40000, 0x50000, 0x60000, 0x70000, 0x80000}});
        engine.Play(c.Range);
        PlayOut();
        EXPECT_EQ(PlayedValues(Card.Played, 2), c.Expected);
        EXPECT_EQ(engine.State(), TDeviceState::Idle);
    }
}

TEST_F(DeviceTest, AnEmptyDocumentOpensNoDevice) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    engine.Play(TSampleRange());
    EXPECT_FALSE(Card.OutputOpen());
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
}

TEST_F(DeviceTest, StopGivesBackEveryBlockAndReportsTheirPositions) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    Fill(doc.Channel(0), std::vector<int32_t>(100000, 0));
    TListener listener;
    engine.SetListener(&listener);
    engine.Play(TSampleRange(1000, 100000, 0));
    EXPECT_EQ(Card.QueuedOutputBlocks(), 32);
    Card.PlayBlocks(1);
    Deliver(); // refilled and queued again
    EXPECT_EQ(Card.QueuedOutputBlocks(), 32);
    listener.Positions.clear();

    engine.Stop();
    EXPECT_EQ(listener.Stopped, 1);
    // The 32 blocks that came back each advanced the position; none was
    // queued again.
    ASSERT_EQ(listener.Positions.size(), 32u);
    EXPECT_EQ(listener.Positions.back(), 1000 + 33 * 2048);
    EXPECT_FALSE(Card.OutputOpen());
    EXPECT_EQ(engine.BlockCount(), 0);
    EXPECT_EQ(ActiveDocument(), nullptr);

    // Stopping again changes nothing; a new Play starts afresh.
    engine.Stop();
    EXPECT_EQ(listener.Stopped, 1);
    engine.Play(TSampleRange(0, 10, 0));
    EXPECT_EQ(PlayOut(), 1);
    EXPECT_EQ(listener.Stopped, 2);
    engine.SetListener(nullptr);
}

TEST_F(DeviceTest, PlayAgainStopsTheFirstPlayback) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    Fill(doc.Channel(0), std::vector<int32_t>(100000, 0));
    TListener listener;
    engine.SetListener(&listener);
    engine.Play(TSampleRange(0, 100000, 0));
    engine.Play(TSampleRange(0, 10, 0));
    EXPECT_EQ(listener.Stopped, 1);
    EXPECT_EQ(Card.QueuedOutputBlocks(), 1);
    PlayOut();
    EXPECT_EQ(listener.Stopped, 2);
    engine.SetListener(nullptr);
}

TEST_F(DeviceTest, SixteenBitsRefusedPlaysInEightBits) {
    Card.RefusedSampleBytes = 2;
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    Fill(doc.Channel(0), {0x7F000000, Min});
    engine.Play(TSampleRange(0, 2, 0));
    EXPECT_EQ(engine.OutSampleBytes(), 1);
    EXPECT_EQ(Card.OutputFormat.SampleBytes, 1);
    PlayOut();
    EXPECT_EQ(Card.Played, (std::vector<uint8_t>{255, 0}));
}

TEST_F(DeviceTest, EightBitsRefusedPlaysInSixteenBits) {
    Card.RefusedSampleBytes = 1;
    TFile doc(22050, 2, 1, 1);
    TPlayRecEngine engine(doc);
    Fill(doc.Channel(0), {0x01000000});
    engine.Play(TSampleRange(0, 1, 0));
    EXPECT_EQ(engine.OutSampleBytes(), 2);
    PlayOut();
    EXPECT_EQ(As16(Card.Played), (std::vector<int16_t>{256}));
}

TEST_F(DeviceTest, ADeviceThatCannotOpenSaysSoAndLeavesTheDocumentIdle) {
    struct TCase {
        const char* Name;
        int RefusedRate;
        bool Unavailable;
        const char* Text;
    } cases[] = {
        {"rate refused", 22050, false, "Your sound card drivers do not support this sample rate"},
        {"no card", 0, true,
         "No sound output could be opened: no sound card or sound server answers."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        Card.RefusedRate = c.RefusedRate;
        Card.Unavailable = c.Unavailable;
        TScriptedMessageBoxes boxes;
        boxes.Expect(c.Text, IdOk);
        TFile doc(22050, 2, 2, 1);
        TPlayRecEngine engine(doc);
        Fill(doc.Channel(0), {1, 2, 3});
        engine.Play(TSampleRange());
        EXPECT_EQ(engine.State(), TDeviceState::Idle);
        EXPECT_EQ(ActiveDocument(), nullptr);
        ASSERT_EQ(boxes.Shown.size(), 1u);
        EXPECT_EQ(boxes.Shown[0].Caption, "Error");
        EXPECT_EQ(boxes.Shown[0].Buttons, TMsgButtons::Ok);
    }
}

TEST_F(DeviceTest, VolumeIsTheCardsLeftAndRightVolume) {
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    for (int level = 0; level <= 7; ++level) {
        engine.SetVolume(uint16_t(level * VolumeStep));
        EXPECT_EQ(Card.Volume, uint32_t(level * VolumeStep) * 0x10001u);
        EXPECT_EQ(engine.GetVolume() / VolumeStep, level);
    }
    EXPECT_FALSE(Card.OutputOpen()); // the device was opened for the call only

    Fill(doc.Channel(0), std::vector<int32_t>(10, 0));
    engine.Play(TSampleRange(), 2 * VolumeStep);
    EXPECT_EQ(engine.GetVolume(), 2 * VolumeStep);
    engine.SetVolume(65535); // while playing, on the open device
    EXPECT_EQ(Card.Volume, 0xFFFFFFFFu);
    PlayOut();
}

TEST_F(DeviceTest, VolumeWithoutACardFailsSilently) {
    Card.Unavailable = true;
    TFile doc;
    TPlayRecEngine engine(doc);
    engine.SetVolume(1000);
    EXPECT_EQ(engine.GetVolume(), 0);
}

TEST_F(DeviceTest, DestroyingAPlayingDocumentStopsIt) {
    TListener listener;
    {
        TFile doc(22050, 2, 2, 1);
        TPlayRecEngine engine(doc);
        Fill(doc.Channel(0), std::vector<int32_t>(100000, 0));
        engine.SetListener(&listener);
        engine.Play(TSampleRange());
        EXPECT_TRUE(Card.OutputOpen());
    }
    EXPECT_EQ(listener.Stopped, 1);
    EXPECT_FALSE(Card.OutputOpen());
    EXPECT_EQ(ActiveDocument(), nullptr);
}

// A card that stops working (its sound server gone): playback ends as Stop
// ends it, a recording pauses keeping every block that came, and each says
// so; a late notice of a device already closed changes nothing.
TEST_F(DeviceTest, ADeviceThatStopsWorkingEndsPlaybackAndPausesARecording) {
    TListener listener;
    TFile doc(22050, 2, 2, 1);
    TPlayRecEngine engine(doc);
    engine.SetListener(&listener);
    Fill(doc.Channel(0), std::vector<int32_t>(200000, 1 << 16));
    TScriptedMessageBoxes boxes;
    engine.Play(TSampleRange());
    Card.PlayBlocks(3);
    Deliver();
    boxes.Expect("The sound output stopped working: playback has ended.", IdOk);
    Card.FailDevice(false);
    Deliver();
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
    EXPECT_FALSE(Card.OutputOpen());
    EXPECT_EQ(listener.Stopped, 1);
    EXPECT_EQ(ActiveDocument(), nullptr);

    Card.SourceConstant(1000);
    engine.Record();
    Hear(3 * 2048 + 10);
    boxes.Expect("The sound input stopped working: the recording is paused.", IdOk);
    Card.FailDevice(true);
    Deliver();
    EXPECT_EQ(engine.State(), TDeviceState::RecordPaused);
    EXPECT_FALSE(Card.InputOpen());
    EXPECT_EQ(engine.RecordedSamples(), 3 * 2048);
    // The recording goes on when the card is back.
    engine.Record();
    ASSERT_EQ(engine.State(), TDeviceState::Recording);
    Hear(2048);
    // A notice of a failure that is over by now.
    NSWave::TWaveHook::Instance().PostData(nullptr);
    Deliver();
    EXPECT_EQ(engine.State(), TDeviceState::Recording);
    TTmpFile taken = engine.TakeRecording();
    engine.Stop();
    EXPECT_EQ(std::filesystem::file_size(taken.GetFileName()), uint64_t(4 * 2048 * 2));
    engine.SetListener(nullptr);
}

namespace {

// What a card of `outputs` channels must get for one frame: the played
// channels as they are, one channel on every output, or more channels than
// outputs summed onto output k mod outputs and divided by the most any
// output gets; at the card's sample size.
std::vector<uint8_t> ExpectedFrame(const std::vector<std::vector<int32_t>>& channels,
                                   const std::vector<int>& played, uint32_t frame, int outputs,
                                   int sampleBytes) {
    auto at = [&](int k) -> int64_t {
        const auto& c = channels[size_t(played[size_t(k)])];
        return frame < c.size() ? c[frame] : 0;
    };
    const int p = int(played.size());
    std::vector<uint8_t> bytes;
    for (int o = 0; o < outputs; ++o) {
        int64_t v = 0;
        if (p == 1) {
            v = at(0);
        } else if (p <= outputs) {
            v = at(o);
        } else {
            const int64_t most = (p + outputs - 1) / outputs;
            for (int k = o; k < p; k += outputs)
                v += at(k);
            v /= most;
        }
        const auto u = uint32_t(int32_t(v));
        if (sampleBytes == 1)
            bytes.push_back(uint8_t((u >> 24) ^ 0x80));
        for (int b = 4 - sampleBytes; sampleBytes > 1 && b < 4; ++b)
            bytes.push_back(uint8_t(u >> (8 * b)));
    }
    return bytes;
}

} // namespace

// Random sounds of one to six channels of different lengths, played whole or
// one channel at a time onto cards of one to four channels that may refuse a
// sample size: every byte the card gets is the reference's, and the card is
// opened as the sound asks.
TEST_F(DeviceTest, PlaysChannelsAsTheyAreOrMixedDownWithoutClipping) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        Card.Clear();
        Card.OutputChannels = 1 + int(random() % 4);
        const int size = 1 + int(random() % 4);
        Card.RefusedSampleBytes = random() % 3 == 0 ? 1 + int(random() % 3) : 0;
        const int count = 1 + int(random() % 6);
        TFile doc(22050, 2, size, count);
        std::vector<std::vector<int32_t>> channels(static_cast<size_t>(count));
        for (auto& c : channels) {
            c.resize(random() % 5000);
            for (int32_t& v : c)
                v = random() % 4 == 0 ? (random() % 2 ? Max : Min) : int32_t(random());
        }
        for (int c = 0; c < count; ++c)
            Fill(doc.Channel(c), channels[size_t(c)]);
        const uint32_t length = doc.GetLength();
        if (length == 0)
            continue;
        const int channel = random() % 2 ? AllChannels : int(random() % uint32_t(count));
        const uint32_t start = random() % length;
        const uint32_t end = start + 1 + random() % (length - start);
        TPlayRecEngine engine(doc);
        engine.Play(TSampleRange(start, end, channel));
        ASSERT_EQ(engine.State(), TDeviceState::Playing);

        std::vector<int> played;
        for (int c = 0; c < count; ++c)
            if (channel == AllChannels || c == channel)
                played.push_back(c);
        const int wanted = played.size() == 1 ? 2 : int(played.size());
        const int outputs = std::min(wanted, Card.OutputChannels);
        EXPECT_EQ(engine.OutChannels(), outputs);
        EXPECT_EQ(Card.OutputFormat.Channels, outputs);
        std::vector<int> sizes = size == 1   ? std::vector<int>{1, 2, 3}
                                 : size == 2 ? std::vector<int>{2, 1, 3}
                                             : std::vector<int>{3, 2, 1};
        if (sizes[0] == Card.RefusedSampleBytes)
            sizes.erase(sizes.begin());
        const int bytes = sizes[0];
        EXPECT_EQ(engine.OutSampleBytes(), bytes);
        EXPECT_TRUE(Card.OutputStarted());
        PlayOut();
        EXPECT_EQ(engine.State(), TDeviceState::Idle);

        std::vector<uint8_t> expected;
        for (uint32_t f = start; f < end; ++f) {
            const auto frame = ExpectedFrame(channels, played, f, outputs, bytes);
            expected.insert(expected.end(), frame.begin(), frame.end());
        }
        ASSERT_EQ(Card.Played.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(Card.Played[i], expected[i]) << "at byte " << i;
    }
}

// Chosen by a person (not scripted), the virtual card keeps time: playback
// lasts as long as the sound and then ends by itself, and a recording
// records the card's silence.
TEST_F(DeviceTest, TheVirtualCardPlaysAndRecordsInRealTimeForAPerson) {
    Card.Scripted = false;
    TFile doc(8000, 2, 2, 2);
    Fill(doc, {std::vector<int32_t>(1600, 1 << 20), std::vector<int32_t>(1600, -(1 << 20))});
    TPlayRecEngine engine(doc);
    const auto began = std::chrono::steady_clock::now();
    engine.Play(TSampleRange());
    ASSERT_EQ(engine.State(), TDeviceState::Playing);
    QDeadlineTimer deadline(20000);
    while (engine.State() == TDeviceState::Playing && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    EXPECT_EQ(engine.State(), TDeviceState::Idle);
    EXPECT_GE(took, 0.2); // 1,600 frames at 8,000 a second

    TFile take(8000, 2, 2, 2);
    TPlayRecEngine recorder(take);
    recorder.Record();
    ASSERT_EQ(recorder.State(), TDeviceState::Recording);
    EXPECT_EQ(recorder.InChannels(), 2);
    deadline = QDeadlineTimer(20000);
    while (recorder.RecordedSamples() < 4096 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    TTmpFile taken = recorder.TakeRecording();
    const int frames = recorder.RecordedSamples();
    recorder.Stop();
    Card.Scripted = true;
    EXPECT_GE(frames, 4096);
    ASSERT_FALSE(taken.IsEmpty());
    const std::vector<uint8_t> silence(size_t(frames) * 4, 0);
    std::ifstream in(taken.GetFileName(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, silence);
}
