#pragma once
// Sound on the system clipboard: a WAV file's bytes under the desktop's WAV
// types.

namespace NSWaveWin {

// True when the clipboard holds sound that Paste can insert.
bool ClipboardHasSound();

} // namespace NSWaveWin
