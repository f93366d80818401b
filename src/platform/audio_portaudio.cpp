// The real sound card through PortAudio. PortAudio pulls and pushes sound on
// its own real-time thread; that thread only copies bytes between the queued
// blocks and the stream, and takes no lock and allocates nothing. It never
// holds a block back longer than the stream needs, and never gives an output
// block back before its sound has left the server's buffers.

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <semaphore.h>
#include <string>
#include <thread>

#include "platform/audio.h"
#include "platform/spscring.h"

namespace NSAudio {

namespace {

// Seconds of sound a sound server may still hold beyond the latency the
// stream reports (PulseAudio and PipeWire through ALSA's plugin: up to about
// 0.2 s). Closing a stream drops them, so an output block counts as heard
// only this much later.
constexpr double ServerSlack = 0.25;

// The output device's buffer. Output primes it with sound as it starts, so
// its size does not delay the first sound; it is what rides out a machine
// too busy to run the sound path in time. Stop drops it at once.
constexpr double OutputBufferSeconds = 0.3;

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

// ALSA's sound-server plugin moves the sound between the device's buffer
// and the server through a thread of the server's client library
// ("threaded-ml"); held up by a busy machine, it lets the server's buffer
// run dry however fast the callback is. It gets the callback's real-time
// priority where the system allows it.
void RaiseServerClientThreads() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name != "threaded-ml")
            continue;
        const auto tid = pid_t(std::strtol(task.path().filename().c_str(), nullptr, 10));
        if (sched_getscheduler(tid) == SCHED_FIFO)
            continue;
        sched_param priority{};
        priority.sched_priority = 1;
        sched_setscheduler(tid, SCHED_FIFO, &priority);
    }
}

// Counted by every stream's callback; read by PortAudioCounts.
struct TCounters {
    std::atomic<uint64_t> Underflows{0}, Overflows{0}, Starved{0}, DroppedFrames{0}, Callbacks{0},
        WorstCallbackNs{0}, Lost{0};
} Counters;

void Count(std::atomic<uint64_t>& counter, uint64_t n = 1) {
    counter.fetch_add(n, std::memory_order_relaxed);
}

class TPortAudio : public TAudioBackend {
public:
    int MaxChannels(bool input) override {
        if (!Initialise())
            return 0;
        const PaDeviceIndex index =
            input ? Pa_GetDefaultInputDevice() : Pa_GetDefaultOutputDevice();
        const PaDeviceInfo* info = index == paNoDevice ? nullptr : Pa_GetDeviceInfo(index);
        return info ? (input ? info->maxInputChannels : info->maxOutputChannels) : 0;
    }
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

// One stream. Three threads meet here: the user-interface thread queues
// blocks (and resets, stops and closes), PortAudio's real-time thread fills
// and empties them, and a notifier thread of the device's own hands the
// finished ones on. The real-time thread takes no lock and allocates
// nothing: blocks reach it through one fixed-size ring and leave it through
// another, and it wakes the notifier with one semaphore post per callback
// that gave it any (it runs at the callback's own priority otherwise, and
// would take the processor from the callback at every block). Everything the
// real-time thread owns (the block in hand, the blocks still being heard)
// is touched by the other threads only once the stream has stopped.
class TPaDevice : public TAudioDevice {
public:
    TPaDevice(TPortAudio& backend, bool input, const TAudioFormat& format, TAudioNotice notice)
        : Backend(backend), IsInput(input), Format(format), Notice(std::move(notice)) {
        sem_init(&Wake, 0, 0);
    }
    ~TPaDevice() override {
        if (Stream) {
            Ending = true;
            Pa_AbortStream(Stream);
            Pa_CloseStream(Stream);
        }
        Quiesce();
        sem_destroy(&Wake);
    }

    int Open(PaDeviceIndex index) {
        PaStreamParameters p{};
        p.device = index;
        p.channelCount = Format.Channels;
        p.sampleFormat = Format.SampleBytes == 1   ? paUInt8
                         : Format.SampleBytes == 3 ? paInt24
                                                   : paInt16;
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        // Input keeps the device's own: a larger buffer would hold the
        // server's source, and a sink's monitor with it, at a longer latency.
        p.suggestedLatency = IsInput
                                 ? info->defaultHighInputLatency
                                 : std::max(info->defaultHighOutputLatency, OutputBufferSeconds);
        const PaStreamParameters* in = IsInput ? &p : nullptr;
        const PaStreamParameters* out = IsInput ? nullptr : &p;
        PaError e = Pa_IsFormatSupported(in, out, Format.Rate);
        if (e == paSampleFormatNotSupported || e == paInvalidSampleRate ||
            e == paInvalidChannelCount)
            return AudioBadFormat;
        if (e != paFormatIsSupported)
            return AudioError;
        // Output fills the device's whole buffer from the queued blocks as it
        // starts, so the first sound is the sound, not a buffer of silence.
        e = Pa_OpenStream(&Stream, in, out, Format.Rate, paFramesPerBufferUnspecified,
                          IsInput ? paNoFlag : paPrimeOutputBuffersUsingStreamCallback,
                          &TPaDevice::Callback, this);
        if (e != paNoError) {
            Stream = nullptr;
            return e == paSampleFormatNotSupported || e == paInvalidSampleRate ||
                           e == paInvalidChannelCount
                       ? AudioBadFormat
                       : AudioError;
        }
        if (const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
            api && api->type == paALSA) {
            PaAlsa_EnableRealtimeScheduling(Stream, 1);
            RaiseServerClientThreads();
        }
        // A stream that ends without being told to has lost its device (the
        // sound server went away).
        Pa_SetStreamFinishedCallback(Stream, &TPaDevice::Finished);
        if (!IsInput) {
            const PaStreamInfo* si = Pa_GetStreamInfo(Stream);
            LatencyFrames = int64_t((si ? si->outputLatency : 0) * Format.Rate);
            SlackFrames = int64_t(ServerSlack * Format.Rate);
        }
        return AudioOk;
    }

