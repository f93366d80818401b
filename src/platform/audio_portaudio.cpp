// The real sound card through PortAudio. PortAudio pulls and pushes sound on
// its own thread; that thread only copies bytes between the queued blocks
// and the stream and posts notices. It never holds a block back longer than
// the stream needs, and never gives an output block back before its sound
// has left the server's buffers.

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/audio.h"

namespace NSAudio {

namespace {

// Seconds of sound a sound server may still hold beyond the latency the
// stream reports (PulseAudio and PipeWire through ALSA's plugin: up to about
// 0.2 s). Closing a stream drops them, so an output block counts as heard
// only this much later.
constexpr double ServerSlack = 0.25;

// ALSA prints a line for every device it cannot reach while PortAudio
// enumerates them; without a sound server that is a screenful.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// PortAudio also asks JACK, which prints its own lines when no JACK server
// runs. Its library comes with PortAudio's, when PortAudio was built with it.
void QuietJack() {
    using TSetter = void (*)(void (*)(const char*));
    for (const char* name : {"jack_set_error_function", "jack_set_info_function"})
        if (auto set = reinterpret_cast<TSetter>(dlsym(RTLD_DEFAULT, name)))
            set([](const char*) {});
}

// Counted by every stream's callback; read by PortAudioCounts.
struct TCounters {
    std::atomic<uint64_t> Underflows{0}, Overflows{0}, Starved{0}, DroppedFrames{0}, Callbacks{0},
        WorstCallbackNs{0};
} Counters;

void Count(std::atomic<uint64_t>& counter, uint64_t n = 1) {
    counter.fetch_add(n, std::memory_order_relaxed);
}

class TPortAudio : public TAudioBackend {
public:
    int Open(bool input, const TAudioFormat& format, TAudioNotice notice,
             std::unique_ptr<TAudioDevice>& device) override;

    std::atomic<uint32_t> Volume{0xFFFFFFFF};

private:
    bool Initialise() {
        if (!Initialised) {
            snd_lib_error_set_handler(QuietAlsa);
            QuietJack();
            // Never terminated: ALSA's sound-server plugin, unloaded by a
            // terminate at exit, would leave its allocations behind.
            Initialised = Pa_Initialize() == paNoError;
        }
        return Initialised;
    }
    bool Initialised = false;
};

class TPaDevice : public TAudioDevice {
public:
    TPaDevice(TPortAudio& backend, bool input, const TAudioFormat& format, TAudioNotice notice)
        : Backend(backend), IsInput(input), Format(format), Notice(std::move(notice)) {}
    ~TPaDevice() override {
        if (Stream) {
            Ending = true;
            Pa_AbortStream(Stream);
            Pa_CloseStream(Stream);
        }
    }

    int Open(PaDeviceIndex index) {
        PaStreamParameters p{};
        p.device = index;
        p.channelCount = 1;
        p.sampleFormat = Format.SampleBytes == 1 ? paUInt8 : paInt16;
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        // The engine keeps seconds of sound queued: a roomy stream buffer costs
        // nothing and rides out a busy machine.
        p.suggestedLatency =
            IsInput ? info->defaultHighInputLatency : info->defaultHighOutputLatency;
        const PaStreamParameters* in = IsInput ? &p : nullptr;
        const PaStreamParameters* out = IsInput ? nullptr : &p;
        PaError e = Pa_IsFormatSupported(in, out, Format.Rate);
        if (e == paSampleFormatNotSupported || e == paInvalidSampleRate)
            return AudioBadFormat;
        if (e != paFormatIsSupported)
            return AudioError;
        e = Pa_OpenStream(&Stream, in, out, Format.Rate, paFramesPerBufferUnspecified, paNoFlag,
                          &TPaDevice::Callback, this);
        if (e != paNoError) {
            Stream = nullptr;
            return e == paSampleFormatNotSupported || e == paInvalidSampleRate ? AudioBadFormat
                                                                               : AudioError;
        }
        // A stream that ends without being told to has lost its device (the
        // sound server went away).
        Pa_SetStreamFinishedCallback(Stream, &TPaDevice::Finished);
        if (!IsInput) {
            const PaStreamInfo* si = Pa_GetStreamInfo(Stream);
            LatencyFrames = int64_t(((si ? si->outputLatency : 0) + ServerSlack) * Format.Rate);
            // Output runs from the start, feeding silence while nothing is
            // queued, so the position of every byte is known.
            if (Pa_StartStream(Stream) != paNoError)
                return AudioError;
        }
        return AudioOk;
    }

