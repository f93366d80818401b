#pragma once
// Recordings kept where a later start can find them. A recording is captured
// into a raw file under $XDG_STATE_HOME/brimvale (~/.local/state/brimvale
// when XDG_STATE_HOME is unset) with a note beside it saying how to read it
// (rate, sample size), which process records into it and when the recording
// began. The note goes once the recording is in its document; a note that
// outlives its process marks a recording nobody took, and the next start
// offers it back.
//
// Every file here is named "rec-<process id>-XXXXXX.ub" (8-bit), ".sw"
// (16-bit) or ".s3" (24-bit), its channels interleaved, and the note
// "<capture>.info".

#include <cstdint>
#include <string>
#include <vector>

#include "util/tmpfile.h"

namespace NSWave {

class TFile;

// The part of a recording that did not reach its capture file (the disk was
// full), in the file's raw format; it follows the file's samples.
struct TCaptureTail {
    int SampleBytes = 2;
    int Channels = 1;
    std::vector<uint8_t> Bytes;
};
// Appends a tail's frames to the channels of `material` (given the tail's
// channels when it has none).
void AppendCaptureTail(TFile& material, const TCaptureTail& tail);

// The folder of the capture files (not created here).
std::string CaptureDir();

// A new, empty capture file and its note, the note already on the disk.
// Both handles delete their files with their last copies. Throws xmsg when
// the folder or the files cannot be made.
struct TCapture {
    TTmpFile File;
    TTmpFile Note;
};
TCapture NewCapture(int rate, int sampleBytes, int channels = 1);

// A capture left behind by a process that has gone.
struct TLostCapture {
    std::string File;
    std::string Note;
    int Rate = 0;
    int SampleBytes = 0;
    int Channels = 1;
    int64_t Started = 0;  // when the recording began, seconds since the epoch
    uint64_t Samples = 0; // whole frames in the file
};

// The captures whose recording process no longer runs, oldest first. On the
// way, what holds nothing to recover is removed: empty captures, notes
// without their capture, and files of processes that have ended that belong
// to no readable note (a recording already taken into its document).
// Nothing of a running process is touched.
std::vector<TLostCapture> LostCaptures();

// Deletes a capture and its note.
void DiscardCapture(const TLostCapture& capture);

// Makes a lost capture this process's own, to be taken into a document: the
// file gets a name of this process and a note that names this process, so
// no other start offers or removes it meanwhile. The handles delete both
// with their last copies. Empty handles when the capture has gone (another
// start took it first).
TCapture ClaimCapture(const TLostCapture& capture);

} // namespace NSWave
