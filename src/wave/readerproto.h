#pragma once
// What the sound file reader (brimvale-reader, a process of its own) tells
// the editor over its standard output: a run of records, each a head and a
// payload, in the byte order of the machine both run on.
//
//   Header    the format the library found (TReaderFormat, then the type's
//             name and the comment)
//   Frames    TFramesHead, then its frames channel by channel: the editor
//             reads each channel's run straight into its array
//   End       TEndHead, then the library's failure text (empty when none)
//   Refused   the library's failure text: it could not open the file
//
// Anything else, or the stream ending before End or Refused, means the
// reader stopped on the file.

#include <cstdint>

namespace NSWave::NSReader {

constexpr uint32_t Magic = 0x42565244; // "BVRD"

enum class TKind : uint32_t { Header = 1, Frames = 2, End = 3, Refused = 4 };

struct TRecordHead {
    uint32_t Magic = NSReader::Magic;
    TKind Kind = TKind::End;
    uint64_t Bytes = 0; // the payload that follows
};

struct TReaderFormat {
    double Rate = 0;
    uint32_t Channels = 0;
    uint32_t Bits = 0;      // the encoding's bits per sample (0: not given)
    uint32_t Precision = 0; // the signal's precision
    uint32_t Encoding = 0;  // the library's sox_encoding_t
    uint64_t Length = 0;    // samples announced, all channels together (0: unknown)
    uint64_t DataOffset = 0;
    uint32_t TypeBytes = 0;
    uint32_t CommentBytes = 0;
    uint32_t Flags = 0;
    uint32_t Unused = 0;
};

// The data's size does not bound its frames (a codec of FFmpeg's, whatever
// its sample format).
constexpr uint32_t FlagCompressed = 1;

struct TFramesHead {
    uint64_t FileOffset = 0; // how far into the file the library has read
    uint32_t Frames = 0;
    uint32_t Unused = 0;
};

struct TEndHead {
    uint32_t Failed = 0; // the library reported a failure while reading
    uint32_t Unused = 0;
};

// The most frames in one Frames record.
constexpr uint32_t FramesPerRecord = 32768;

} // namespace NSWave::NSReader
