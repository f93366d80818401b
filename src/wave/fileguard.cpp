// The header walk made before the library reads a file: RIFF WAVE, AIFF and
// AIFF-C, 8SVX, Sun/NeXT, the library's own format, Grandstream ring tones,
// the frame headers of AMR and FLAC's metadata blocks. Only headers are read (a few small reads
// per chunk), never the sound data.

#include "wave/fileguard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "util/text.h"
#include "util/xmsg.h"

namespace NSWave {

void CheckChannelCount(uint64_t channels) {
    if (channels > MaxFileChannels)
        throw xmsg(
            NSText::Fill(NSText::Tr("Sound", "The file has %1 channels; at most %2 can be loaded"),
                         {std::to_string(channels), std::to_string(MaxFileChannels)}));
}

namespace {

enum class TFamily { None, Riff, Aiff, Svx, Au, Sox, Gsrt, AmrNb, AmrWb };

[[noreturn]] void Damaged(const std::string& what) {
    throw xmsg(NSText::Fill(NSText::Tr("Sound", "The file is damaged: %1"), {what}));
}

std::string ChunkName(const unsigned char* id) {
    std::string name;
    for (int i = 0; i < 4; ++i)
        name += id[i] >= 0x20 && id[i] < 0x7f ? char(id[i]) : '?';
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

[[noreturn]] void TooLong(const unsigned char* id) {
    Damaged(NSText::Fill(NSText::Tr("Sound", "chunk %1 is longer than the file"), {ChunkName(id)}));
}

[[noreturn]] void DataBeyondEnd() {
    Damaged(NSText::Tr("Sound", "its sound data would start beyond its end"));
}

struct TFileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

// Reads of a file by position; everything outside the file reads as absent.
class TBytes {
public:
    TBytes(FILE* file, uint64_t length) : File(file), Length(length) {}

    bool Has(uint64_t pos, uint64_t n) const { return pos <= Length && n <= Length - pos; }

    bool Read(uint64_t pos, unsigned char* to, size_t n) {
        return Has(pos, n) && fseeko(File, off_t(pos), SEEK_SET) == 0 &&
               std::fread(to, 1, n, File) == n;
    }

    uint32_t U32(uint64_t pos, bool big) {
        unsigned char b[4] = {};
        Read(pos, b, 4);
        return big ? uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]
                   : uint32_t(b[3]) << 24 | uint32_t(b[2]) << 16 | uint32_t(b[1]) << 8 | b[0];
    }

    uint16_t U16(uint64_t pos, bool big) {
        unsigned char b[2] = {};
        Read(pos, b, 2);
        return uint16_t(big ? b[0] << 8 | b[1] : b[1] << 8 | b[0]);
    }

    FILE* File;
    const uint64_t Length;
};

bool Is(const unsigned char* id, const char* name) {
    return std::memcmp(id, name, 4) == 0;
}

// The library's detection, in its order where the magic words of two
// kinds could both be present (at different places).
TFamily FamilyOfContent(const unsigned char* h) {
    if (std::memcmp(h + 16, "ring.bin", 9) == 0)
        return TFamily::Gsrt;
    if (Is(h + 65, "FSSD") && Is(h + 128, "HCOM"))
        return TFamily::None;
    if ((Is(h, "RIFF") || Is(h, "RIFX")) && Is(h + 8, "WAVE"))
        return TFamily::Riff;
    if (Is(h, "FORM") && (Is(h + 8, "AIFF") || Is(h + 8, "AIFC")))
        return TFamily::Aiff;
    if (Is(h, "FORM") && Is(h + 8, "8SVX"))
        return TFamily::Svx;
    if (Is(h, ".snd") || Is(h, "dns.") || std::memcmp(h, "\0ds.", 4) == 0 ||
        std::memcmp(h, ".sd\0", 4) == 0)
        return TFamily::Au;
    if (Is(h, ".SoX") || Is(h, "XoS."))
        return TFamily::Sox;
    if (std::memcmp(h, "#!AMR\n", 6) == 0)
        return TFamily::AmrNb;
    if (std::memcmp(h, "#!AMR-WB\n", 9) == 0)
        return TFamily::AmrWb;
    return TFamily::None;
}

TFamily FamilyOfHandler(const sox_format_handler_t* handler) {
    const char* name = handler->names ? handler->names[0] : nullptr;
    if (!name)
        return TFamily::None;
    static const struct {
        const char* Name;
        TFamily Family;
    } table[] = {{"wav", TFamily::Riff},  {"aiff", TFamily::Aiff},    {"aifc", TFamily::Aiff},
                 {"8svx", TFamily::Svx},  {"au", TFamily::Au},        {"sox", TFamily::Sox},
                 {"gsrt", TFamily::Gsrt}, {"amr-nb", TFamily::AmrNb}, {"amr-wb", TFamily::AmrWb}};
    for (const auto& entry : table)
        if (std::strcmp(name, entry.Name) == 0)
            return entry.Family;
    return TFamily::None;
}

// The library finds the first fmt and data chunks by seeking from chunk to
// chunk; the channel count of fmt sizes its decoder buffers.
void WalkRiff(TBytes& f, bool big) {
    unsigned char id[4];
    bool sawFormat = false;
    for (uint64_t pos = 12; f.Read(pos, id, 4) && f.Has(pos, 8);) {
        const uint32_t size = f.U32(pos + 4, big);
        const uint64_t body = pos + 8;
        if (Is(id, "data"))
            return; // the sound data, which may be cut short, and what follows it
        if (!f.Has(body, size))
            TooLong(id);
        if (Is(id, "fmt ") && !sawFormat && size >= 4) {
            CheckChannelCount(f.U16(body + 2, big));
            sawFormat = true;
        }
        pos = body + size + (size & 1);
    }
}

// The library's reading of a MARK chunk counts down what is left of it and
// skips the rest byte by byte; a mark that claims the byte after the chunk
// makes the count wrap to 4 GB.
bool MarksFit(TBytes& f, uint64_t body, uint32_t size) {
    uint32_t left = size;
    uint64_t p = body;
    unsigned marks = 0;
    if (left >= 2) {
        marks = f.U16(p, true);
        p += 2;
        left -= 2;
    }
    for (unsigned i = 0; i < marks && i < 32 && left; ++i) {
        if (left < 6)
            break;
        p += 6;
        left -= 6;
        if (left == 0)
            return false;
        unsigned char length = 0;
        f.Read(p, &length, 1);
        ++p;
        --left;
        const uint32_t name = std::min<uint32_t>(length, left);
        p += name;
        left -= name;
        if ((name & 1) == 0 && left) {
            ++p;
            --left;
        }
    }
    return true;
}

// Where the library's reading of a COMT chunk ends. It reads every comment
// whatever the chunk's size says, then skips what it believes is left.
uint64_t CommentsEnd(TBytes& f, const unsigned char* id, uint64_t body, uint32_t size) {
    if (!f.Has(body, 2))
        TooLong(id);
    const unsigned count = f.U16(body, true);
    uint64_t p = body + 2;
    uint16_t total = 0;
    uint32_t counted = 2; // the library's own tally, wrapping as its does
    for (unsigned i = 0; i < count; ++i) {
        if (!f.Has(p, 8))
            TooLong(id);
        const uint16_t length = f.U16(p + 6, true);
        p += 8;
        if (uint32_t(total) + length > 0xFFFF)
            return f.Length; // the library refuses the chunk itself
        total = uint16_t(total + length);
        const uint64_t padded = length + (length & 1);
        if (!f.Has(p, padded))
            TooLong(id);
        p += padded;
        counted += total + 8u + (length & 1);
    }
    if (counted < size)
        p += size - counted;
    if (p > f.Length)
        TooLong(id);
    return p;
}

// The AIFF reader, step by step: which bytes it reads or skips for each
// chunk, so that the walk stays where the library will be.
void WalkAiff(TBytes& f) {
    unsigned char id[4];
    for (uint64_t pos = 12; f.Read(pos, id, 4);) {
        if (!f.Has(pos, 8))
            TooLong(id);
        const uint32_t size = f.U32(pos + 4, true);
        const uint64_t body = pos + 8;
        uint64_t next = body + size + (size & 1);
        if (Is(id, "COMM")) {
            // The reader subtracts 18, and 4 more for a compression type.
            if (size < 18 || (size > 18 && size < 22))
                Damaged(NSText::Tr("Sound", "chunk COMM is too short"));
            if (!f.Has(body, size))
                TooLong(id);
            CheckChannelCount(f.U16(body, true));
            next = body + size;
        } else if (Is(id, "SSND")) {
            if (!f.Has(body, 8))
                TooLong(id);
            if (!f.Has(body + 8, f.U32(body, true)))
                DataBeyondEnd();
            if (size < 8 || !f.Has(body, size))
                return; // the sound data, cut short
        } else if (Is(id, "MARK")) {
            if (!f.Has(body, size))
                TooLong(id);
            if (!MarksFit(f, body, size))
                Damaged(NSText::Tr("Sound", "chunk MARK is inconsistent"));
            next = body + size;
        } else if (Is(id, "INST")) {
            // Always 20 bytes, whatever the size says.
            if (!f.Has(body, 20))
                TooLong(id);
            next = body + 20;
        } else if (Is(id, "ALCH")) {
            // Four bytes before the size.
            if (!f.Has(pos, 12))
                TooLong(id);
            const uint32_t skip = f.U32(pos + 8, true);
            if (!f.Has(pos + 12, skip))
                TooLong(id);
            next = pos + 12 + skip;
        } else if (Is(id, "COMT")) {
            next = CommentsEnd(f, id, body, size);
        } else if (!f.Has(body, size)) {
            // Text chunks are allocated at their size; the others skipped.
            TooLong(id);
        }
        pos = next;
    }
}

void WalkSvx(TBytes& f) {
    unsigned char id[4];
    for (uint64_t pos = 12; f.Read(pos, id, 4) && !Is(id, "BODY");) {
        if (!f.Has(pos, 8))
            TooLong(id);
        const uint32_t size = f.U32(pos + 4, true);
        const uint64_t body = pos + 8;
        // The reader refuses other sizes of these two itself.
        if ((Is(id, "VHDR") && size != 20) || (Is(id, "CHAN") && size != 4))
            return;
        if (!f.Has(body, size))
            TooLong(id);
        pos = body + size + (size & 1);
    }
}

// The AMR readers count the frames first, stepping from each frame's type
// to the next frame by the type's size; a type of size 0 steps back onto
// itself for ever.
void WalkAmr(TBytes& f, uint64_t start, const unsigned char (&sizes)[16]) {
    std::vector<unsigned char> block(65536);
    for (uint64_t pos = start, base = 0, have = 0; pos < f.Length;) {
        if (pos >= base + have) {
            base = pos;
            have = std::min<uint64_t>(block.size(), f.Length - pos);
            if (!f.Read(base, block.data(), size_t(have)))
                return;
        }
        const unsigned size = sizes[block[size_t(pos - base)] >> 3 & 15];
        if (size == 0)
            Damaged(NSText::Tr("Sound", "an AMR frame has a type that does not exist"));
        pos += size;
    }
}

// The library's FLAC reader keeps its decoder when the metadata does not
// decode, so the metadata blocks must follow each other inside the file,
// the stream information first.
void WalkFlac(TBytes& f) {
    uint64_t pos = 4;
    for (bool first = true;; first = false) {
        unsigned char header[4];
        if (!f.Read(pos, header, 4))
            Damaged(NSText::Tr("Sound", "its FLAC metadata ends early"));
        const unsigned type = header[0] & 0x7f;
        const uint32_t size = uint32_t(header[1]) << 16 | uint32_t(header[2]) << 8 | header[3];
        if (first && (type != 0 || size != 34))
            Damaged(NSText::Tr("Sound", "its FLAC stream information is missing"));
        if (type == 127)
            Damaged(NSText::Tr("Sound", "a FLAC metadata block has a type that does not exist"));
        if (!f.Has(pos + 4, size))
            Damaged(NSText::Tr("Sound", "a FLAC metadata block is longer than the file"));
        pos += 4 + uint64_t(size);
        if (header[0] & 0x80)
            return;
    }
}

} // namespace

void CheckFileHeaders(const std::string& fileName, const sox_format_handler_t* handler,
                      uint64_t length) {
    std::unique_ptr<FILE, TFileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        return; // the library's open reports it
    TBytes f(file.get(), length);
    unsigned char head[132] = {};
    if (!f.Read(0, head, size_t(std::min<uint64_t>(sizeof head, length))))
        return;
    const TFamily family = FamilyOfContent(head);
    // The library's FLAC reader keeps its decoder when the stream does not
    // open; a file that cannot be FLAC (its magic word, or a tag before it)
    // never reaches it.
    const bool flac = handler && handler->names && std::strcmp(handler->names[0], "flac") == 0;
    if (flac && !Is(head, "fLaC") && std::memcmp(head, "ID3", 3) != 0)
        Damaged(NSText::Tr("Sound", "it is not a FLAC stream"));
    if (Is(head, "fLaC") && (flac || !handler))
        WalkFlac(f);
    // A handler chosen by name reads only its own kind of file.
    if (family == TFamily::None || (handler && FamilyOfHandler(handler) != family))
        return;
    switch (family) {
    case TFamily::Riff:
        WalkRiff(f, Is(head, "RIFX"));
        break;
    case TFamily::Aiff:
        WalkAiff(f);
        break;
    case TFamily::Svx:
        WalkSvx(f);
        break;
    case TFamily::Au:
        // The text between the fixed header and the data is allocated at
        // its announced size.
        if (f.U32(4, Is(head, ".snd") || std::memcmp(head, ".sd\0", 4) == 0) > length)
            DataBeyondEnd();
        break;
    case TFamily::Sox:
        // The same, for the comments of the library's own format.
        if (f.U32(4, Is(head, "XoS.")) > length)
            DataBeyondEnd();
        break;
    case TFamily::Gsrt:
        // The reader sums the 16-bit words the header counts, one by one.
        if (uint64_t(f.U32(0, true)) * 2 > length)
            Damaged(NSText::Tr("Sound", "its header counts more than the file holds"));
        break;
    case TFamily::AmrNb:
        WalkAmr(f, 6, {13, 14, 16, 18, 20, 21, 27, 32, 6, 0, 0, 0, 0, 0, 0, 1});
        break;
    case TFamily::AmrWb:
        WalkAmr(f, 9, {18, 24, 33, 37, 41, 47, 51, 59, 61, 6, 6, 0, 0, 0, 1, 1});
        break;
    case TFamily::None:
        break;
    }
}

} // namespace NSWave
