// The virtual sound card: what it refuses, the order blocks come back in,
// and what it plays and hears.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "platform/audio_virtual.h"
#include "support/testenv.h"

using namespace NSAudio;

namespace {

class VirtualCardTest : public ::testing::Test {
protected:
    void SetUp() override { Card.Clear(); }
    void TearDown() override { Card.Clear(); }

    // Opens a device whose notices are kept in Back.
    std::unique_ptr<TAudioDevice> Open(bool input, int rate = 8000, int bytes = 1) {
        std::unique_ptr<TAudioDevice> device;
        EXPECT_EQ(Card.Open(
                      input, {rate, bytes}, [this](TAudioBlock* b) { Back.push_back(b); }, device),
                  AudioOk);
        return device;
    }

    TVirtualCard& Card = TVirtualCard::Instance();
    std::vector<TAudioBlock*> Back;
};

struct TBuffer {
    explicit TBuffer(int bytes) : Bytes(size_t(bytes)) {
        Block.Data = Bytes.data();
        Block.Length = bytes;
    }
    std::vector<uint8_t> Bytes;
    TAudioBlock Block;
};

} // namespace

TEST_F(VirtualCardTest, OpenAnswers) {
    struct TCase {
        const char* Name;
        int RefusedBytes, RefusedRate;
        bool Unavailable;
        TAudioFormat Format;
        int Answer;
    } cases[] = {
        {"accepted", 0, 0, false, {22050, 2}, AudioOk},
        {"size refused", 2, 0, false, {22050, 2}, AudioBadFormat},
        {"other size accepted", 2, 0, false, {22050, 1}, AudioOk},
        {"rate refused", 0, 44100, false, {44100, 1}, AudioBadFormat},
        {"24 bits", 0, 0, false, {22050, 3}, AudioOk},
        {"32 bits", 0, 0, false, {22050, 4}, AudioBadFormat},
        {"stereo", 0, 0, false, {22050, 2, 2}, AudioOk},
        {"more channels than the card has", 0, 0, false, {22050, 2, 3}, AudioBadFormat},
        {"no card", 0, 0, true, {22050, 1}, AudioError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        Card.RefusedSampleBytes = c.RefusedBytes;
        Card.RefusedRate = c.RefusedRate;
        Card.Unavailable = c.Unavailable;
        for (bool input : {false, true}) {
            std::unique_ptr<TAudioDevice> device;
            EXPECT_EQ(Card.Open(input, c.Format, nullptr, device), c.Answer);
            EXPECT_EQ(device != nullptr, c.Answer == AudioOk);
        }
    }
}

TEST_F(VirtualCardTest, OneOutputAndOneInputAtATime) {
    auto out = Open(false);
    std::unique_ptr<TAudioDevice> second;
    EXPECT_EQ(Card.Open(false, {8000, 1}, nullptr, second), AudioError);
    auto in = Open(true);
    EXPECT_TRUE(Card.OutputOpen());
    EXPECT_TRUE(Card.InputOpen());
    out.reset();
    EXPECT_FALSE(Card.OutputOpen());
    EXPECT_EQ(Card.Open(false, {8000, 1}, nullptr, second), AudioOk);
}

TEST_F(VirtualCardTest, OutputPlaysBlocksInOrderAndResetGivesBackTheRest) {
    auto out = Open(false);
    TBuffer a(3), b(2), c(4);
    a.Bytes = {1, 2, 3};
    b.Bytes = {4, 5};
    for (TBuffer* x : {&a, &b, &c})
        out->Queue(&x->Block);
    EXPECT_EQ(Card.PlayBlocks(2), 2);
    EXPECT_EQ(Card.Played, (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Back, (std::vector<TAudioBlock*>{&a.Block, &b.Block}));
    out->Reset();
    EXPECT_EQ(Back.back(), &c.Block);
    EXPECT_EQ(Card.Played.size(), 5u); // reset blocks are not played
    EXPECT_EQ(Card.PlayBlocks(1), 0);
}

TEST_F(VirtualCardTest, InputFillsBlocksOnlyWhileStarted) {
    Card.SourceConstant(0x1234);
    auto in = Open(true, 8000, 2);
    TBuffer a(4), b(4);
    in->Queue(&a.Block);
    in->Queue(&b.Block);
    EXPECT_EQ(Card.Capture(10), 0); // not started
    in->Start();
    EXPECT_EQ(Card.Capture(3), 3);
    EXPECT_EQ(Back, (std::vector<TAudioBlock*>{&a.Block}));
    EXPECT_EQ(a.Bytes, (std::vector<uint8_t>{0x34, 0x12, 0x34, 0x12}));
    EXPECT_EQ(b.Block.Recorded, 2);

    in->Stop(); // the partly filled block comes back with its data
    EXPECT_EQ(Back.back(), &b.Block);
    EXPECT_EQ(Card.Capture(10), 0);
}

TEST_F(VirtualCardTest, StopKeepsEmptyBlocksQueuedAndResetReturnsThem) {
    auto in = Open(true);
    TBuffer a(4);
    in->Queue(&a.Block);
    in->Start();
    in->Stop();
    EXPECT_TRUE(Back.empty());
    EXPECT_EQ(Card.QueuedInputBlocks(), 1);
    in->Reset();
    EXPECT_EQ(Back, (std::vector<TAudioBlock*>{&a.Block}));
}

TEST_F(VirtualCardTest, SourcesAtEachSampleSize) {
    const std::string path = TestTmpDir() + "/source.raw";
    std::ofstream(path, std::ios::binary) << std::string("\x01\x80\xff", 3);
    struct TCase {
        const char* Name;
        std::function<void()> Set;
        int Bytes;
        std::vector<uint8_t> Heard;
    } cases[] = {
        {"silence, 8 bits", [&] { Card.SourceSilence(); }, 1, {128, 128}},
        {"silence, 16 bits", [&] { Card.SourceSilence(); }, 2, {0, 0, 0, 0}},
        {"lowest, 8 bits", [&] { Card.SourceConstant(-32768); }, 1, {0, 0}},
        {"file, 8 bits, then silence", [&] { Card.SourceFile(path); }, 1, {1, 128, 255, 128}},
        {"file, 16 bits", [&] { Card.SourceFile(path); }, 2, {0x01, 0x80, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Card.Clear();
        c.Set();
        auto in = Open(true, 8000, c.Bytes);
        TBuffer a(int(c.Heard.size()));
        in->Queue(&a.Block);
        in->Start();
        Card.Capture(int(c.Heard.size()) / c.Bytes);
        EXPECT_EQ(a.Bytes, c.Heard);
    }
    std::remove(path.c_str());
}

TEST_F(VirtualCardTest, ToneFollowsTheInputRate) {
    Card.SourceTone(2000, 10000);
    auto in = Open(true, 8000, 2);
    TBuffer a(8);
    in->Queue(&a.Block);
    in->Start();
    Card.Capture(4);
    // A quarter period per sample at 8000 samples a second.
    EXPECT_EQ(a.Bytes, (std::vector<uint8_t>{0, 0, 0x10, 0x27, 0, 0, 0xF0, 0xD8}));
}

TEST_F(VirtualCardTest, VolumeIsKeptByTheCard) {
    {
        auto out = Open(false);
        out->SetVolume(0x12345678);
    }
    auto out = Open(false);
    EXPECT_EQ(out->GetVolume(), 0x12345678u);
}
