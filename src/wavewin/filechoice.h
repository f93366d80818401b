#pragma once
// Choosing sound files: the Open and Save As dialogs, their filters, and the
// directory remembered for the next one.

#include <string>
#include <vector>

class TStrSetting;

namespace NSWaveWin {

// "App\LastDir": where the last file was chosen; "App\LastFile": the last
// file loaded.
TStrSetting& LastDirSetting();
TStrSetting& LastFileSetting();

// The filters of both dialogs: one short entry per family of sound files
// the library reads (or writes, for saving), WAV first, then all sound
// files (the WAV and AIFF suffixes and every suffix of the library) and all
// files.
std::vector<std::string> SoundFilters(bool save);
// The 1-based place of the filter whose text begins with `name` (1 when
// none does).
int FilterIndexOf(const std::vector<std::string>& filters, const std::string& name);

// The Open dialog; empty when cancelled. Remembers the directory.
std::string ChooseOpenFile();
// The Save As dialog proposing `current`; empty when cancelled. Remembers
// the directory.
std::string ChooseSaveFile(const std::string& current);

// Keeps the directory of a chosen file for the next dialog, unless it lies on
// a removable, optical or memory disk.
void RememberDirectory(const std::string& chosen);

} // namespace NSWaveWin