    void Queue(TAudioBlock* block) override {
        if (IsInput)
            block->Recorded = 0;
        else if (Dry.exchange(false, std::memory_order_relaxed))
            Count(Counters.Starved);
        // The rings hold more than the engine ever queues; should one be
        // full all the same, the block comes back at once rather than wait.
        if (!ToStream.Push(block) && Notice)
            Notice(block);
    }

    void Start() override {
        if (Stream && !Running)
            Run();
    }

    void Stop() override {
        if (!IsInput || !Running)
            return;
        Ending = true;
        Pa_StopStream(Stream);
        Running = false;
        // The full blocks first, then the partly filled one, in order.
        Quiesce();
        if (InHand && InHand->Recorded > 0) {
            TAudioBlock* block = InHand;
            InHand = nullptr;
            if (Notice)
                Notice(block);
        }
    }

    void Reset() override {
        if (Running) {
            Ending = true;
            Pa_AbortStream(Stream);
            Running = false;
        }
        Quiesce();
        // Heard first, then the one being played or filled, then the queued.
        THeard heard;
        while (Heard.Pop(heard))
            GiveBack(heard.Block);
        if (InHand) {
            TAudioBlock* block = InHand;
            InHand = nullptr;
            GiveBack(block);
        }
        TAudioBlock* block = nullptr;
        while (ToStream.Pop(block))
            GiveBack(block);
        Offset = 0;
        Played = false;
        Dry = false;
    }

    uint32_t GetVolume() const override { return Backend.Volume; }
    void SetVolume(uint32_t volume) override { Backend.Volume = volume; }
    bool Failed() const override { return HasFailed; }

private:
    struct THeard {
        TAudioBlock* Block = nullptr;
        int64_t EndFrame = 0; // frames written when its last byte was
        double HeardAt = 0;   // stream time its last byte reaches the listener
    };
    // More than the blocks the engine keeps in flight (32 playing, 128
    // recording).
    static constexpr size_t RingSize = 256;

    // Starts the notifier, then the stream.
    bool Run() {
        if (!Notifier.joinable()) {
            Quit = false;
            Notifier = std::thread([this] { Notify(); });
        }
        Ending = false;
        Running = Pa_StartStream(Stream) == paNoError;
        return Running;
    }

    // The notifier's loop: every block the stream gives back, in order.
    void Notify() {
        for (;;) {
            while (sem_wait(&Wake) != 0 && errno == EINTR) {
            }
            TAudioBlock* block = nullptr;
            while (FromStream.Pop(block))
                GiveBack(block);
            if (FailureToTell.exchange(false) && Notice)
                Notice(nullptr);
            if (Quit)
                return;
        }
    }

    // Ends the notifier once it has handed on all it was given.
    void Quiesce() {
        if (!Notifier.joinable())
            return;
        Quit = true;
        sem_post(&Wake);
        Notifier.join();
    }

    void GiveBack(TAudioBlock* block) {
        if (Notice)
            Notice(block);
    }

    // Real-time side: a finished block goes to the notifier, which the
    // callback wakes once as it ends.
    void Return(TAudioBlock* block) {
        if (!FromStream.Push(block))
            Count(Counters.Lost);
        Returned = true;
    }

