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
#include "util/xmsg.h"
#include "wave/capture.h"
#include "wave/file.h"

namespace NSWave {

namespace {

TPlayRecEngine* Active = nullptr;

// Samples in one device block, whatever the sample size.
constexpr int BlockSamples = 2048;
// Blocks kept queued at the device.
constexpr int QueuedBlocks = 32;

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

void PutSample(uint8_t* at, int sampleBytes, int value16) {
    if (sampleBytes == 1) {
        at[0] = uint8_t((value16 >> 8) + 128);
    } else {
        at[0] = uint8_t(value16 & 0xFF);
        at[1] = uint8_t((value16 >> 8) & 0xFF);
    }
}

// Peak of a recorded block on the 16-bit scale (0..32768).
int Peak(const uint8_t* data, int bytes, int sampleBytes) {
    int peak = 0;
    if (sampleBytes == 1) {
        for (int i = 0; i < bytes; ++i)
            peak = std::max(peak, std::abs(int(data[i]) - 128) * 256);
    } else {
        for (int i = 0; i + 1 < bytes; i += 2)
            peak = std::max(peak, std::abs(int(int16_t(uint16_t(data[i] | (data[i + 1] << 8))))));
    }
    return peak;
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
        return "The disk is full: the recording goes on in memory and is not protected against "
               "a crash.";
    return std::string("The recording could not be written to the disk (") + std::strerror(error) +
           "): it goes on in memory and is not protected against a crash.";
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
                                                                  int& sampleBytes) {
    NSAudio::TAudioNotice notice;
    if (interactive) {
        TWaveHook* hook = &TWaveHook::Instance();
        if (input)
            notice = [hook](NSAudio::TAudioBlock* header) { hook->PostData(header); };
        else
            notice = [hook](NSAudio::TAudioBlock* header) { hook->PostDone(header); };
    }
    NSAudio::TAudioFormat format;
    format.Rate = Doc.Rate;
    format.SampleBytes = Doc.Size == 1 ? 1 : 2;
    sampleBytes = format.SampleBytes;

    auto& backend = NSAudio::TAudioBackend::Current();
    std::unique_ptr<NSAudio::TAudioDevice> device;
    int result = backend.Open(input, format, notice, device);
    if (result == NSAudio::AudioBadFormat) {
        // The card may take the other sample size; try it once.
        format.SampleBytes = 3 - format.SampleBytes;
        sampleBytes = format.SampleBytes;
        result = backend.Open(input, format, notice, device);
    }
    if (result != NSAudio::AudioOk) {
        device.reset();
        // A refused format is the card's answer; anything else means there
        // is nothing to play into or record from.
        const std::string text =
            result == NSAudio::AudioBadFormat
                ? "Your sound card drivers do not support this sample rate"
                : std::string(input ? "No sound input" : "No sound output") +
                      " could be opened: no sound card or sound server answers.";
        if (interactive)
            ShowMessageBox(text, "Error", TMsgButtons::Ok, TMsgIcon::Error);
    }
    return device;
}

// The volume is the card's: without a playing device, a device is opened
// just to reach it.
template <class F> auto WithOutputDevice(TPlayRecEngine& engine, NSAudio::TAudioDevice* open, F f) {
    std::unique_ptr<NSAudio::TAudioDevice> temporary;
    NSAudio::TAudioDevice* device = open;
    if (!device) {
        int bytes = 0;
        temporary = engine.OpenDevice(false, false, bytes);
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

    WaveOut = OpenDevice(false, true, OutBytes);
    if (!WaveOut)
        return;
    const int blockBytes = BlockSamples * OutBytes;
    if (volume >= 0)
        SetVolume(uint16_t(volume));
    Active = this;
    DeviceState = TDeviceState::Playing;
    const uint32_t start = Range.Start;

    for (int i = 0; DeviceState == TDeviceState::Playing && i < QueuedBlocks; ++i) {
        if (i >= Blocks.Count())
            Blocks.Add(new TDevBlock(blockBytes, this));
        TDevBlock* block = Blocks[i];
        block->Queued = false;
        FillBlock(&block->Header);
    }
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

    int c = Range.Channel;
    if (c == AllChannels && Doc.ChannelCount() == 1)
        c = 0;
    const int bytes = OutBytes;
    const uint32_t n = std::min(uint32_t(block->Capacity / bytes), Range.End - Range.Start);
    if (n < 1) {
        block->Queued = false;
        for (TDevBlock* b : Blocks)
            if (b->Queued)
                return;
        Stop();
        return;
    }

    header->Length = int(n * uint32_t(bytes));
    const uint32_t from = Range.Start;
    Range.Start += n;
    uint8_t* out = block->Buffer;
    if (c == AllChannels) {
        // Mixed at 16-bit precision, saturating rather than wrapping.
        for (uint32_t k = 0; k < n; ++k) {
            const uint32_t j = from + k;
            int sum = 0;
            for (TChannel* channel : Doc.Channels)
                if (channel->Count > j)
                    sum += channel->Samples[j] >> 16;
            PutSample(out + k * uint32_t(bytes), bytes, std::clamp(sum, -32768, 32767));
        }
    } else {
        const uint32_t length = Doc.HasChannel(c) ? Doc.Channel(c).Count : 0;
        uint32_t copy = n;
        if (length < Range.Start) {
            // Past the channel's end the selection plays as silence.
            std::memset(out, bytes == 1 ? 128 : 0, size_t(n) * size_t(bytes));
            const uint32_t missing = Range.Start - length;
            copy = missing >= copy ? 0 : copy - missing;
        }
        const int32_t* samples = copy ? Doc.Channel(c).Samples + from : nullptr;
        for (uint32_t k = 0; k < copy; ++k)
            PutSample(out + k * uint32_t(bytes), bytes, samples[k] >> 16);
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
        ShowMessageBox("The sound output stopped working: playback has ended.", "Error",
                       TMsgButtons::Ok, TMsgIcon::Error);
    } else if (DeviceState == TDeviceState::Recording && WaveIn && WaveIn->Failed()) {
        // What was recorded stays; Stop puts it into the sound.
        CloseInput();
        if (Status)
            Status->InputLost();
        ShowMessageBox("The sound input stopped working: the recording is paused. Stop puts what "
                       "was recorded into the sound.",
                       "Error", TMsgButtons::Ok, TMsgIcon::Error);
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
    WaveIn = OpenDevice(true, true, InBytes);
    if (!WaveIn)
        return;
    const int blockBytes = BlockSamples * InBytes;

    if (fresh) {
        // Without a file to write into, recording would count and meter into
        // nothing; stop before it starts and say why.
        // The capture and its note live where the next start looks for
        // recordings that were never taken.
        TCapture capture;
        try {
            capture = NewCapture(Doc.Rate, InBytes);
        } catch (const xmsg&) {
            WaveIn.reset();
            throw;
        }
        const int fd =
            open(capture.File.GetFileName().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            const std::string why = std::strerror(errno);
            WaveIn.reset();
            throw xmsg("Could not open capture file (" + why + ")");
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
        Status->RecordProgress();
    }
    for (int i = 0; i < QueuedBlocks; ++i) {
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
    RecordedCount += bytes / InBytes;
    std::string inMemory;
    if (bytes != 0)
        inMemory =
            KeepRecorded(header->Data, bytes,
                         before / std::max(1, Doc.Rate) != RecordedCount / std::max(1, Doc.Rate));
    if (Status) {
        Status->Recorded = RecordedCount;
        Status->Level = Peak(header->Data, bytes, InBytes) * 100 / 32768;
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
    Tail->SampleBytes = InBytes;
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
        Status->RecordStopped();
    }
    return RecordedCount;
}

TTmpFile TPlayRecEngine::TakeRecording() {
    StopRecording();
    return DeviceState == TDeviceState::RecordDone ? CaptureFile : TTmpFile();
}

} // namespace NSWave
