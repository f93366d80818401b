// Loading a sound file into the document through the sound library.

#include <sox.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <sstream>
#include <strings.h>

#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/fileguard.h"
#include "wave/samplemem.h"
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

// The channels being filled, all of one length, with their fresh pages
// faulted in ahead of the decoder.
class TFilling {
public:
    explicit TFilling(TFile& loaded) : Loaded(loaded) {}

    uint32_t Count() const { return Loaded.Channel(0).Count; }

    // Room for n frames; growth moves pages rather than copying.
    void Reserve(uint64_t n, uint64_t frames) {
        if (n > MaxChannelLength)
            throw xmsg("File too large");
        if (n <= Count())
            return;
        Ahead.Stop();
        for (TChannel* channel : Loaded.Channels)
            channel->SetSize(uint32_t(std::min<uint64_t>(MaxChannelLength, n + n / 4)), true);
        Track(frames, true);
    }

    // Faults in from `frames` to the end of the room; paced where the room
    // is a guess the data may not fill.
    void Track(uint64_t frames, bool paced) {
        std::vector<int32_t*> arrays;
        for (TChannel* channel : Loaded.Channels)
            arrays.push_back(channel->MutableSamples(0));
        Ahead.Start(arrays, size_t(frames), Count(), paced);
    }

    void Written(uint64_t frames) { Ahead.Written(size_t(frames)); }

    // The arrays are about to shrink.
    void Done() { Ahead.Stop(); }

private:
    TFile& Loaded;
    TFaultAhead Ahead;
};

// Encodings that store every sample in the same whole number of bytes: the
// bytes left in the file bound the frames it can hold.
bool Uncompressed(const sox_encodinginfo_t& encoding) {
    switch (encoding.encoding) {
    case SOX_ENCODING_SIGN2:
    case SOX_ENCODING_UNSIGNED:
    case SOX_ENCODING_FLOAT:
    case SOX_ENCODING_ULAW:
    case SOX_ENCODING_ALAW:
        return encoding.bits_per_sample >= 8 && encoding.bits_per_sample % 8 == 0;
    default:
        return false;
    }
}

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string BaseName(const std::string& fileName) {
    const size_t slash = fileName.find_last_of('/');
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

} // namespace

