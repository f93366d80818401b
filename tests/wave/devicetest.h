#pragma once
// Helpers for the device engine tests: a listener that keeps what it was
// told, and the virtual card.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/audio_virtual.h"
#include "wave/device.h"
#include "wave/file.h"

namespace NSWaveTest {

class TListener : public NSWave::TPlayRecStatus {
public:
    void PlayPosition() override { Positions.push_back(Position); }
    void PlayStopped() override { ++Stopped; }
    void RecordProgress() override { Progress.push_back({Recorded, Level}); }
    void RecordStopped() override {
        ++RecordStops;
        LevelAtStop = Level;
    }

    struct TProgress {
        int Recorded;
        int Level;
        bool operator==(const TProgress&) const = default;
    };
    std::vector<int> Positions;
    int Stopped = 0;
    std::vector<TProgress> Progress;
    int RecordStops = 0;
    int LevelAtStop = -1;
};

class DeviceTest : public ::testing::Test {
protected:
    // The bytes played are those of a mono card unless a test asks for more
    // channels.
    void SetUp() override {
        Card.Clear();
        Card.OutputChannels = 1;
    }
    void TearDown() override {
        EXPECT_FALSE(Card.OutputOpen());
        EXPECT_FALSE(Card.InputOpen());
        EXPECT_EQ(NSWave::ActiveDocument(), nullptr);
        Card.Clear();
    }

    static void Deliver() { NSWave::TWaveHook::Instance().ProcessWaiting(); }
    // Lets the card finish one block at a time until playback ends; returns
    // the blocks played.
    int PlayOut() {
        int blocks = 0;
        while (Card.OutputOpen() && Card.PlayBlocks(1) == 1) {
            Deliver();
            ++blocks;
        }
        return blocks;
    }
    // The card hears n samples and the engine handles the filled blocks.
    void Hear(int n) {
        Card.Capture(n);
        Deliver();
    }

    NSAudio::TVirtualCard& Card = NSAudio::TVirtualCard::Instance();
};

inline std::vector<int16_t> As16(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> v(bytes.size() / 2);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    return v;
}

} // namespace NSWaveTest
