#include "wave/soundformat.h"

#include <strings.h>

namespace NSWave {

std::string TypeFromName(const std::string& fileName) {
    size_t slash = fileName.find_last_of("/\\");
    size_t start = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || dot < start || dot + 1 == fileName.size())
        return "auto";
    return fileName.substr(dot + 1);
}

int SizeCodeOf(unsigned bits, sox_encoding_t encoding) {
    if (encoding == SOX_ENCODING_FLOAT || encoding == SOX_ENCODING_FLOAT_TEXT ||
        encoding == SOX_ENCODING_WAVPACKF)
        return bits > 32 ? 6 : 5;
    if (bits == 0)
        return -1;
    if (bits <= 8)
        return 1;
    if (bits <= 16)
        return 2;
    if (bits <= 24)
        return 3;
    return 4;
}

int StyleCodeOf(sox_encoding_t encoding) {
    switch (encoding) {
    case SOX_ENCODING_UNKNOWN:
        return -1;
    case SOX_ENCODING_UNSIGNED:
        return 1;
    case SOX_ENCODING_ULAW:
        return 3;
    case SOX_ENCODING_ALAW:
        return 4;
    default:
        // Signed integers, and the compressed encodings, which decode to them.
        return 2;
    }
}

unsigned BitsOfSize(int size) {
    switch (size) {
    case 1:
        return 8;
    case 2:
        return 16;
    case 3:
        return 24;
    case 6:
        return 64;
    default:
        return 32;
    }
}

bool IsFloatSize(int size) {
    return size >= 5 && size <= 7;
}

bool TypeFixesSampleFormat(const std::string& type) {
    static const char* const fixed[] = {
        "ub", "sb", "uw",  "sw",  "ul",  "al",  "lu",  "la",  "u1",  "s1",   "u2",
        "s2", "u3", "s3",  "u4",  "s4",  "sl",  "f4",  "f8",  "sou", "fssd", "snd",
        "u8", "s8", "u16", "s16", "u24", "s24", "u32", "s32", "f32", "f64",  "sln"};
    for (const char* name : fixed)
        if (strcasecmp(type.c_str(), name) == 0)
            return true;
    return false;
}

} // namespace NSWave
