#include "platform/audio_virtual.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

namespace NSAudio {

class TVirtualCard::TDevice : public TAudioDevice {
public:
    TDevice(TVirtualCard& card, bool input, TAudioNotice notice)
        : Card(card), IsInput(input), Notice(std::move(notice)) {}
    ~TDevice() override { (IsInput ? Card.Input : Card.Output) = nullptr; }

    void Queue(TAudioBlock* block) override {
        if (!IsInput && Queued.empty() && !AnyQueued)
            Card.FirstQueued = std::chrono::steady_clock::now();
        AnyQueued = true;
        Queued.push_back(block);
    }
    void Start() override { Started = true; }
    void Stop() override {
        Started = false;
        if (!Queued.empty() && Queued.front()->Recorded > 0)
            GiveBack();
    }
    void Reset() override {
        Started = false;
        while (!Queued.empty())
            GiveBack();
    }
    uint32_t GetVolume() const override { return Card.Volume; }
    void SetVolume(uint32_t volume) override { Card.Volume = volume; }
    bool Failed() const override { return HasFailed; }

    void GiveBack() {
        TAudioBlock* block = Queued.front();
        Queued.pop_front();
        if (Notice)
            Notice(block);
    }

    TVirtualCard& Card;
    bool IsInput;
    TAudioNotice Notice;
    std::deque<TAudioBlock*> Queued;
    bool Started = false;
    bool AnyQueued = false;
    bool HasFailed = false;
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
    if (Unavailable || (input ? Input : Output))
        return AudioError;
    if (format.SampleBytes == RefusedSampleBytes || format.Rate == RefusedRate ||
        (format.SampleBytes != 1 && format.SampleBytes != 2) || format.Rate <= 0)
        return AudioBadFormat;
    auto d = std::make_unique<TDevice>(*this, input, std::move(notice));
    (input ? Input : Output) = d.get();
    (input ? InputFormat : OutputFormat) = format;
    device = std::move(d);
    return AudioOk;
}

void TVirtualCard::Clear() {
    RefusedSampleBytes = 0;
    RefusedRate = 0;
    Unavailable = false;
    Played.clear();
    SourceSilence();
    SourcePosition = 0;
    Volume = 0xFFFFFFFF;
}

int TVirtualCard::QueuedOutputBlocks() const {
    return Output ? int(Output->Queued.size()) : 0;
}

void TVirtualCard::FailDevice(bool input) {
    TDevice* device = input ? Input : Output;
    if (!device)
        return;
    device->HasFailed = true;
    device->Started = false;
    if (device->Notice)
        device->Notice(nullptr);
}

int TVirtualCard::PlayBlocks(int n) {
    int done = 0;
    while (Output && !Output->HasFailed && done < n && !Output->Queued.empty()) {
        TAudioBlock* block = Output->Queued.front();
        Played.insert(Played.end(), block->Data, block->Data + block->Length);
        Output->GiveBack();
        ++done;
    }
    return done;
}

void TVirtualCard::SourceSilence() {
    SourceConstant(0);
}

void TVirtualCard::SourceConstant(int value) {
    Source = [value](int64_t, int sampleBytes) { return sampleBytes == 1 ? value >> 8 : value; };
}

void TVirtualCard::SourceTone(double hz, int amplitude) {
    Source = [this, hz, amplitude](int64_t i, int sampleBytes) {
        int rate = InputFormat.Rate > 0 ? InputFormat.Rate : 22050;
        int v = int(std::lround(amplitude * std::sin(2 * M_PI * hz * double(i) / rate)));
        return sampleBytes == 1 ? v >> 8 : v;
    };
}

void TVirtualCard::SourceFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    auto bytes = std::make_shared<std::vector<uint8_t>>(std::istreambuf_iterator<char>(in),
                                                        std::istreambuf_iterator<char>());
    // Samples are counted from the moment the source is set.
    int64_t from = SourcePosition;
    Source = [bytes, from](int64_t i, int sampleBytes) {
        size_t at = size_t(i - from) * size_t(sampleBytes);
        if (i < from || at + size_t(sampleBytes) > bytes->size())
            return 0;
        if (sampleBytes == 1)
            return int((*bytes)[at]) - 128;
        return int(int16_t(uint16_t((*bytes)[at] | ((*bytes)[at + 1] << 8))));
    };
}

bool TVirtualCard::InputStarted() const {
    return Input && Input->Started;
}

int TVirtualCard::QueuedInputBlocks() const {
    return Input ? int(Input->Queued.size()) : 0;
}

int TVirtualCard::Capture(int n) {
    int taken = 0;
    while (Input && Input->Started && !Input->HasFailed && taken < n && !Input->Queued.empty()) {
        TAudioBlock* block = Input->Queued.front();
        int bytes = InputFormat.SampleBytes;
        while (taken < n && block->Recorded + bytes <= block->Length) {
            int v = Source(SourcePosition++, bytes);
            uint8_t* at = block->Data + block->Recorded;
            if (bytes == 1) {
                at[0] = uint8_t(v + 128);
            } else {
                at[0] = uint8_t(v & 0xFF);
                at[1] = uint8_t((v >> 8) & 0xFF);
            }
            block->Recorded += bytes;
            ++taken;
        }
        if (block->Recorded + bytes > block->Length)
            Input->GiveBack();
    }
    return taken;
}

} // namespace NSAudio
