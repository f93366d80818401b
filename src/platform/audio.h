#pragma once
// The sound card: PCM output and input of 8, 16 or 24 bits on one or more
// channels, in blocks the caller owns and queues. A block comes back through
// the device's notice (called on any thread, so it must only post the notice
// on) when its sound has been heard, or when the input device has filled it.
// 8-bit sound is unsigned with 128 as silence; 16- and 24-bit sound is
// signed little-endian (24 bits packed in three bytes); the channels of a
// frame are interleaved.
//
// Two backends stand behind one interface: PortAudio (the real card, through
// whatever sound server ALSA reaches) and a virtual card for tests and for
// machines without sound, chosen by BRIMVALE_AUDIO=virtual.

#include <cstdint>
#include <functional>
#include <memory>

namespace NSAudio {

// Answers of Open.
enum TAudioResult { AudioOk = 0, AudioError = 1, AudioBadFormat = 32 };

struct TAudioFormat {
    int Rate = 22050;
    int SampleBytes = 1; // 1, 2 or 3
    int Channels = 1;
    int FrameBytes() const { return SampleBytes * Channels; }
};

// The header of one caller-owned buffer.
struct TAudioBlock {
    uint8_t* Data = nullptr;
    // Output: the bytes to play. Input: the room in Data.
    int Length = 0;
    // Input: the bytes filled so far.
    int Recorded = 0;
    // The caller's word, handed back untouched.
    void* User = nullptr;
};

// Receives blocks the device gives back; may run on the device's thread. A
// null block says that the device has stopped working (the sound server
// went away): Failed() is then true, and no more blocks come but by Reset.
using TAudioNotice = std::function<void(TAudioBlock*)>;

class TAudioDevice {
public:
    virtual ~TAudioDevice() = default;

    // Output: plays the block after those already queued. Input: the block
    // is filled after those already queued. Blocks hold whole frames.
    virtual void Queue(TAudioBlock* block) = 0;
    // Output: starts playing the queued blocks (queue enough first: the
    // device's buffer is filled from them at once); a device reset starts
    // again with the next Queue. Input: starts capturing into the queued
    // blocks.
    virtual void Start() = 0;
    // Input: stops capturing; the partly filled block comes back with its
    // data, empty blocks stay queued.
    virtual void Stop() = 0;
    // Every queued block comes back at once (output: unplayed or not yet
    // heard; input: with whatever it holds).
    virtual void Reset() = 0;

    // Output volume, left in the low 16 bits and right in the high 16 bits;
    // the card keeps it for later devices.
    virtual uint32_t GetVolume() const = 0;
    virtual void SetVolume(uint32_t volume) = 0;

    // The device has stopped working and will not recover.
    virtual bool Failed() const { return false; }
};

class TAudioBackend {
public:
    virtual ~TAudioBackend() = default;

    // The most channels the default output or input device takes (0 when
    // there is none).
    virtual int MaxChannels(bool input) = 0;
    // Opens the default output or input device; `device` is set on AudioOk.
    // AudioBadFormat: the device refuses this rate, sample size or channel
    // count;
    // AudioError: there is no device to open (no card, no sound server).
    virtual int Open(bool input, const TAudioFormat& format, TAudioNotice notice,
                     std::unique_ptr<TAudioDevice>& device) = 0;

    // Installs `backend` (null: back to the one BRIMVALE_AUDIO names);
    // returns the one installed before.
    static TAudioBackend* Install(TAudioBackend* backend);
    // The installed backend, else the virtual card when BRIMVALE_AUDIO is
    // "virtual", else PortAudio.
    static TAudioBackend& Current();
};

// The PortAudio backend (one per program).
TAudioBackend& PortAudioBackend();

// What the PortAudio streams of this program met since it started, for the
// benchmarks: the backend's own underflows and overflows (its status flags),
// the times the output ran dry between two queued blocks, the input frames
// that found no block to fill, and the callbacks and the slowest of them.
struct TAudioCounts {
    uint64_t Underflows = 0;
    uint64_t Overflows = 0;
    uint64_t Starved = 0;
    uint64_t DroppedFrames = 0;
    uint64_t Callbacks = 0;
    uint64_t WorstCallbackNs = 0;
};
TAudioCounts PortAudioCounts();

} // namespace NSAudio
