#pragma once
// Sound on the system clipboard: a WAV file's bytes under the desktop's WAV
// types, and a file copied in a file manager.

#include <cstdint>
#include <string>

#include "util/tmpfile.h"
#include "wave/reader.h"
#include "wave/samplerange.h"

class TOpStatus;

namespace NSWave {
class TFile;
}

namespace NSWaveWin {

// The names a WAV image is offered under; Paste takes any of them.
extern const char* const WavMimeTypes[3];

// True when the clipboard holds sound that Paste can insert: WAV data, or a
// file list naming exactly one local file the sound library can read. The
// file is asked about once per change of the clipboard, by a reader in the
// background; until it answers this is false.
bool ClipboardHasSound();
// True while a file list's file is being asked about.
bool ClipboardCheckPending();

// The largest WAV image: its chunk sizes are 32-bit.
constexpr uint64_t MaxWavImage = 0xFFFFFFFFull;
// The size of the WAV image of `range` (clipped to the sound), header
// included or generously allowed for.
uint64_t WavImageBytes(const NSWave::TFile& document, const TSampleRange& range);
// The message for a range whose image would not fit in a WAV file.
std::string TooLargeForClipboardText();

// Puts the WAV image of `range` on the clipboard. When it cannot be made,
// throws xmsg "Could not put the sound on the clipboard: <reason>" and the
// clipboard keeps what it had.
void PutOnClipboard(const NSWave::TFile& document, const TSampleRange& range, TOpStatus* status);

// Writes what the clipboard holds for Paste into a temporary file: the WAV
// bytes (suffix "WAV"), else a copy of the one file it names (with that
// file's suffix). The empty handle when there is nothing usable.
TTmpFile ReadClipboard();

// The format of the sound in a file, read from its header only (by the
// library in a reader process of its own); false when it cannot be read.
using NSWave::ReadSoundHeader;
using NSWave::TSoundHeader;

} // namespace NSWaveWin
