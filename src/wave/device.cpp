// The device engine: playing a range of the document through the sound card
// and recording from it into a capture file. Everything here runs on the
// user-interface thread; the card's notices come back as posted events to
// the hook.

#include "wave/device.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/msgbox.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/capture.h"
#include "wave/file.h"

namespace NSWave {

namespace {

TPlayRecEngine* Active = nullptr;

// Samples in one device block, whatever the sample size.
constexpr int BlockSamples = 2048;
// Blocks kept queued at the output device.
constexpr int QueuedBlocks = 32;
// And at the input device: about once a second the capture file is pushed to
// the disk, which on a busy disk may hold the user-interface thread for more
// than a second; the card meanwhile fills the blocks still queued.
constexpr int QueuedInputBlocks = 128;

class TNoticeEvent : public QEvent {
public:
    TNoticeEvent(QEvent::Type type, NSAudio::TAudioBlock* header) : QEvent(type), Header(header) {}
    NSAudio::TAudioBlock* Header;
};

QEvent::Type DoneEvent() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

QEvent::Type DataEvent() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

TPlayRecEngine* Owner(NSAudio::TAudioBlock* header) {
    return static_cast<TPlayRecEngine*>(header->User);
}

// A 32-bit sample at the card's size: 8-bit unsigned, 16- and 24-bit signed
// little-endian; the bits below the card's are dropped.
void PutSample(uint8_t* at, int sampleBytes, int32_t value) {
    const auto v = uint32_t(value);
    if (sampleBytes == 1) {
        at[0] = uint8_t((v >> 24) ^ 0x80);
    } else if (sampleBytes == 2) {
        at[0] = uint8_t(v >> 16);
        at[1] = uint8_t(v >> 24);
    } else {
        at[0] = uint8_t(v >> 8);
        at[1] = uint8_t(v >> 16);
        at[2] = uint8_t(v >> 24);
    }
}

// A recorded sample on the 32-bit scale.
int32_t GetSample(const uint8_t* at, int sampleBytes) {
    if (sampleBytes == 1)
        return int32_t(uint32_t(at[0] ^ 0x80) << 24);
    if (sampleBytes == 2)
        return int32_t(uint32_t(at[0]) << 16 | uint32_t(at[1]) << 24);
    return int32_t(uint32_t(at[0]) << 8 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 24);
}

// Peaks of each channel of a recorded block, as percentages of full scale.
std::vector<int> Peaks(const uint8_t* data, int bytes, const NSAudio::TAudioFormat& format) {
    std::vector<int64_t> peak(size_t(format.Channels), 0);
    const int frameBytes = format.FrameBytes();
    for (int at = 0; at + frameBytes <= bytes; at += frameBytes)
        for (int c = 0; c < format.Channels; ++c) {
            const int64_t v = GetSample(data + at + c * format.SampleBytes, format.SampleBytes);
            peak[size_t(c)] = std::max(peak[size_t(c)], v < 0 ? -v : v);
        }
    std::vector<int> percent(peak.size());
    for (size_t c = 0; c < peak.size(); ++c)
        percent[c] = int(peak[c] * 100 / (int64_t(1) << 31));
    return percent;
}

// Sample sizes to try for a document's size code, nearest first: the card
// may need 8 or 16 bits; 24 bits where the sound has them.
std::vector<int> SampleSizesFor(int sizeCode) {
    if (sizeCode == 1)
        return {1, 2, 3};
    if (sizeCode == 2)
        return {2, 1, 3};
    return {3, 2, 1};
}

void CloseRecordFd(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// Writes all n bytes; false with errno set when the file takes fewer, whose
// count is in `written`.
bool WriteAll(int fd, const uint8_t* data, size_t n, size_t& written) {
    written = 0;
    while (written < n) {
        const ssize_t done = write(fd, data + written, n - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = ENOSPC;
            return false;
        }
        written += size_t(done);
    }
    return true;
}

std::string InMemoryText(int error) {
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        return NSText::Tr("Recording", "The disk is full: the recording goes on in memory and is "
                                       "not protected against a crash.");
    return NSText::Fill(NSText::Tr("Recording", "The recording could not be written to the disk "
                                                "(%1): it goes on in memory and is not protected "
                                                "against a crash."),
                        {std::strerror(error)});
}

} // namespace

TPlayRecEngine* ActiveEngine() {
    return Active;
}

TFile* ActiveDocument() {
    return Active ? &Active->Document() : nullptr;
}

// --- device blocks and the hook -------------------------------------------

TDevBlock::TDevBlock(int capacity, TPlayRecEngine* engine)
    : Buffer(new uint8_t[size_t(capacity)]), Capacity(capacity) {
    Header.Data = Buffer;
    Header.Length = capacity;
    Header.User = engine;
}

// --- the engine -------------------------------------------------------------

TPlayRecEngine::TPlayRecEngine(TFile& document) : Doc(document) {}

TPlayRecEngine::~TPlayRecEngine() {
    Stop();
}

TDevBlock::~TDevBlock() {
    delete[] Buffer;
}

TWaveHook& TWaveHook::Instance() {
    // Kept until the program ends; never deleted, so no notice can outlive it.
    static TWaveHook* hook = new TWaveHook;
    return *hook;
}

void TWaveHook::PostDone(NSAudio::TAudioBlock* header) {
    QCoreApplication::postEvent(this, new TNoticeEvent(DoneEvent(), header));
}

void TWaveHook::PostData(NSAudio::TAudioBlock* header) {
    QCoreApplication::postEvent(this, new TNoticeEvent(DataEvent(), header));
}

void TWaveHook::ProcessWaiting() {
    QCoreApplication::sendPostedEvents(this);
}

bool TWaveHook::event(QEvent* e) {
    if (e->type() == DoneEvent() || e->type() == DataEvent()) {
        auto* header = static_cast<TNoticeEvent*>(e)->Header;
        if (!header) {
            // A device stopped working; the notice may be older than the
            // device now open, which then says it works.
            if (Active)
                Active->DeviceFailed();
        } else if (e->type() == DoneEvent()) {
            Owner(header)->FillBlock(header);
        } else {
            Owner(header)->OnRecordData(header);
        }
        return true;
    }
    return QObject::event(e);
}

// --- opening and volume -----------------------------------------------------

std::unique_ptr<NSAudio::TAudioDevice> TPlayRecEngine::OpenDevice(bool input, bool interactive,
                                                                  NSAudio::TAudioFormat& format,
                                                                  int channels) {
    NSAudio::TAudioNotice notice;
    if (interactive) {
        TWaveHook* hook = &TWaveHook::Instance();
        if (input)
            notice = [hook](NSAudio::TAudioBlock* header) { hook->PostData(header); };
        else
            notice = [hook](NSAudio::TAudioBlock* header) { hook->PostDone(header); };
    }
    auto& backend = NSAudio::TAudioBackend::Current();
    // The channels asked for, else as many as the card has, else stereo,
    // else mono.
    std::vector<int> counts{std::max(1, channels)};
    const int most = backend.MaxChannels(input);
    if (most > 0 && most < counts[0])
        counts = {most};
    for (int fewer : {2, 1})
        if (fewer < counts.back())
            counts.push_back(fewer);

    std::unique_ptr<NSAudio::TAudioDevice> device;
    int result = NSAudio::AudioError;
    format.Rate = Doc.Rate;
    // A refused format is tried at the other sizes, then with fewer
    // channels; the first answer that is not a refusal ends the search.
    for (size_t k = 0; k < counts.size() && result != NSAudio::AudioOk; ++k) {
        for (int bytes : SampleSizesFor(Doc.Size)) {
            format.SampleBytes = bytes;
            format.Channels = counts[k];
            result = backend.Open(input, format, notice, device);
            if (result != NSAudio::AudioBadFormat)
                break;
        }
        if (result != NSAudio::AudioBadFormat)
            break;
    }
    if (result != NSAudio::AudioOk) {
        device.reset();
        // A refused format is the card's answer; anything else means there
        // is nothing to play into or record from.
        const std::string text =
            result == NSAudio::AudioBadFormat
                ? NSText::Tr("Recording", "Your sound card drivers do not support this sample rate")
            : input ? NSText::Tr("Recording", "No sound input could be opened: no sound card or "
                                              "sound server answers.")
                    : NSText::Tr("Recording", "No sound output could be opened: no sound card or "
                                              "sound server answers.");
        if (interactive)
            ShowMessageBox(text, NSText::Tr("Recording", "Error"), TMsgButtons::Ok,
                           TMsgIcon::Error);
    }
    return device;
}

// The volume is the card's: without a playing device, a device is opened
// just to reach it.
template <class F> auto WithOutputDevice(TPlayRecEngine& engine, NSAudio::TAudioDevice* open, F f) {
    std::unique_ptr<NSAudio::TAudioDevice> temporary;
    NSAudio::TAudioDevice* device = open;
    if (!device) {
        NSAudio::TAudioFormat format;
        temporary = engine.OpenDevice(false, false, format);
        device = temporary.get();
    }
    return f(device);
}

void TPlayRecEngine::SetVolume(uint16_t volume) {
    WithOutputDevice(*this, WaveOut.get(), [&](NSAudio::TAudioDevice* device) {
        if (device)
            device->SetVolume(uint32_t(volume) | (uint32_t(volume) << 16));
    });
}

uint16_t TPlayRecEngine::GetVolume() {
    return WithOutputDevice(*this, WaveOut.get(), [](NSAudio::TAudioDevice* device) {
        return device ? uint16_t(device->GetVolume() & 0xFFFF) : uint16_t(0);
    });
}

// --- playback ---------------------------------------------------------------

void TPlayRecEngine::Play(const TSampleRange& range, int volume) {
    Stop();
    if (Active)
        return;
    if (range.Valid && range.Start < range.End)
        Range = range;
    else if (range.Valid)
        Range = TSampleRange(range.Start, Doc.GetLength(), range.Channel);
    else
        Range = TSampleRange(0, Doc.GetLength(), AllChannels);
    if (Range.Start >= Range.End)
        return;

    // The channels as they are: all of them on as many of the card's, or
    // one channel on both speakers.
    PlayedChannels.clear();
    if (Range.Channel == AllChannels)
        for (int c = 0; c < Doc.ChannelCount(); ++c)
            PlayedChannels.push_back(c);
    else
        PlayedChannels.push_back(Range.Channel);
    const int played = int(PlayedChannels.size());
    WaveOut = OpenDevice(false, true, Out, played == 1 ? 2 : played);
    if (!WaveOut)
        return;
    const int blockBytes = BlockSamples * Out.FrameBytes();
    if (volume >= 0)
        SetVolume(uint16_t(volume));
    Active = this;
    DeviceState = TDeviceState::Playing;
    const uint32_t start = Range.Start;

    // The whole queue is filled before the card starts: it fills its own
    // buffer from the queue as it starts, and the first sound is the sound.
    for (int i = 0; DeviceState == TDeviceState::Playing && i < QueuedBlocks; ++i) {
        if (i >= Blocks.Count())
            Blocks.Add(new TDevBlock(blockBytes, this));
        TDevBlock* block = Blocks[i];
        block->Queued = false;
        FillBlock(&block->Header);
    }
    if (DeviceState == TDeviceState::Playing)
        WaveOut->Start();
    ReportPosition(int(start));
}

void TPlayRecEngine::FillBlock(NSAudio::TAudioBlock* header) {
    ReportPosition(Reported + BlockSamples);
    if (DeviceState != TDeviceState::Playing)
        return;
    TDevBlock* block = nullptr;
    for (TDevBlock* b : Blocks)
        if (&b->Header == header)
            block = b;
    if (!block)
        return;

    const int frameBytes = Out.FrameBytes();
    const uint32_t n = std::min(uint32_t(block->Capacity / frameBytes), Range.End - Range.Start);
    if (n < 1) {
        block->Queued = false;
        for (TDevBlock* b : Blocks)
            if (b->Queued)
                return;
        Stop();
        return;
    }

    header->Length = int(n * uint32_t(frameBytes));
    const uint32_t from = Range.Start;
    Range.Start += n;
    uint8_t* out = block->Buffer;
    const int outputs = Out.Channels;
    const int played = int(PlayedChannels.size());
    // Each played channel with its samples and length (past its end, and
    // for a channel gone meanwhile, silence).
    struct TSource {
        const int32_t* Samples;
        uint32_t Count;
    };
    TSource sources[16];
    std::vector<TSource> more;
    TSource* source = played <= 16 ? sources : (more.resize(size_t(played)), more.data());
    for (int k = 0; k < played; ++k) {
        const int c = PlayedChannels[size_t(k)];
        source[k] = Doc.HasChannel(c) ? TSource{Doc.Channel(c).Samples, Doc.Channel(c).Count}
                                      : TSource{nullptr, 0};
    }
    auto sample = [&](int k, uint32_t j) -> int32_t {
        return j < source[k].Count ? source[k].Samples[j] : 0;
    };
    if (played <= outputs) {
        // As they are; one channel on every output.
        for (uint32_t f = 0; f < n; ++f) {
            uint8_t* frame = out + f * uint32_t(frameBytes);
            for (int o = 0; o < outputs; ++o)
                PutSample(frame + o * Out.SampleBytes, Out.SampleBytes,
                          sample(played == 1 ? 0 : o, from + f));
        }
    } else {
        // More channels than the card has: channel k goes to output k mod
        // outputs, each output scaled by the most channels any one gets, so
        // no sum can leave the sample range.
        const int64_t share = (played + outputs - 1) / outputs;
        for (uint32_t f = 0; f < n; ++f) {
            uint8_t* frame = out + f * uint32_t(frameBytes);
            for (int o = 0; o < outputs; ++o) {
                int64_t sum = 0;
                for (int k = o; k < played; k += outputs)
                    sum += sample(k, from + f);
                PutSample(frame + o * Out.SampleBytes, Out.SampleBytes, int32_t(sum / share));
            }
        }
    }
    block->Queued = true;
    WaveOut->Queue(header);
}

void TPlayRecEngine::ReportPosition(int position) {
    Reported = position;
    if (Status) {
        Status->Position = position;
        Status->PlayPosition();
    }
}

void TPlayRecEngine::Stop() {
    if (DeviceState == TDeviceState::Playing) {
        if (Status)
            Status->PlayStopped();
    } else if (DeviceState == TDeviceState::Recording ||
               DeviceState == TDeviceState::RecordPaused) {
        StopRecording();
    }
    DeviceState = TDeviceState::Idle;

    if (WaveOut) {
        // The returned blocks still advance the position; none is refilled.
        WaveOut->Reset();
        TWaveHook::Instance().ProcessWaiting();
        WaveOut.reset();
    }
    if (WaveIn) {
        WaveIn->Reset();
        TWaveHook::Instance().ProcessWaiting();
        WaveIn.reset();
    }
    CloseRecordFd(RecordFd);
    CaptureFile.Release();
    CaptureNote.Release();
    Tail.reset();
    Blocks.Flush();
    if (Active == this)
        Active = nullptr;
}

void TPlayRecEngine::DeviceFailed() {
    if (DeviceState == TDeviceState::Playing && WaveOut && WaveOut->Failed()) {
        // The listener hears of the end once, after the blocks have come
        // back (their positions would move its cursor again).
        TPlayRecStatus* listener = Status;
        Status = nullptr;
        Stop();
        Status = listener;
        if (Status)
            Status->PlayStopped();
        ShowMessageBox(
            NSText::Tr("Recording", "The sound output stopped working: playback has ended."),
            NSText::Tr("Recording", "Error"), TMsgButtons::Ok, TMsgIcon::Error);
    } else if (DeviceState == TDeviceState::Recording && WaveIn && WaveIn->Failed()) {
        // What was recorded stays; Stop puts it into the sound.
        CloseInput();
        if (Status)
            Status->InputLost();
        ShowMessageBox(NSText::Tr("Recording",
                                  "The sound input stopped working: the recording is "
                                  "paused. Stop puts what was recorded into the sound."),
                       NSText::Tr("Recording", "Error"), TMsgButtons::Ok, TMsgIcon::Error);
    }
}

void TPlayRecEngine::Pause() {
    if (DeviceState == TDeviceState::Playing)
        Stop();
    else if (DeviceState == TDeviceState::Recording)
        CloseInput();
}

// --- recording --------------------------------------------------------------

void TPlayRecEngine::Record() {
    if (Active && Active != this)
        return;
    const bool fresh = DeviceState != TDeviceState::RecordPaused;
    if (fresh) {
        Stop();
        RecordedCount = 0;
    }
    TWaveHook::Instance();
    // A take resumed after a pause goes on in the same format; a fresh one
    // records the document's channels at its sample size, as far as the
    // card goes.
    NSAudio::TAudioFormat format;
    WaveIn = OpenDevice(true, true, format, fresh ? Doc.ChannelCount() : In.Channels);
    if (!WaveIn)
        return;
    if (!fresh && (format.Channels != In.Channels || format.SampleBytes != In.SampleBytes)) {
        WaveIn.reset();
        ShowMessageBox(NSText::Tr("Recording", "The sound card no longer records in the format of "
                                               "this recording: Stop puts what was recorded into "
                                               "the sound."),
                       NSText::Tr("Recording", "Error"), TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    In = format;
    const int blockBytes = BlockSamples * In.FrameBytes();

    if (fresh) {
        // Without a file to write into, recording would count and meter into
        // nothing; stop before it starts and say why.
        // The capture and its note live where the next start looks for
        // recordings that were never taken.
        TCapture capture;
        try {
            capture = NewCapture(Doc.Rate, In.SampleBytes, In.Channels);
        } catch (const xmsg&) {
            WaveIn.reset();
            throw;
        }
        const int fd =
            open(capture.File.GetFileName().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            const std::string why = std::strerror(errno);
            WaveIn.reset();
            throw xmsg(
                NSText::Fill(NSText::Tr("Recording", "Could not open capture file (%1)"), {why}));
        }
        CaptureFile = capture.File;
        CaptureNote = capture.Note;
        CloseRecordFd(RecordFd);
        RecordFd = fd;
        Tail.reset();
        RecordSynced = 0;
        RecordUnsynced.clear();
    }

    DeviceState = TDeviceState::Recording;
    Active = this;
    if (Status) {
        Status->Recorded = RecordedCount;
        Status->Level = 0;
        Status->Levels.assign(size_t(In.Channels), 0);
        Status->RecordProgress();
    }
    for (int i = 0; i < QueuedInputBlocks; ++i) {
        if (i >= Blocks.Count())
            Blocks.Add(new TDevBlock(blockBytes, this));
        TDevBlock* block = Blocks[i];
        block->Header.Length = block->Capacity;
        block->Header.Recorded = 0;
        WaveIn->Queue(&block->Header);
    }
    WaveIn->Start();
}

void TPlayRecEngine::OnRecordData(NSAudio::TAudioBlock* header) {
    if (DeviceState != TDeviceState::Recording)
        return;
    const int bytes = header->Recorded;
    const int before = RecordedCount;
    RecordedCount += bytes / In.FrameBytes();
    std::string inMemory;
    if (bytes != 0)
        inMemory =
            KeepRecorded(header->Data, bytes,
                         before / std::max(1, Doc.Rate) != RecordedCount / std::max(1, Doc.Rate));
    if (Status) {
        Status->Recorded = RecordedCount;
        Status->Levels = Peaks(header->Data, bytes, In);
        Status->Level = *std::max_element(Status->Levels.begin(), Status->Levels.end());
        Status->RecordProgress();
    }
    header->Recorded = 0;
    if (WaveIn)
        WaveIn->Queue(header);
    // Last, with the block back at the card: the listener may show a
    // message box, whose event loop goes on delivering blocks.
    if (!inMemory.empty() && Status)
        Status->RecordInMemory(inMemory);
}

std::string TPlayRecEngine::KeepRecorded(const uint8_t* data, int bytes, bool sync) {
    if (Tail) {
        Tail->Bytes.insert(Tail->Bytes.end(), data, data + bytes);
        return std::string();
    }
    // Each block leaves the program at once, so a crash loses no more than
    // the blocks still at the card; about once a second of sound it is also
    // pushed to the disk, against a crash of the machine. Until that push
    // succeeds the block is kept here too: a disk that fills may refuse it
    // only then.
    RecordUnsynced.insert(RecordUnsynced.end(), data, data + bytes);
    size_t written = 0;
    bool ok = RecordFd >= 0 && WriteAll(RecordFd, data, size_t(bytes), written);
    if (ok && sync) {
        ok = fdatasync(RecordFd) == 0;
        if (ok) {
            RecordSynced += RecordUnsynced.size();
            RecordUnsynced.clear();
        }
    }
    if (ok)
        return std::string();
    const int error = RecordFd >= 0 ? errno : EBADF;
    // The file keeps what is known to be on the disk; from there on the
    // recording goes on in memory, in order.
    if (RecordFd >= 0 && ftruncate(RecordFd, off_t(RecordSynced)) != 0) {
        // The file keeps all it took; the rest follows it.
        const size_t kept = RecordUnsynced.size() - size_t(bytes) + written;
        RecordUnsynced.erase(RecordUnsynced.begin(), RecordUnsynced.begin() + ptrdiff_t(kept));
    }
    Tail = std::make_shared<TCaptureTail>();
    Tail->SampleBytes = In.SampleBytes;
    Tail->Channels = In.Channels;
    Tail->Bytes.swap(RecordUnsynced);
    return InMemoryText(error);
}

void TPlayRecEngine::CloseInput() {
    if (!WaveIn)
        return;
    WaveIn->Reset();
    DeviceState = TDeviceState::RecordPaused;
    // The partly filled block comes back now and is dropped.
    TWaveHook::Instance().ProcessWaiting();
    WaveIn.reset();
    if (Active == this)
        Active = nullptr;
}

int TPlayRecEngine::StopRecording() {
    if (DeviceState != TDeviceState::Recording && DeviceState != TDeviceState::RecordPaused)
        return RecordedCount;
    if (WaveIn) {
        // The partly filled block comes back with its data, still written.
        WaveIn->Stop();
        TWaveHook::Instance().ProcessWaiting();
    }
    DeviceState = TDeviceState::RecordDone;
    if (WaveIn) {
        WaveIn->Reset();
        TWaveHook::Instance().ProcessWaiting();
    }
    CloseRecordFd(RecordFd);
    if (Status) {
        Status->Level = 0;
        Status->Levels.assign(Status->Levels.size(), 0);
        Status->RecordStopped();
    }
    return RecordedCount;
}

TTmpFile TPlayRecEngine::TakeRecording() {
    StopRecording();
    return DeviceState == TDeviceState::RecordDone ? CaptureFile : TTmpFile();
}

} // namespace NSWave