    static void Finished(void* self) {
        auto* d = static_cast<TPaDevice*>(self);
        if (d->Ending)
            return;
        d->HasFailed = true;
        d->FailureToTell = true;
        sem_post(&d->Wake);
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
        if (d->IsInput)
            d->Capture(static_cast<const uint8_t*>(input), int(frames));
        else
            d->Play(static_cast<uint8_t*>(output), int(frames), time);
        if (d->Returned) {
            d->Returned = false;
            sem_post(&d->Wake);
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
        const int frameBytes = Format.FrameBytes();
        int bytes = frames * frameBytes;
        while (input && bytes > 0 && (InHand || ToStream.Pop(InHand))) {
            TAudioBlock* block = InHand;
            int n = std::min(bytes, block->Length - block->Recorded);
            std::memcpy(block->Data + block->Recorded, input, size_t(n));
            block->Recorded += n;
            input += n;
            bytes -= n;
            if (block->Recorded >= block->Length) {
                InHand = nullptr;
                Return(block);
            }
        }
        if (input && bytes > 0)
            Count(Counters.DroppedFrames, uint64_t(bytes / frameBytes));
    }

    void Play(uint8_t* out, int frames, const PaStreamCallbackTimeInfo* time) {
        const int frameBytes = Format.FrameBytes();
        const int bytes = frames * frameBytes;
        const uint32_t volume = Backend.Volume.load(std::memory_order_relaxed);
        int at = 0;
        while (at < bytes && (InHand || ToStream.Pop(InHand))) {
            TAudioBlock* block = InHand;
            int n = std::min(bytes - at, block->Length - Offset);
            CopyWithGain(out + at, block->Data + Offset, n, volume);
            at += n;
            Offset += n;
            if (Offset >= block->Length) {
                InHand = nullptr;
                Offset = 0;
                const double dac = time ? time->outputBufferDacTime : 0;
                if (!Heard.Push({block, Written + at / frameBytes,
                                 dac + double(at / frameBytes) / Format.Rate}))
                    Return(block);
            }
        }
        // Ran dry after sound: a gap, should the engine queue more.
        if (at < bytes && Played)
            Dry.store(true, std::memory_order_relaxed);
        Played = Played || at > 0;
        // Nothing queued: silence, so the blocks before it play out.
        std::memset(out + at, Format.SampleBytes == 1 ? 128 : 0, size_t(bytes - at));
        Written += frames;
        // A block is done once its last frame is heard: by the stream's
        // clock, and by the frames written after it. The last block written
        // waits for the server's slack too, as the device may close once it
        // is back.
        const bool clock = time && time->currentTime > 0;
        const double now = clock ? time->currentTime : 0;
        for (THeard* h = Heard.Front(); h; h = Heard.Front()) {
            const bool last = Heard.Size() == 1 && !InHand && ToStream.Empty();
            const double slack = last ? ServerSlack : 0;
            const int64_t slackFrames = last ? SlackFrames : 0;
            if ((clock && h->HeardAt + slack > now) ||
                h->EndFrame + LatencyFrames + slackFrames > Written)
                break;
            THeard done;
            Heard.Pop(done);
            Return(done.Block);
        }
    }

    // The volume's left half scales the even channels, its right half the
    // odd ones (left and right of a stereo stream).
    void CopyWithGain(uint8_t* to, const uint8_t* from, int n, uint32_t volume) {
        const int32_t left = int32_t(volume & 0xFFFF), right = int32_t(volume >> 16);
        if (left == 0xFFFF && right == 0xFFFF) {
            std::memcpy(to, from, size_t(n));
            return;
        }
        const int sampleBytes = Format.SampleBytes;
        const int channels = Format.Channels;
        // Offset is always a whole number of frames into a block, so the
        // first sample here is channel 0.
        int channel = 0;
        for (int i = 0; i + sampleBytes <= n; i += sampleBytes) {
            const int64_t gain = channel & 1 ? right : left;
            if (++channel == channels)
                channel = 0;
            if (sampleBytes == 1) {
                to[i] = uint8_t((int64_t(from[i]) - 128) * gain / 65535 + 128);
            } else if (sampleBytes == 2) {
                const int v = int16_t(uint16_t(from[i] | (from[i + 1] << 8)));
                const auto w = uint32_t(int64_t(v) * gain / 65535);
                to[i] = uint8_t(w);
                to[i + 1] = uint8_t(w >> 8);
            } else {
                const int32_t v =
                    int32_t(uint32_t(from[i] << 8 | from[i + 1] << 16 | from[i + 2] << 24)) >> 8;
                const auto w = uint32_t(int64_t(v) * gain / 65535);
                to[i] = uint8_t(w);
                to[i + 1] = uint8_t(w >> 8);
                to[i + 2] = uint8_t(w >> 16);
            }
        }
    }

    TPortAudio& Backend;
    bool IsInput;
    TAudioFormat Format;
    TAudioNotice Notice;
    PaStream* Stream = nullptr;
    bool Running = false; // the stream runs (user-interface side)

    // Between the threads.
    TSpscRing<TAudioBlock*, RingSize> ToStream;   // user interface → stream
    TSpscRing<TAudioBlock*, RingSize> FromStream; // stream → notifier
    sem_t Wake;                                   // the stream posts, the notifier waits
    std::thread Notifier;
    std::atomic<bool> Quit{false};
    std::atomic<bool> Ending{false};        // we stop the stream ourselves
    std::atomic<bool> HasFailed{false};     // it ended on its own
    std::atomic<bool> FailureToTell{false}; // and the notifier has yet to say so
    std::atomic<bool> Dry{false};           // the output ran out of queued sound

    // The stream's own, while it runs.
    TAudioBlock* InHand = nullptr;     // being played or filled
    TSpscRing<THeard, RingSize> Heard; // played, not yet heard
    int Offset = 0;                    // bytes of InHand already sent or filled
    int64_t Written = 0;               // frames handed to the stream
    int64_t LatencyFrames = 0;         // the stream's own
    int64_t SlackFrames = 0;           // the server's beyond it
    bool Played = false;               // some sound has been played
    bool Returned = false;             // this callback gave blocks to the notifier
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