    void Queue(TAudioBlock* block) override {
        std::lock_guard lock(Mutex);
        if (IsInput)
            block->Recorded = 0;
        else if (Dry)
            Count(Counters.Starved);
        Dry = false;
        Queued.push_back(block);
    }

    void Start() override {
        if (IsInput && Stream && !Pa_IsStreamActive(Stream)) {
            Ending = false;
            Pa_StartStream(Stream);
        }
    }

    void Stop() override {
        if (!IsInput)
            return;
        Ending = true;
        Pa_StopStream(Stream);
        std::lock_guard lock(Mutex);
        if (!Queued.empty() && Queued.front()->Recorded > 0)
            GiveBack(Queued);
    }

    void Reset() override {
        if (IsInput) {
            Ending = true;
            Pa_AbortStream(Stream);
        }
        std::lock_guard lock(Mutex);
        while (!Heard.empty())
            GiveBack(Heard);
        while (!Queued.empty())
            GiveBack(Queued);
        Offset = 0;
    }

    uint32_t GetVolume() const override { return Backend.Volume; }
    void SetVolume(uint32_t volume) override { Backend.Volume = volume; }
    bool Failed() const override { return HasFailed; }

private:
    struct THeard {
        TAudioBlock* Block;
        int64_t EndFrame; // frames written when its last byte was
        double HeardAt;   // stream time its last byte reaches the listener
    };

    // With the mutex held: the notice goes out before anyone can close us.
    void GiveBack(std::deque<TAudioBlock*>& from) {
        TAudioBlock* block = from.front();
        from.pop_front();
        if (Notice)
            Notice(block);
    }
    void GiveBack(std::deque<THeard>& from) {
        TAudioBlock* block = from.front().Block;
        from.pop_front();
        if (Notice)
            Notice(block);
    }

    static void Finished(void* self) {
        auto* d = static_cast<TPaDevice*>(self);
        if (d->Ending)
            return;
        d->HasFailed = true;
        if (d->Notice)
            d->Notice(nullptr);
    }

    static int Callback(const void* input, void* output, unsigned long frames,
                        const PaStreamCallbackTimeInfo* time, PaStreamCallbackFlags flags,
                        void* self) {
        const auto began = std::chrono::steady_clock::now();
        auto* d = static_cast<TPaDevice*>(self);
        if (flags & (paOutputUnderflow | paInputUnderflow))
            Count(Counters.Underflows);
        if (flags & (paOutputOverflow | paInputOverflow))
            Count(Counters.Overflows);
        {
            std::lock_guard lock(d->Mutex);
            if (d->IsInput)
                d->Capture(static_cast<const uint8_t*>(input), int(frames));
            else
                d->Play(static_cast<uint8_t*>(output), int(frames), time);
        }
        Count(Counters.Callbacks);
        const uint64_t ns = uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                         std::chrono::steady_clock::now() - began)
                                         .count());
        uint64_t worst = Counters.WorstCallbackNs.load(std::memory_order_relaxed);
        while (ns > worst && !Counters.WorstCallbackNs.compare_exchange_weak(worst, ns))
            ;
        return paContinue;
    }

    void Capture(const uint8_t* input, int frames) {
        int bytes = frames * Format.SampleBytes;
        while (input && bytes > 0 && !Queued.empty()) {
            TAudioBlock* block = Queued.front();
            int n = std::min(bytes, block->Length - block->Recorded);
            std::memcpy(block->Data + block->Recorded, input, size_t(n));
            block->Recorded += n;
            input += n;
            bytes -= n;
            if (block->Recorded >= block->Length)
                GiveBack(Queued);
        }
        if (input && bytes > 0)
            Count(Counters.DroppedFrames, uint64_t(bytes / Format.SampleBytes));
    }

