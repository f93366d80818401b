#pragma once
// Checks made before the sound library reads a file.
//
// The library trusts sizes in file headers: a text chunk announcing 4 GB
// makes it allocate that much and end the process when it cannot, and a
// chunk it skips byte by byte with a huge size freezes the program for
// minutes. The library cannot be changed, so the headers it trusts are
// walked here first, the way the library will walk them, and a file whose
// chunks reach beyond its end is refused. Only the sound data itself may be
// cut short.

#include <cstdint>
#include <string>

#include <sox.h>

namespace NSWave {

// The most channels a file may have. Real multichannel recordings (64-channel
// Ambisonics or MADI, a few hundred microphones of an array) stay far below
// it; the 16-bit and 32-bit channel counts of headers are refused above it
// before the library and the document set up anything per channel.
constexpr unsigned MaxFileChannels = 1024;

// Throws "The file has N channels; at most 1024 can be loaded" above the bound.
void CheckChannelCount(uint64_t channels);

// Throws "The file is damaged: …" when a header of the file that `handler`
// (or, when null, the library's detection from the content) would read
// announces more than the file holds. `length` is the file's size in bytes.
void CheckFileHeaders(const std::string& fileName, const sox_format_handler_t* handler,
                      uint64_t length);

} // namespace NSWave
