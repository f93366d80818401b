#pragma once
// The device engine's pieces outside the document: the play/record listener,
// the device blocks and the hook that carries the sound card's notices to
// the user-interface thread.

#include <QEvent>
#include <QObject>
#include <string>

#include "platform/audio.h"

namespace NSWave {

class TFile;

// What the engine reports to the document window.
class TPlayRecStatus {
public:
    virtual ~TPlayRecStatus() = default;

    int Position = 0; // last reported play position, in samples
    int Recorded = 0; // samples recorded so far
    int Level = 0;    // peak of the last recorded block, 0..100

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
// document, so a returned header leads back to its document and block.
class TDevBlock {
public:
    TDevBlock(int capacity, TFile* document);
    ~TDevBlock();
    TDevBlock(const TDevBlock&) = delete;
    TDevBlock& operator=(const TDevBlock&) = delete;

    NSAudio::TAudioBlock Header;
    uint8_t* Buffer;
    bool Queued = false; // at the output device
    int Capacity;        // bytes
};

// The single receiver of the sound card's notices: a returned output block
// goes to its document's FillBlock, a filled input block to OnRecordData,
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

// The document that plays or records; null when none does.
TFile* ActiveDocument();

// Device volume steps of the volume control: level L is L × VolumeStep.
constexpr int VolumeStep = 9362;

} // namespace NSWave
