// Loading a sound file into the document through the sound library.

#include <sox.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <strings.h>

#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/soundformat.h"
#include "wave/soxlib.h"

namespace NSWave {

namespace {

constexpr size_t BlockSamples = 7680;

// Closes the library's file on every way out.
struct TReadHandle {
    sox_format_t* Ft = nullptr;
    ~TReadHandle() {
        if (Ft)
            sox_close(Ft);
    }
};

// Grows a channel for more samples; growth moves pages rather than copying.
void Reserve(TChannel& channel, uint64_t n) {
    if (n > MaxChannelLength)
        throw xmsg("File too large");
    if (n > channel.Count)
        channel.SetSize(uint32_t(std::min<uint64_t>(MaxChannelLength, n + n / 4)), true);
}

} // namespace

TLoadResult TFile::Load(const std::string& fileName, TOpStatus* status, const char* type,
                        int channelHint) {
    struct stat info;
    if (stat(fileName.c_str(), &info) != 0)
        throw xmsg("File not found");
    if (S_ISDIR(info.st_mode))
        throw xmsg("Could not open file");
    if (FILE* probe = std::fopen(fileName.c_str(), "rb"))
        std::fclose(probe);
    else
        throw xmsg("Could not open file");
    const uint64_t fileLength = uint64_t(info.st_size);
    if (fileLength == 0)
        throw xmsg("File is 0 bytes");

    std::string kind = type && *type ? type : TypeFromName(fileName);
    sox_signalinfo_t signal = {};
    if (strcasecmp(kind.c_str(), "snd") == 0) {
        // The program's own rule: raw unsigned 8-bit at 11025 samples a second.
        kind = "ub";
        signal.rate = 11025;
    }
    if (channelHint > 0)
        signal.channels = unsigned(channelHint);
    bool detect = strcasecmp(kind.c_str(), "auto") == 0;
    for (char& c : kind)
        c = char(std::tolower(static_cast<unsigned char>(c)));

    TSoxMessages messages;
    // A suffix the library has no handler for (".oga", say) still loads when
    // the content names its format; a type asked for by name must exist.
    bool unknownSuffix = false;
    if (!detect && !sox_find_format(kind.c_str(), sox_false)) {
        if (type && *type)
            throw xmsg("Unknown file type");
        detect = unknownSuffix = true;
    }

    TReadHandle in;
    in.Ft = sox_open_read(fileName.c_str(), &signal, nullptr, detect ? nullptr : kind.c_str());
    if (!in.Ft && unknownSuffix)
        throw xmsg("Unknown file type");
    if (!in.Ft)
        messages.Throw("Could not open file");
    sox_format_t* ft = in.Ft;

    if (ft->signal.rate <= 0)
        throw xmsg("Sample rate not defined");
    const int size = SizeCodeOf(ft->encoding.bits_per_sample ? ft->encoding.bits_per_sample
                                                             : ft->signal.precision,
                                ft->encoding.encoding);
    if (size < 0)
        throw xmsg("Data size not given");
    const int style = StyleCodeOf(ft->encoding.encoding);
    if (style < 0)
        throw xmsg("data style not defined");
    const int channels = std::max(1, int(ft->signal.channels));
    const uint64_t expectedFrames = ft->signal.length && ft->signal.length != SOX_UNKNOWN_LEN
                                        ? ft->signal.length / channels
                                        : 0;
    if (expectedFrames > MaxChannelLength)
        throw xmsg("File too large");

    // Decode into a document of our own and take its channels only when
    // the data is in, so a file too large for a channel changes nothing.
    TFile loaded(int(ft->signal.rate + 0.5), style, size, channels);
    std::string comment;
    if (ft->oob.comments)
        for (char** c = ft->oob.comments; *c; ++c) {
            if (!comment.empty())
                comment += '\n';
            comment += *c;
        }

    // One pass: the channels are allocated at the length the file announces
    // (exact for most formats), grown where it was an estimate, and cut to
    // what was actually delivered.
    for (TChannel* channel : loaded.Channels)
        channel->SetSize(uint32_t(expectedFrames), true);
    auto report = [&] {
        if (status && fileLength)
            status->SetPercent(50 +
                               int(std::min<uint64_t>(ft->tell_off, fileLength) * 50 / fileLength));
    };
    if (status)
        status->SetPercent(50);

    uint64_t frames = 0;
    if (channels == 1) {
        TChannel& channel = loaded.Channel(0);
        for (;;) {
            if (frames == channel.Count)
                Reserve(channel, frames + BlockSamples);
            size_t want = std::min<uint64_t>(BlockSamples, channel.Count - frames);
            size_t got = sox_read(ft, channel.MutableSamples(uint32_t(frames)), want);
            if (got == 0)
                break;
            frames += got;
            report();
        }
    } else {
        std::vector<sox_sample_t> block(BlockSamples);
        std::vector<int32_t*> to(static_cast<size_t>(channels));
        int phase = 0; // the channel the next sample belongs to
        for (;;) {
            size_t got = sox_read(ft, block.data(), BlockSamples);
            if (got == 0)
                break;
            for (TChannel* channel : loaded.Channels)
                Reserve(*channel, frames + (phase + got + channels - 1) / channels);
            // The channels are new and not yet shown: marking them whole
            // costs nothing.
            for (int c = 0; c < channels; ++c)
                to[size_t(c)] = loaded.Channel(c).MutableSamples(0);
            // A block need not end on a frame: finish the frame begun in the
            // last one, spread the whole frames, keep the start of the next.
            const sox_sample_t* from = block.data();
            const sox_sample_t* end = from + got;
            for (; phase && from < end; ++from) {
                to[size_t(phase)][frames] = *from;
                if (++phase == channels) {
                    phase = 0;
                    ++frames;
                }
            }
            const size_t whole = size_t(end - from) / size_t(channels);
            if (channels == 2) {
                int32_t* left = to[0] + frames;
                int32_t* right = to[1] + frames;
                for (size_t f = 0; f < whole; ++f) {
                    left[f] = from[2 * f];
                    right[f] = from[2 * f + 1];
                }
            } else {
                for (int c = 0; c < channels; ++c) {
                    int32_t* dest = to[size_t(c)] + frames;
                    for (size_t f = 0; f < whole; ++f)
                        dest[f] = from[f * size_t(channels) + size_t(c)];
                }
            }
            frames += whole;
            from += whole * size_t(channels);
            for (; from < end; ++from)
                to[size_t(phase++)][frames] = *from;
            report();
        }
        // A trailing partial frame is dropped.
    }
    const bool failed = !messages.Empty();
    for (TChannel* channel : loaded.Channels)
        channel->SetSize(uint32_t(frames), true);

    Rate = loaded.Rate;
    Size = loaded.Size;
    Style = loaded.Style;
    Comment = comment;
    Channels.Swap(loaded.Channels);
    if (failed)
        messages.Throw("Could not read file");
    if (status)
        status->SetPercent(100);
    TLoadResult result;
    result.FramesRead = frames;
    return result;
}

} // namespace NSWave
