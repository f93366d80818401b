#pragma once
// The sound document: one sound held in memory, its sample format, a comment
// and one or more channels of signed 32-bit full-scale samples.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "util/arry.h"
#include "util/tmpfile.h"
#include "util/xmsg.h"
#include "wave/channel.h"
#include "wave/samplerange.h"

class TOpStatus;

class TValueSetting;

namespace NSWave {

// How MP3 files are encoded ("Save\Mp3Quality"): -n is a variable bit rate
// at the encoder's quality n (2 high, 6 small), a positive value a constant
// bit rate in kbit/s.
extern TValueSetting Mp3QualitySetting;
constexpr int DefaultMp3Quality = -2;
// The bit rate of Opus files in kbit/s ("Save\OpusBitrate"), for one or two
// channels; more channels get that much per pair.
extern TValueSetting OpusBitrateSetting;
constexpr int DefaultOpusBitrate = 128;

// What a load found: the window tells the user when a file ended early.
struct TLoadResult {
    uint64_t FramesRead = 0;      // frames per channel now in the document
    uint64_t FramesAnnounced = 0; // what the header announced; 0 when not known
    bool EndedEarly() const { return FramesAnnounced != 0 && FramesRead < FramesAnnounced; }
};
class TFile;

// Told of a load's progress, for a window that shows the sound as it
// arrives. `loading` is the sound being filled, valid until Load returns; its
// channels hold `frames` good frames and may be longer (room reserved ahead).
class TLoadObserver {
public:
    virtual ~TLoadObserver() = default;
    // The format is known and the channels laid out; `expected` is the length
    // the file announces or its data can hold (0: not known).
    virtual void LoadStarted(const TFile& loading, uint64_t expected) = 0;
    // After each run of frames that arrived.
    virtual void LoadArrived(uint64_t frames) = 0;
};

// "The file ended early: 12.5 of 60 seconds were read." (seconds with at most
// two decimals, trailing zeros dropped)
std::string EndedEarlyText(const TLoadResult& result, int rate);

// Thrown by Save when the chosen type holds fewer bits than the sound and the caller did not
// consent; what() stays "This file type cannot hold N-bit samples" (N = the sound's bits).
class xfewerbits : public xmsg {
public:
    xfewerbits(unsigned typeBits, unsigned soundBits);
    unsigned TypeBits; // what the type holds: the window asks "The file type holds only
                       // <TypeBits>-bit samples. Save anyway?"
    unsigned SoundBits;
};

class TFile {
public:
    TFile(int rate = 22050, int style = 2, int size = 1, int channels = 1);
    // Format and comment of `source`, and deep copies of its channels inside
    // `range` (one channel, or all of them for AllChannels).
    TFile(const TFile& source, const TSampleRange& range);
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    int ChannelCount() const { return Channels.Count(); }
    TChannel& Channel(int index) const { return *Channels[index]; }
    bool HasChannel(int index) const { return index >= 0 && index < Channels.Count(); }

    uint32_t GetLength() const;
    uint64_t CountSamples(const TSampleRange& range) const;
    // Channel by channel, not interleaved; each returns the buffer advanced
    // by CountSamples(range).
    int32_t* CopyOut(const TSampleRange& range, int32_t* buffer) const;
    const int32_t* CopyIn(const TSampleRange& range, const int32_t* buffer);
    int32_t* SwapRange(const TSampleRange& range, int32_t* buffer);

    void SetSize(uint32_t n, int channels);
    void SetChannelCount(int n);
    void InsertChannel(int index);
    void DeleteChannel(int index);
    void Extend(const TSampleRange& range);
    void Silence(const TSampleRange& range);
    void InsertSilence(const TSampleRange& range);
    void DeleteRange(const TSampleRange& range, bool shrink = true);
    void Amplify(const TSampleRange& range, double from, double to, TOpStatus* status = nullptr);
    // Replaces `range` with the content of `source` (converted to this rate
    // first, which changes `source`); returns where the new data lies.
    TSampleRange Paste(TFile& source, const TSampleRange& range);

    // Sound files. A file refused before its data is read leaves the
    // document as it was. Save writes a new file beside the target (a
    // symbolic link's final target) and replaces the target only once the
    // new file is complete on the disk.
    TLoadResult Load(const std::string& fileName, TOpStatus* status = nullptr,
                     const char* type = nullptr, int channelHint = -1,
                     TLoadObserver* observer = nullptr);
    // A type that holds fewer bits than the sound is refused with xfewerbits
    // unless `allowFewerBits`, or unless it is the type the sound came from.
    void Save(const std::string& fileName, TOpStatus* status = nullptr, const char* type = nullptr,
              const TSampleRange& range = TSampleRange(), bool allowFewerBits = false) const;
    // The same for a scratch file of the program's own (the clipboard's, the
    // pitch change's staging file): every failure is still reported, but
    // nothing waits for the disk, since nothing is lost if the machine stops.
    void SaveScratch(const std::string& fileName, TOpStatus* status, const char* type,
                     const TSampleRange& range, bool allowFewerBits = false) const;
    // Saves as on a file system that has no unnamed files (every new file
    // is a hidden named one), for the tests of that path.
    static void UseNamedSaveFiles(bool named);

    // Library effects and rate conversion.
    void ApplyEffect(const TSampleRange& range, const char* name, const char* args,
                     TOpStatus* status = nullptr, int outRate = 0);
    void SetRate(int newRate, TOpStatus* status = nullptr);

    TAutoDelArry<TChannel> Channels{10, 10};
    std::string Comment;
    // The library's name of the type the sound was loaded from (empty for a new sound); saving
    // back to that type at its own resolution needs no consent.
    std::string LoadedType;
    int Rate = 22050;
    int Style = 2;
    int Size = 1;

private:
    void SaveTo(const std::string& fileName, TOpStatus* status, const char* type,
                const TSampleRange& range, bool allowFewerBits, bool durable) const;
    TSampleRange ClipToDocument(const TSampleRange& range) const;
    // The range a whole-document operation works on: an invalid range means
    // the whole document; clipped; invalid when there is nothing to do.
    TSampleRange ClipOrWhole(const TSampleRange& range) const;
};

} // namespace NSWave
