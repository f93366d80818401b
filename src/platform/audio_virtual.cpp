#include "platform/audio_virtual.h"

#include <cmath>
#include <condition_variable>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

namespace NSAudio {

namespace {

using TLock = std::lock_guard<std::recursive_mutex>;

// A value at 8, 16 or 24 bits into its bytes (8-bit unsigned, else signed
// little-endian), and back.
void PutValue(uint8_t* at, int sampleBytes, int v) {
    if (sampleBytes == 1) {
        at[0] = uint8_t(v + 128);
        return;
    }
    for (int b = 0; b < sampleBytes; ++b)
        at[b] = uint8_t(uint32_t(v) >> (8 * b));
}

int GetValue(const uint8_t* at, int sampleBytes) {
    if (sampleBytes == 1)
        return int(at[0]) - 128;
    if (sampleBytes == 2)
        return int16_t(uint16_t(at[0] | (at[1] << 8)));
    return int32_t(uint32_t(at[0] << 8 | at[1] << 16 | at[2] << 24)) >> 8;
}

// A 16-bit value at the given sample size.
int From16(int v, int sampleBytes) {
    return sampleBytes == 1 ? v >> 8 : sampleBytes == 3 ? v * 256 : v;
}

} // namespace

class TVirtualCard::TDevice : public TAudioDevice {
public:
    TDevice(TVirtualCard& card, bool input, const TAudioFormat& format, TAudioNotice notice)
        : Card(card), IsInput(input), Format(format), Notice(std::move(notice)) {}
    ~TDevice() override {
        {
            TLock lock(Card.Mutex);
            Quit = true;
        }
        Tick.notify_all();
        if (Clock.joinable())
            Clock.join();
        TLock lock(Card.Mutex);
        (IsInput ? Card.Input : Card.Output) = nullptr;
    }

    void Queue(TAudioBlock* block) override {
        TLock lock(Card.Mutex);
        if (!IsInput && Queued.empty() && !AnyQueued)
            Card.FirstQueued = std::chrono::steady_clock::now();
        AnyQueued = true;
        Queued.push_back(block);
    }
    void Start() override {
        TLock lock(Card.Mutex);
        if (Started)
            return;
        Started = true;
        if (Card.Scripted)
            return;
        ClockFrom = std::chrono::steady_clock::now();
        ClockFrames = 0;
        if (!Clock.joinable())
            Clock = std::thread([this] { RunClock(); });
    }
    void Stop() override {
        TLock lock(Card.Mutex);
        if (!IsInput)
            return;
        Started = false;
        if (!Queued.empty() && Queued.front()->Recorded > 0)
            GiveBack();
    }
    void Reset() override {
        TLock lock(Card.Mutex);
        Started = false;
        Offset = 0;
        while (!Queued.empty())
            GiveBack();
    }
    uint32_t GetVolume() const override {
        TLock lock(Card.Mutex);
        return Card.Volume;
    }
    void SetVolume(uint32_t volume) override {
        TLock lock(Card.Mutex);
        Card.Volume = volume;
    }
    bool Failed() const override {
        TLock lock(Card.Mutex);
        return HasFailed;
    }

    void GiveBack() {
        TAudioBlock* block = Queued.front();
        Queued.pop_front();
        if (Notice)
            Notice(block);
    }

    // Real time: every few milliseconds, the frames whose time has come.
    void RunClock() {
        std::unique_lock<std::recursive_mutex> lock(Card.Mutex);
        while (!Quit) {
            Tick.wait_for(lock, std::chrono::milliseconds(10));
            if (Quit || !Started || HasFailed)
                continue;
            const double elapsed =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - ClockFrom).count();
            const auto due = int64_t(elapsed * Format.Rate);
            const int64_t n = due - ClockFrames;
            ClockFrames = due;
            if (IsInput)
                Card.Capture(int(std::min<int64_t>(n, 1 << 20)));
            else
                Card.PlayFrames(n);
        }
    }

    TVirtualCard& Card;
    bool IsInput;
    TAudioFormat Format;
    TAudioNotice Notice;
    std::deque<TAudioBlock*> Queued;
    bool Started = false;
    bool AnyQueued = false;
    bool HasFailed = false;
    int Offset = 0; // output in real time: bytes of the first block played

    std::thread Clock;
    std::condition_variable_any Tick;
    bool Quit = false;
    std::chrono::steady_clock::time_point ClockFrom;
    int64_t ClockFrames = 0;
};

TVirtualCard::TVirtualCard() {
    SourceSilence();
}

TVirtualCard& TVirtualCard::Instance() {
    static TVirtualCard card;
    return card;
}

int TVirtualCard::Open(bool input, const TAudioFormat& format, TAudioNotice notice,
                       std::unique_ptr<TAudioDevice>& device) {
    TLock lock(Mutex);
    if (Unavailable || (input ? Input : Output))
        return AudioError;
    if (format.SampleBytes == RefusedSampleBytes || format.Rate == RefusedRate ||
        format.SampleBytes < 1 || format.SampleBytes > 3 || format.Rate <= 0 ||
        format.Channels < 1 || format.Channels > MaxChannels(input))
        return AudioBadFormat;
    auto d = std::make_unique<TDevice>(*this, input, format, std::move(notice));
    (input ? Input : Output) = d.get();
    (input ? InputFormat : OutputFormat) = format;
    device = std::move(d);
    return AudioOk;
}

