// brimvale-reader: the sound library's file readers, run in a process of
// their own so that whatever a damaged or hostile file makes them do (end
// the process, crash, loop, allocate gigabytes) ends only this process. The
// editor starts one per file it asks about (wave/reader.cpp) and reads its
// records (wave/readerproto.h) from this process's standard output.
//
//   brimvale-reader load|header FILE TYPE RATE CHANNELS MEMORY_MB
//
// TYPE is the library's type name, or "-" to detect it from the content;
// RATE and CHANNELS are hints for headerless types (0: none); MEMORY_MB
// bounds this process's address space. A file the library refuses and whose
// type it does not know goes on to FFmpeg's readers (brimvale-reader-ffmpeg
// beside this program), in this same process.

#include <sox.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "reader/records.h"
#include "wave/readerproto.h"
#include "wave/soxlib.h"

using namespace NSWave::NSReader;
using namespace NSReaderMain;

namespace {

// Nothing inherited reaches the library: no descriptor but the three
// standard ones, no core file, no more memory than the bound, and no life
// beyond the editor's.
void Confine(unsigned long memoryMb) {
    close_range(3, ~0U, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1)
        _exit(3);
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    const rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
    if (memoryMb) {
        const rlim_t bytes = rlim_t(memoryMb) << 20;
        const rlimit bound = {bytes, bytes};
        setrlimit(RLIMIT_AS, &bound);
    }
}

void SendFormat(const sox_format_t* ft) {
    TReaderFormat format;
    format.Rate = ft->signal.rate;
    format.Channels = ft->signal.channels;
    format.Bits = ft->encoding.bits_per_sample;
    format.Precision = ft->signal.precision;
    format.Encoding = uint32_t(ft->encoding.encoding);
    format.Length = ft->signal.length == SOX_UNKNOWN_LEN ? 0 : uint64_t(ft->signal.length);
    format.DataOffset = uint64_t(ft->tell_off);
    std::string comment;
    if (ft->oob.comments)
        for (char** c = ft->oob.comments; *c; ++c) {
            if (!comment.empty())
                comment += '\n';
            comment += *c;
        }
    Format(format, ft->filetype ? ft->filetype : "", comment);
}

// Decodes in whole frames and sends them channel by channel. A reader may
// end a block inside a frame: the frame is finished from the next block; a
// trailing partial frame is dropped.
void SendFrames(sox_format_t* ft) {
    const size_t channels = ft->signal.channels;
    const size_t perBlock = size_t(FramesPerRecord) * channels;
    std::vector<sox_sample_t> block(perBlock);
    TFrameRing ring{uint32_t(channels)};
    size_t held = 0; // samples of a partial frame kept at the block's start
    for (;;) {
        const size_t got = sox_read(ft, block.data() + held, perBlock - held);
        if (got == 0)
            break;
        const size_t have = held + got;
        const size_t frames = have / channels;
        if (frames) {
            int32_t* planar = ring.Block();
            if (channels == 1) {
                std::memcpy(planar, block.data(), frames * sizeof(int32_t));
            } else if (channels == 2) {
                int32_t* left = planar;
                int32_t* right = left + frames;
                for (size_t f = 0; f < frames; ++f) {
                    left[f] = block[2 * f];
                    right[f] = block[2 * f + 1];
                }
            } else {
                for (size_t c = 0; c < channels; ++c) {
                    int32_t* to = planar + c * frames;
                    for (size_t f = 0; f < frames; ++f)
                        to[f] = block[f * channels + c];
                }
            }
            ring.Send(uint32_t(frames), uint32_t(channels), uint64_t(ft->tell_off));
        }
        held = have - frames * channels;
        std::memmove(block.data(), block.data() + frames * channels, held * sizeof(sox_sample_t));
    }
}

// FFmpeg's readers live in a program of their own beside this one, so the
// many libraries they need are loaded only for the files that need them. It
// takes over this process: the same output, bounds and parent. Returns only
// when it cannot be started.
void OtherReader(const char* mode, const char* file, const std::string& refusal) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return;
    std::string path(self, size_t(n));
    path = path.substr(0, path.find_last_of('/') + 1) + "brimvale-reader-ffmpeg";
    const char* argv[] = {path.c_str(), mode, file, refusal.c_str(), nullptr};
    execv(path.c_str(), const_cast<char**>(argv));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        static const char usage[] =
            "brimvale-reader: started by Brimvale to read one sound file; not for use by hand\n";
        (void)!write(STDERR_FILENO, usage, sizeof usage - 1);
        return 2;
    }
    Confine(std::strtoul(argv[6], nullptr, 10));
    const bool load = std::strcmp(argv[1], "load") == 0;
    const char* file = argv[2];
    const char* type = std::strcmp(argv[3], "-") == 0 ? nullptr : argv[3];
    sox_signalinfo_t signal = {};
    signal.rate = std::strtod(argv[4], nullptr);
    signal.channels = unsigned(std::strtoul(argv[5], nullptr, 10));

    NSWave::TSoxMessages messages;
    sox_format_t* ft = sox_open_read(file, &signal, nullptr, type);
    if (!ft) {
        // Files the library has no reader for: a type it does not know (the
        // content decides), or Ogg holding Opus rather than Vorbis.
        const bool other = !type || std::strcmp(type, "ogg") == 0 || std::strcmp(type, "oga") == 0;
        if (other)
            OtherReader(argv[1], file, messages.Text());
        Text(TKind::Refused, messages.Text());
        return 0;
    }
    SendFormat(ft);
    if (load && ft->signal.channels) {
        SendFrames(ft);
        End(!messages.Empty(), messages.Text());
    } else {
        End(false, std::string());
    }
    sox_close(ft);
    return 0;
}