    void Play(uint8_t* out, int frames, const PaStreamCallbackTimeInfo* time) {
        const int sampleBytes = Format.SampleBytes;
        const int bytes = frames * sampleBytes;
        const uint32_t gain = Backend.Volume.load() & 0xFFFF;
        int at = 0;
        while (at < bytes && !Queued.empty()) {
            TAudioBlock* block = Queued.front();
            int n = std::min(bytes - at, block->Length - Offset);
            CopyWithGain(out + at, block->Data + Offset, n, gain);
            at += n;
            Offset += n;
            if (Offset >= block->Length) {
                Queued.pop_front();
                Offset = 0;
                double dac = time ? time->outputBufferDacTime : 0;
                Heard.push_back({block, Written + at / sampleBytes,
                                 dac + double(at / sampleBytes) / Format.Rate + ServerSlack});
            }
        }
        // Ran dry after sound: a gap, should the engine queue more.
        if (at < bytes && Offset == 0 && Written > 0 && Queued.empty() && Played)
            Dry = true;
        Played = Played || at > 0;
        // Nothing queued: silence, so the blocks before it play out.
        if (sampleBytes == 1)
            std::memset(out + at, 128, size_t(bytes - at));
        else
            std::memset(out + at, 0, size_t(bytes - at));
        Written += frames;
        // A block is done once its last byte has had time to pass the
        // device's and the server's buffers: by the stream's clock, and by
        // the bytes written after it.
        bool clock = time && time->currentTime > 0;
        double now = clock ? time->currentTime : 0;
        while (!Heard.empty() && (!clock || Heard.front().HeardAt <= now) &&
               Heard.front().EndFrame + LatencyFrames <= Written)
            GiveBack(Heard);
    }

    void CopyWithGain(uint8_t* to, const uint8_t* from, int n, uint32_t gain) {
        if (gain >= 0xFFFF) {
            std::memcpy(to, from, size_t(n));
        } else if (Format.SampleBytes == 1) {
            for (int i = 0; i < n; ++i)
                to[i] = uint8_t(((int(from[i]) - 128) * int(gain)) / 65535 + 128);
        } else {
            for (int i = 0; i + 1 < n; i += 2) {
                int v = int16_t(uint16_t(from[i] | (from[i + 1] << 8)));
                v = v * int(gain) / 65535;
                to[i] = uint8_t(v & 0xFF);
                to[i + 1] = uint8_t((v >> 8) & 0xFF);
            }
        }
    }

    TPortAudio& Backend;
    bool IsInput;
    TAudioFormat Format;
    TAudioNotice Notice;
    PaStream* Stream = nullptr;
    std::mutex Mutex;
    std::deque<TAudioBlock*> Queued;
    std::deque<THeard> Heard;
    int Offset = 0;      // bytes of the first queued block already sent
    int64_t Written = 0; // frames handed to the stream
    int64_t LatencyFrames = 0;
    bool Dry = false;                   // the output ran out of queued sound
    bool Played = false;                // some sound has been played
    std::atomic<bool> Ending{false};    // we stop the stream ourselves
    std::atomic<bool> HasFailed{false}; // it ended on its own
};

int TPortAudio::Open(bool input, const TAudioFormat& format, TAudioNotice notice,
                     std::unique_ptr<TAudioDevice>& device) {
    if (!Initialise())
        return AudioError;
    PaDeviceIndex index = input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
    if (index == paNoDevice)
        return AudioError;
    auto d = std::make_unique<TPaDevice>(*this, input, format, std::move(notice));
    int result = d->Open(index);
    if (result == AudioOk)
        device = std::move(d);
    return result;
}

} // namespace

TAudioCounts PortAudioCounts() {
    TAudioCounts c;
    c.Underflows = Counters.Underflows;
    c.Overflows = Counters.Overflows;
    c.Starved = Counters.Starved;
    c.DroppedFrames = Counters.DroppedFrames;
    c.Callbacks = Counters.Callbacks;
    c.WorstCallbackNs = Counters.WorstCallbackNs;
    return c;
}

TAudioBackend& PortAudioBackend() {
    static TPortAudio backend;
    return backend;
}

} // namespace NSAudio
