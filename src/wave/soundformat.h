#pragma once
// How the document's sample size and style codes, file names and types meet
// the sound library's handlers and encodings.

#include <sox.h>

#include <string>

namespace NSWave {

// The type a file name asks for: the text after the last '.' of its last
// path component, or "auto" when there is none.
std::string TypeFromName(const std::string& fileName);

// Size codes: 1/2/3/4 = 8/16/24/32-bit integers, 5 = 32-bit float,
// 6 = 64-bit float, 7 = IEEE float (32-bit). Style codes: 1 unsigned,
// 2 signed, 3 µ-law, 4 A-law.
int SizeCodeOf(unsigned bits, sox_encoding_t encoding);
int StyleCodeOf(sox_encoding_t encoding);
unsigned BitsOfSize(int size);
bool IsFloatSize(int size);

// Whether a type names its sample format itself (the raw types such as "sw"
// or "ub"): asking for it is asking for that format, so saving to it may
// drop resolution on purpose.
bool TypeFixesSampleFormat(const std::string& type);

} // namespace NSWave
