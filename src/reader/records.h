#pragma once
// Writing the reader's records (wave/readerproto.h) to standard output.

#include <unistd.h>

#include <cstdint>
#include <string>

#include "wave/readerproto.h"

namespace NSReaderMain {

inline void WriteAll(const void* data, size_t bytes) {
    const char* from = static_cast<const char*>(data);
    while (bytes) {
        const ssize_t n = write(STDOUT_FILENO, from, bytes);
        if (n <= 0)
            _exit(3); // the editor has gone or given up
        from += n;
        bytes -= size_t(n);
    }
}

inline void Record(NSWave::NSReader::TKind kind, uint64_t bytes) {
    NSWave::NSReader::TRecordHead head;
    head.Kind = kind;
    head.Bytes = bytes;
    WriteAll(&head, sizeof head);
}

inline void Text(NSWave::NSReader::TKind kind, const std::string& text) {
    Record(kind, text.size());
    WriteAll(text.data(), text.size());
}

// The format record: the fixed part, the type's name, the comment.
inline void Format(const NSWave::NSReader::TReaderFormat& fixed, const std::string& type,
                   const std::string& comment) {
    NSWave::NSReader::TReaderFormat format = fixed;
    format.TypeBytes = uint32_t(type.size());
    format.CommentBytes = uint32_t(comment.size());
    Record(NSWave::NSReader::TKind::Header, sizeof format + type.size() + comment.size());
    WriteAll(&format, sizeof format);
    WriteAll(type.data(), type.size());
    WriteAll(comment.data(), comment.size());
}

// One Frames record of `frames` frames held channel by channel in `planar`.
inline void Frames(const int32_t* planar, uint32_t frames, uint32_t channels, uint64_t offset) {
    NSWave::NSReader::TFramesHead head;
    head.FileOffset = offset;
    head.Frames = frames;
    const size_t bytes = size_t(frames) * channels * sizeof(int32_t);
    Record(NSWave::NSReader::TKind::Frames, sizeof head + bytes);
    WriteAll(&head, sizeof head);
    WriteAll(planar, bytes);
}

inline void End(bool failed, const std::string& text) {
    NSWave::NSReader::TEndHead end;
    end.Failed = failed ? 1 : 0;
    Record(NSWave::NSReader::TKind::End, sizeof end + text.size());
    WriteAll(&end, sizeof end);
    WriteAll(text.data(), text.size());
}

} // namespace NSReaderMain