std::string EndedEarlyText(const TLoadResult& result, int rate) {
    const double perSecond = rate > 0 ? rate : 1;
    return "The file ended early: " + Number(double(result.FramesRead) / perSecond) + " of " +
           Number(double(result.FramesAnnounced) / perSecond) + " seconds were read.";
}

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
    const sox_format_handler_t* handler =
        detect ? nullptr : sox_find_format(kind.c_str(), sox_false);
    bool unknownSuffix = false;
    if (!detect && !handler) {
        if (type && *type)
            throw xmsg("Unknown file type");
        detect = unknownSuffix = true;
    }
    CheckFileHeaders(fileName, handler, fileLength);

    TReadHandle in;
    in.Ft = sox_open_read(fileName.c_str(), &signal, nullptr, detect ? nullptr : kind.c_str());
    if (!in.Ft && unknownSuffix)
        throw xmsg("Unknown file type");
    if (!in.Ft)
        messages.Throw("Could not open file");
    sox_format_t* ft = in.Ft;

    // Converting a rate outside an int to one is undefined.
    const double rate = ft->signal.rate;
    if (rate == 0)
        throw xmsg("Sample rate not defined");
    if (!std::isfinite(rate) || !(rate >= 1 && rate < 2147483647.5))
        throw xmsg("The file's sample rate (" + Number(rate) +
                   ") is not between 1 and 2147483647 samples a second");
    const int size = SizeCodeOf(ft->encoding.bits_per_sample ? ft->encoding.bits_per_sample
                                                             : ft->signal.precision,
                                ft->encoding.encoding);
    if (size < 0)
        throw xmsg("Data size not given");
    const int style = StyleCodeOf(ft->encoding.encoding);
    if (style < 0)
        throw xmsg("data style not defined");
    // The readers divide by the channel count.
    if (ft->signal.channels == 0)
        throw xmsg("The file is damaged: it has no channels");
    CheckChannelCount(ft->signal.channels);
    const int channels = int(ft->signal.channels);

    TLoadResult result;
    // The length the header announces, which a damaged file may not hold.
    // An estimate from the file's size (MP3, CVSD) is no announcement.
    if (ft->signal.length && ft->signal.length != SOX_UNKNOWN_LEN &&
        ft->encoding.encoding != SOX_ENCODING_MP3 && ft->encoding.encoding != SOX_ENCODING_CVSD)
        result.FramesAnnounced = ft->signal.length / unsigned(channels);
    // Memory is reserved for what the file can hold: for uncompressed data
    // the bytes after the header; compressed data grows as it arrives.
    uint64_t reserve = 0;
    if (Uncompressed(ft->encoding)) {
        const uint64_t dataStart = std::min<uint64_t>(ft->tell_off, fileLength);
        const uint64_t fits =
            (fileLength - dataStart) / (uint64_t(channels) * (ft->encoding.bits_per_sample / 8));
        reserve = result.FramesAnnounced ? std::min(result.FramesAnnounced, fits) : fits;
        if (reserve > MaxChannelLength)
            throw xmsg("File too large");
    }

    try {
        // Decode into a document of our own and take its channels only when
        // the data is in, so a file too large for a channel changes nothing.
        TFile loaded(int(rate + 0.5), style, size, channels);
        std::string comment;
        if (ft->oob.comments)
            for (char** c = ft->oob.comments; *c; ++c) {
                if (!comment.empty())
                    comment += '\n';
                comment += *c;
            }

        // One pass: the channels are allocated once where the length is
        // known, grown where it is not, and cut to what was delivered.
        for (TChannel* channel : loaded.Channels)
            channel->SetSize(uint32_t(reserve), true);
        TFilling filling(loaded);
        filling.Track(0, false); // what the file holds, all of which comes
        auto report = [&] {
            if (status)
                status->SetPercent(
                    50 + int(std::min<uint64_t>(ft->tell_off, fileLength) * 50 / fileLength));
        };
        if (status)
            status->SetPercent(50);

        uint64_t frames = 0;
        if (channels == 1) {
            TChannel& channel = loaded.Channel(0);
            for (;;) {
                if (frames == channel.Count)
                    filling.Reserve(frames + BlockSamples, frames);
                size_t want = std::min<uint64_t>(BlockSamples, channel.Count - frames);
                size_t got = sox_read(ft, channel.MutableSamples(uint32_t(frames)), want);
                if (got == 0)
                    break;
                frames += got;
                filling.Written(frames);
                report();
            }
        } else {
            // Whole frames only: some readers (WAV) lose a sample when asked
            // for a count that ends inside a frame.
            const size_t perBlock = BlockSamples / size_t(channels) * size_t(channels);
            std::vector<sox_sample_t> block(perBlock);
            std::vector<int32_t*> to(static_cast<size_t>(channels));
            int phase = 0; // the channel the next sample belongs to
            for (;;) {
                size_t got = sox_read(ft, block.data(), perBlock);
                if (got == 0)
                    break;
                filling.Reserve(frames + (phase + got + channels - 1) / channels, frames);
                for (int c = 0; c < channels; ++c)
                    to[size_t(c)] = loaded.Channel(c).MutableSamples(0);
                // A reader may still end a block inside a frame: finish the
                // frame begun in the last one, spread the whole frames, keep
                // the start of the next.
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
                filling.Written(frames);
                report();
            }
            // A trailing partial frame is dropped.
        }
        const bool failed = !messages.Empty();
        filling.Done();
        for (TChannel* channel : loaded.Channels)
            channel->SetSize(uint32_t(frames), true);

        // Nothing below can fail: the document changes whole or not at all.
        std::string loadedType = ft->filetype ? ft->filetype : kind;
        Rate = loaded.Rate;
        Size = loaded.Size;
        Style = loaded.Style;
        Comment.swap(comment);
        LoadedType.swap(loadedType);
        Channels.Swap(loaded.Channels);
        result.FramesRead = frames;
        if (failed)
            messages.Throw("Could not read file");
    } catch (const std::bad_alloc&) {
        throw xmsg("Not enough memory to load " + BaseName(fileName));
    }
    if (status)
        status->SetPercent(100);
    return result;
}

} // namespace NSWave
