#pragma once
// The virtual sound card: plays into a buffer that can be read back, records
// from a given source, can be told to refuse a sample size or a rate, and
// moves on only when told to (no clock, no thread). Its notices are called
// from PlayBlocks, Capture, Stop and Reset.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace NSAudio {

class TVirtualCard : public TAudioBackend {
public:
    // The one virtual card of the program.
    static TVirtualCard& Instance();

    int Open(bool input, const TAudioFormat& format, TAudioNotice notice,
             std::unique_ptr<TAudioDevice>& device) override;

    // Back to a fresh card: nothing refused, nothing played, silent source,
    // full volume. Devices still open stay open.
    void Clear();

    // Opens of this sample size (1 or 2; 0 for none) or this rate (0 for
    // none) answer AudioBadFormat.
    int RefusedSampleBytes = 0;
    int RefusedRate = 0;
    // Every open answers AudioError (no card).
    bool Unavailable = false;
    // The open output or input device stops working, as when the sound
    // server goes away: it says so through its notice, and keeps its blocks
    // until it is reset.
    void FailDevice(bool input);

    // Output. The bytes of every finished block, in order, as the engine
    // gave them (the volume is kept, not applied).
    std::vector<uint8_t> Played;
    TAudioFormat OutputFormat;
    bool OutputOpen() const { return Output != nullptr; }
    int QueuedOutputBlocks() const;
    // Finishes the first n queued output blocks (fewer when fewer are
    // queued); returns how many finished.
    int PlayBlocks(int n);
    // When the first block was queued since the output device opened.
    std::chrono::steady_clock::time_point FirstQueued;

    // Input: what the card hears. Sample i of the source at the input's
    // sample size; the default is silence.
    using TSource = std::function<int(int64_t i, int sampleBytes)>;
    void SetSource(TSource source) { Source = std::move(source); }
    void SourceSilence();
    // A constant signed 16-bit value (8-bit input gets its top byte).
    void SourceConstant(int value);
    // A sine of `hz` at the input's rate with peak `amplitude` (16-bit scale).
    void SourceTone(double hz, int amplitude);
    // The bytes of a file, as they are, then silence.
    void SourceFile(const std::string& path);
    TAudioFormat InputFormat;
    bool InputOpen() const { return Input != nullptr; }
    bool InputStarted() const;
    int QueuedInputBlocks() const;
    // Hears n samples into the queued input blocks (only while started);
    // each block that fills comes back. Returns the samples taken (fewer
    // when the blocks run out).
    int Capture(int n);
    // Samples heard since the card was cleared.
    int64_t SourcePosition = 0;

    uint32_t Volume = 0xFFFFFFFF;

    class TDevice;

private:
    TVirtualCard();
    TDevice* Output = nullptr;
    TDevice* Input = nullptr;
    TSource Source;
    friend class TDevice;
};

} // namespace NSAudio
