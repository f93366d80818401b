#pragma once
// The play and record engine: it plays a range of a document through the
// sound card and records from the card into a capture file. It stands beside
// the document it plays, holding a reference to it; with it here are the
// play/record listener, the device blocks and the hook that carries the
// sound card's notices to the user-interface thread.

#include <QEvent>
#include <QObject>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "util/arry.h"
#include "util/tmpfile.h"
#include "wave/capture.h"
#include "wave/samplerange.h"

namespace NSWave {

class TFile;
class TPlayRecEngine;

enum class TDeviceState { Idle = 0, Playing = 1, Recording = 2, RecordPaused = 4, RecordDone = 5 };

// What the engine reports to the document window.
class TPlayRecStatus {
public:
    virtual ~TPlayRecStatus() = default;

    int Position = 0; // last reported play position, in samples
    int Recorded = 0; // samples (frames) recorded so far
    int Level = 0;    // peak of the last recorded block, 0..100, over its channels
    // The same for each recorded channel, in order.
    std::vector<int> Levels;

    virtual void PlayPosition() = 0;
    virtual void PlayStopped() = 0;
    virtual void RecordProgress() = 0;
    virtual void RecordStopped() = 0;
    // The capture file took no more (`why` says so in the user's words): the
    // recording goes on in memory. Sent once per recording.
    virtual void RecordInMemory(const std::string& why) { (void)why; }
    // The input device stopped working: the recording is paused.
    virtual void InputLost() {}
};

// One device buffer. The header comes first and its user word names the
// engine, so a returned header leads back to its engine and block.
class TDevBlock {
public:
    TDevBlock(int capacity, TPlayRecEngine* engine);
    ~TDevBlock();
    TDevBlock(const TDevBlock&) = delete;
    TDevBlock& operator=(const TDevBlock&) = delete;

    NSAudio::TAudioBlock Header;
    uint8_t* Buffer;
    bool Queued = false; // at the output device
    int Capacity;        // bytes
};

// The single receiver of the sound card's notices: a returned output block
// goes to its engine's FillBlock, a filled input block to OnRecordData,
// always on the user-interface thread. Created on first use.
class TWaveHook : public QObject {
public:
    static TWaveHook& Instance();

    // Posts a notice; any thread.
    void PostDone(NSAudio::TAudioBlock* header);
    void PostData(NSAudio::TAudioBlock* header);
    // Delivers the notices waiting now, at once.
    void ProcessWaiting();

protected:
    bool event(QEvent* e) override;

private:
    TWaveHook() = default;
};

// Plays and records one document. Only one engine in the program uses the
// sound card at a time. Everything here runs on the user-interface thread.
class TPlayRecEngine {
public:
    explicit TPlayRecEngine(TFile& document);
    // Stops playing or recording (a recording not taken is lost).
    ~TPlayRecEngine();
    TPlayRecEngine(const TPlayRecEngine&) = delete;
    TPlayRecEngine& operator=(const TPlayRecEngine&) = delete;

    TFile& Document() const { return Doc; }
    // Who hears of positions, counts and levels; null for nobody.
    void SetListener(TPlayRecStatus* listener) { Status = listener; }
    TPlayRecStatus* Listener() const { return Status; }

    // Opens the output or input device in the document's rate, at the
    // sample size nearest the document's the card takes and with the
    // channels asked for (fewer where the card has fewer); `format` says
    // what was opened.
    std::unique_ptr<NSAudio::TAudioDevice>
    OpenDevice(bool input, bool interactive, NSAudio::TAudioFormat& format, int channels = 1);
    void Play(const TSampleRange& range, int volume = -1);
    void Stop();
    void SetVolume(uint16_t volume);
    uint16_t GetVolume();
    void FillBlock(NSAudio::TAudioBlock* header);
    void ReportPosition(int position);
    void Record();
    void OnRecordData(NSAudio::TAudioBlock* header);
    void Pause();
    // A device said it stopped working: playback ends, a recording pauses,
    // and the user is told.
    void DeviceFailed();
    void CloseInput();
    int StopRecording();
    TTmpFile TakeRecording();

    TDeviceState State() const { return DeviceState; }
    // While playing: the next sample to send, the end, the channel.
    const TSampleRange& PlayRange() const { return Range; }
    int OutSampleBytes() const { return Out.SampleBytes; }
    int OutChannels() const { return Out.Channels; }
    int InSampleBytes() const { return In.SampleBytes; }
    int InChannels() const { return In.Channels; }
    int ReportedPosition() const { return Reported; }
    int RecordedSamples() const { return RecordedCount; }
    int BlockCount() const { return Blocks.Count(); }
    const TTmpFile& RecordFile() const { return CaptureFile; }
    // The note beside the capture file that lets a later start recover the
    // recording (wave/capture.h); whoever takes the recording keeps a copy
    // until the recording is in the document.
    const TTmpFile& RecordNote() const { return CaptureNote; }
    // The part of the recording the capture file could not take (a full
    // disk), in order after the file's; null when the file holds it all.
    // Whoever takes the recording takes this with it.
    std::shared_ptr<const TCaptureTail> RecordTail() const { return Tail; }

private:
    // Appends a recorded block to the capture file, or to Tail once the file
    // cannot take it; returns the message to show when this block is the
    // first that stays in memory.
    std::string KeepRecorded(const uint8_t* data, int bytes, bool sync);

    TFile& Doc;
    TPlayRecStatus* Status = nullptr;
    TAutoDelArry<TDevBlock> Blocks{32, 320};
    TDeviceState DeviceState = TDeviceState::Idle;
    TSampleRange Range;
    std::unique_ptr<NSAudio::TAudioDevice> WaveOut;
    std::unique_ptr<NSAudio::TAudioDevice> WaveIn;
    NSAudio::TAudioFormat Out; // what the output device plays
    NSAudio::TAudioFormat In;  // what the input device records
    // The document channels played (all, or the one selected).
    std::vector<int> PlayedChannels;
    int Reported = 0;
    TTmpFile CaptureFile;
    TTmpFile CaptureNote;
    // Written with write(2), so that what reached the file is known to the
    // byte when the disk fills; -1 when closed.
    int RecordFd = -1;
    std::shared_ptr<TCaptureTail> Tail;
    // Bytes of the capture file known to be on the disk, and those written
    // after them, kept until the next sync succeeds.
    uint64_t RecordSynced = 0;
    std::vector<uint8_t> RecordUnsynced;
    int RecordedCount = 0;
};

// The engine that plays or records, and its document; null when none does.
TPlayRecEngine* ActiveEngine();
TFile* ActiveDocument();

// Device volume steps of the volume control: level L is L × VolumeStep.
constexpr int VolumeStep = 9362;

} // namespace NSWave
