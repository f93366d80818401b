#pragma once
// The virtual sound card: plays into a buffer that can be read back, records
// from a given source, can be told to refuse a sample size, a rate or more
// channels than it has. Scripted (as the tests use it), it moves on only when
// told to (no clock, no thread), and its notices are called from PlayBlocks,
// Capture, Stop and Reset. Otherwise (BRIMVALE_AUDIO=virtual for a person)
// a clock of each device's own plays and records in real time: playback
// takes as long as the sound and ends, recording records the source
// (silence).

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace NSAudio {

class TVirtualCard : public TAudioBackend {
public:
    // The one virtual card of the program.
    static TVirtualCard& Instance();

    int MaxChannels(bool input) override { return input ? InputChannels : OutputChannels; }
    int Open(bool input, const TAudioFormat& format, TAudioNotice notice,
             std::unique_ptr<TAudioDevice>& device) override;

    // Back to a fresh card: nothing refused, nothing played, silent source,
    // full volume, two channels each way. Devices still open stay open; the
    // card stays scripted or not.
    void Clear();

    // Moved on only by PlayBlocks and Capture (tests); set before a device
    // opens. Devices opened otherwise run in real time.
    bool Scripted = false;

    // Opens of this sample size (1, 2 or 3; 0 for none) or this rate (0 for
    // none) answer AudioBadFormat, as do opens of more channels than these.
    int RefusedSampleBytes = 0;
    int RefusedRate = 0;
    int OutputChannels = 2;
    int InputChannels = 2;
    // Every open answers AudioError (no card).
    bool Unavailable = false;
    // The open output or input device stops working, as when the sound
    // server goes away: it says so through its notice, and keeps its blocks
    // until it is reset.
    void FailDevice(bool input);

    // Output. The bytes of every finished block, in order, as the engine
    // gave them (the volume is kept, not applied); scripted only.
    std::vector<uint8_t> Played;
    TAudioFormat OutputFormat;
    bool OutputOpen() const;
    bool OutputStarted() const;
    int QueuedOutputBlocks() const;
    // Finishes the first n queued output blocks (fewer when fewer are
    // queued); returns how many finished.
    int PlayBlocks(int n);
    // When the first block was queued since the output device opened.
    std::chrono::steady_clock::time_point FirstQueued;

    // Input: what the card hears. Channel c of frame i at the input's sample
    // size (8-, 16- or 24-bit signed values); the default is silence.
    using TFrameSource = std::function<int(int64_t frame, int channel, int sampleBytes)>;
    void SetSource(TFrameSource source);
    // The same sound on every channel: sample i at the input's sample size.
    using TSource = std::function<int(int64_t i, int sampleBytes)>;
    void SetSource(TSource source);
    void SourceSilence();
    // A constant signed 16-bit value (8-bit input gets its top byte, 24-bit
    // input the value times 256).
    void SourceConstant(int value);
    // A sine of `hz` at the input's rate with peak `amplitude` (16-bit scale).
    void SourceTone(double hz, int amplitude);
    // The bytes of a file, as they are (interleaved at the input's format),
    // then silence.
    void SourceFile(const std::string& path);
    TAudioFormat InputFormat;
    bool InputOpen() const;
    bool InputStarted() const;
    int QueuedInputBlocks() const;
    // Hears n frames into the queued input blocks (only while started);
    // each block that fills comes back. Returns the frames taken (fewer
    // when the blocks run out).
    int Capture(int n);
    // Frames heard since the card was cleared.
    int64_t SourcePosition = 0;

    uint32_t Volume = 0xFFFFFFFF;

    class TDevice;

private:
    TVirtualCard();
    int PlayFrames(int64_t n);
    // Guards everything above against the devices' clocks.
    mutable std::recursive_mutex Mutex;
    TDevice* Output = nullptr;
    TDevice* Input = nullptr;
    TFrameSource Source;
    friend class TDevice;
};

} // namespace NSAudio
