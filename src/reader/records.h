#pragma once
// Writing the reader's records (wave/readerproto.h) to standard output.

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

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

// The heads of a Frames record; returns the bytes of samples to follow.
inline size_t FramesHeads(uint32_t frames, uint32_t channels, uint64_t offset) {
    NSWave::NSReader::TFramesHead head;
    head.FileOffset = offset;
    head.Frames = frames;
    const size_t bytes = size_t(frames) * channels * sizeof(int32_t);
    Record(NSWave::NSReader::TKind::Frames, sizeof head + bytes);
    WriteAll(&head, sizeof head);
    return bytes;
}

// One Frames record of `frames` frames held channel by channel in `planar`.
inline void Frames(const int32_t* planar, uint32_t frames, uint32_t channels, uint64_t offset) {
    WriteAll(planar, FramesHeads(frames, channels, offset));
}

// Frames records from a ring of planar blocks. Where the output is a pipe,
// a block's pages are lent to it (vmsplice) instead of copied into it, so
// the samples are copied once, by the editor's read, instead of twice. A
// lent block is written again only after more pages than the pipe can hold
// went in behind it: by then the editor has read it. Only whole blocks are
// lent, so that the count of blocks behind one bounds those pages; a short
// block (the end, or a reader that decodes in small pieces) is copied.
class TFrameRing {
public:
    explicit TFrameRing(uint32_t channels) : BlockBytes(BlockBytesFor(channels)) {
        const int pipeBytes = fcntl(STDOUT_FILENO, F_GETPIPE_SZ);
        // Whole blocks lent after one that more than fill the pipe.
        const size_t behind =
            pipeBytes > 0 ? (size_t(pipeBytes) + BlockBytes - 1) / BlockBytes + 1 : 0;
        Lend = pipeBytes > 0 && behind < 64;
        const size_t count = Lend ? behind + 1 : 1;
        for (size_t i = 0; i < count; ++i)
            Blocks.push_back(static_cast<int32_t*>(std::aligned_alloc(4096, BlockBytes)));
    }
    ~TFrameRing() {
        for (int32_t* block : Blocks)
            std::free(block);
    }
    TFrameRing(const TFrameRing&) = delete;
    TFrameRing& operator=(const TFrameRing&) = delete;

    // The block to fill: FramesPerRecord frames of each channel.
    int32_t* Block() const { return Blocks[Next]; }

    void Send(uint32_t frames, uint32_t channels, uint64_t offset) {
        if (!Lend || frames != NSWave::NSReader::FramesPerRecord) {
            Frames(Block(), frames, channels, offset);
            return;
        }
        iovec part = {Block(), FramesHeads(frames, channels, offset)};
        while (part.iov_len) {
            const ssize_t n = vmsplice(STDOUT_FILENO, &part, 1, 0);
            if (n <= 0)
                _exit(3);
            part.iov_base = static_cast<char*>(part.iov_base) + n;
            part.iov_len -= size_t(n);
        }
        Next = (Next + 1) % Blocks.size();
    }

private:
    static size_t BlockBytesFor(uint32_t channels) {
        const size_t bytes = size_t(NSWave::NSReader::FramesPerRecord) * channels * sizeof(int32_t);
        return (bytes + 4095) / 4096 * 4096;
    }

    size_t BlockBytes;
    bool Lend = false;
    size_t Next = 0;
    std::vector<int32_t*> Blocks;
};

inline void End(bool failed, const std::string& text) {
    NSWave::NSReader::TEndHead end;
    end.Failed = failed ? 1 : 0;
    Record(NSWave::NSReader::TKind::End, sizeof end + text.size());
    WriteAll(&end, sizeof end);
    WriteAll(text.data(), text.size());
}

} // namespace NSReaderMain
