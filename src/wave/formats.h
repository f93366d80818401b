#pragma once
// The sound file types the installed library knows, as file name suffixes,
// for the file dialogs' filters and the desktop's file associations.

#include <string>
#include <vector>

namespace NSWave {

// Lower-case type names the library reads (writable: writes), sorted, without
// sound devices and without the "auto" pseudo type.
std::vector<std::string> LibraryTypes(bool writable);

} // namespace NSWave