void TVirtualCard::Clear() {
    TLock lock(Mutex);
    RefusedSampleBytes = 0;
    RefusedRate = 0;
    OutputChannels = 2;
    InputChannels = 2;
    Unavailable = false;
    Played.clear();
    SourceSilence();
    SourcePosition = 0;
    Volume = 0xFFFFFFFF;
}

bool TVirtualCard::OutputOpen() const {
    TLock lock(Mutex);
    return Output != nullptr;
}

bool TVirtualCard::OutputStarted() const {
    TLock lock(Mutex);
    return Output && Output->Started;
}

int TVirtualCard::QueuedOutputBlocks() const {
    TLock lock(Mutex);
    return Output ? int(Output->Queued.size()) : 0;
}

void TVirtualCard::FailDevice(bool input) {
    TLock lock(Mutex);
    TDevice* device = input ? Input : Output;
    if (!device)
        return;
    device->HasFailed = true;
    device->Started = false;
    if (device->Notice)
        device->Notice(nullptr);
}

int TVirtualCard::PlayBlocks(int n) {
    TLock lock(Mutex);
    int done = 0;
    while (Output && !Output->HasFailed && done < n && !Output->Queued.empty()) {
        TAudioBlock* block = Output->Queued.front();
        Played.insert(Played.end(), block->Data, block->Data + block->Length);
        Output->GiveBack();
        ++done;
    }
    return done;
}

// Real time: n frames' time has passed; what was queued for them is heard,
// and silence where nothing was.
int TVirtualCard::PlayFrames(int64_t n) {
    int done = 0;
    const int frameBytes = OutputFormat.FrameBytes();
    while (Output && n > 0 && !Output->Queued.empty()) {
        TAudioBlock* block = Output->Queued.front();
        const int64_t left = (block->Length - Output->Offset) / frameBytes;
        const int64_t take = std::min(left, n);
        Output->Offset += int(take) * frameBytes;
        n -= take;
        if (Output->Offset + frameBytes > block->Length) {
            Output->Offset = 0;
            Output->GiveBack();
            ++done;
        }
    }
    return done;
}

void TVirtualCard::SetSource(TFrameSource source) {
    TLock lock(Mutex);
    Source = std::move(source);
}

void TVirtualCard::SetSource(TSource source) {
    SetSource(TFrameSource([source = std::move(source)](int64_t frame, int, int sampleBytes) {
        return source(frame, sampleBytes);
    }));
}

void TVirtualCard::SourceSilence() {
    SourceConstant(0);
}

void TVirtualCard::SourceConstant(int value) {
    SetSource(TFrameSource(
        [value](int64_t, int, int sampleBytes) { return From16(value, sampleBytes); }));
}

void TVirtualCard::SourceTone(double hz, int amplitude) {
    SetSource(TFrameSource([this, hz, amplitude](int64_t i, int, int sampleBytes) {
        int rate = InputFormat.Rate > 0 ? InputFormat.Rate : 22050;
        int v = int(std::lround(amplitude * std::sin(2 * M_PI * hz * double(i) / rate)));
        return From16(v, sampleBytes);
    }));
}

void TVirtualCard::SourceFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    auto bytes = std::make_shared<std::vector<uint8_t>>(std::istreambuf_iterator<char>(in),
                                                        std::istreambuf_iterator<char>());
    // Frames are counted from the moment the source is set.
    TLock lock(Mutex);
    const int64_t from = SourcePosition;
    SetSource(TFrameSource([this, bytes, from](int64_t i, int channel, int sampleBytes) {
        const size_t at =
            (size_t(i - from) * size_t(std::max(1, InputFormat.Channels)) + size_t(channel)) *
            size_t(sampleBytes);
        if (i < from || at + size_t(sampleBytes) > bytes->size())
            return 0;
        return GetValue(bytes->data() + at, sampleBytes);
    }));
}

bool TVirtualCard::InputOpen() const {
    TLock lock(Mutex);
    return Input != nullptr;
}

bool TVirtualCard::InputStarted() const {
    TLock lock(Mutex);
    return Input && Input->Started;
}

int TVirtualCard::QueuedInputBlocks() const {
    TLock lock(Mutex);
    return Input ? int(Input->Queued.size()) : 0;
}

int TVirtualCard::Capture(int n) {
    TLock lock(Mutex);
    int taken = 0;
    const int bytes = InputFormat.SampleBytes;
    const int channels = InputFormat.Channels;
    const int frameBytes = InputFormat.FrameBytes();
    while (Input && Input->Started && !Input->HasFailed && taken < n && !Input->Queued.empty()) {
        TAudioBlock* block = Input->Queued.front();
        while (taken < n && block->Recorded + frameBytes <= block->Length) {
            for (int c = 0; c < channels; ++c)
                PutValue(block->Data + block->Recorded + c * bytes, bytes,
                         Source(SourcePosition, c, bytes));
            ++SourcePosition;
            block->Recorded += frameBytes;
            ++taken;
        }
        if (block->Recorded + frameBytes > block->Length)
            Input->GiveBack();
    }
    return taken;
}

} // namespace NSAudio
