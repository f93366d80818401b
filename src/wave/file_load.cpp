// Loading a sound file into the document through the sound library.

#include <QtGlobal>
#include <fcntl.h>
#include <sox.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <sstream>
#include <strings.h>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/fileguard.h"
#include "wave/reader.h"
#include "wave/samplemem.h"
#include "wave/soundformat.h"
#include "wave/soxlib.h"

namespace NSWave {

namespace {

// The channels being filled, all of one length, with their fresh pages
// faulted in ahead of the decoder.
class TFilling {
public:
    explicit TFilling(TFile& loaded) : Loaded(loaded) {}

    uint32_t Count() const { return Loaded.Channel(0).Count; }

    // Room for n frames; growth moves pages rather than copying.
    void Reserve(uint64_t n, uint64_t frames) {
        if (n > MaxChannelLength)
            throw xmsg(NSText::Tr("Sound", "File too large"));
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

// Seconds with at most two decimals, trailing zeros dropped ("12.5", "60").
std::string Seconds(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string shown = text;
    while (shown.back() == '0')
        shown.pop_back();
    if (shown.back() == '.')
        shown.pop_back();
    return shown == "-0" ? "0" : shown;
}

std::string EndedEarlyText(const TLoadResult& result, int rate) {
    const double perSecond = rate > 0 ? rate : 1;
    return NSText::Fill(NSText::Tr("Sound", "The file ended early: %1 of %2 seconds were read."),
                        {Seconds(double(result.FramesRead) / perSecond),
                         Seconds(double(result.FramesAnnounced) / perSecond)});
}

namespace {

// Whatever is not a plain file (a FIFO, a device, a socket) could hold the
// reader or feed it without end: it is refused before anything reads it.
uint64_t CheckPlainFile(const std::string& fileName) {
    struct stat info;
    if (stat(fileName.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw xmsg(NSText::Tr("Sound", "File not found"));
        throw xmsg(
            NSText::Fill(NSText::Tr("Sound", "Could not open file: %1"), {std::strerror(errno)}));
    }
    if (S_ISDIR(info.st_mode))
        throw xmsg(NSText::Tr("Sound", "Could not open file"));
    const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw xmsg(
            NSText::Fill(NSText::Tr("Sound", "Could not open file: %1"), {std::strerror(errno)}));
    const bool plain = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    if (!plain)
        throw xmsg(NSText::Fill(NSText::Tr("Sound", "%1 is not a file"), {BaseName(fileName)}));
    if (info.st_size == 0)
        throw xmsg(NSText::Tr("Sound", "File is 0 bytes"));
    return uint64_t(info.st_size);
}

// The library's words for its common failures, in the user's terms; its
// own prefix naming the file (often a temporary file of ours) is dropped.
std::string LibraryText(const std::string& text) {
    static const std::pair<const char*, const char*> known[] = {
        {"RIFF header not found", QT_TRANSLATE_NOOP("Sound", "This is not a WAV file")},
        {"WAVE header not found", QT_TRANSLATE_NOOP("Sound", "This is not a WAV file")},
        {"AIFF header not found", QT_TRANSLATE_NOOP("Sound", "This is not an AIFF file")},
        {"FORM chunk not found", QT_TRANSLATE_NOOP("Sound", "This is not an AIFF file")},
        {"can't determine type",
         QT_TRANSLATE_NOOP("Sound", "The type of the file could not be recognised")},
        {"no handler for detected file type",
         QT_TRANSLATE_NOOP("Sound", "The type of the file could not be recognised")},
        {"Unsupported data format",
         QT_TRANSLATE_NOOP("Sound", "The file's sound data is in a format that cannot be read")},
    };
    for (const auto& [library, ours] : known)
        if (text.find(library) != std::string::npos)
            return NSText::Tr("Sound", ours);
    std::string plain = text;
    // "can't open input file `/tmp/TMP…': …": the reason without the name.
    for (const char* prefix : {"can't open input file `", "can't open input `"}) {
        const size_t at = plain.find(prefix);
        const size_t close = at == std::string::npos ? at : plain.find("': ", at);
        if (close != std::string::npos)
            plain = plain.substr(0, at) + plain.substr(close + 3);
    }
    for (char& c : plain)
        if (c == '`')
            c = '\'';
    return plain;
}

// Memory the machine can still give, in bytes (0: not known).
uint64_t AvailableMemory() {
    std::FILE* in = std::fopen("/proc/meminfo", "r");
    if (!in)
        return 0;
    uint64_t total = 0;
    char line[256];
    while (std::fgets(line, sizeof line, in)) {
        unsigned long long kb = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1 ||
            std::sscanf(line, "SwapFree: %llu kB", &kb) == 1)
            total += uint64_t(kb) * 1024;
    }
    std::fclose(in);
    return total;
}

// Encodings whose samples the library reads only in whole bytes.
bool WholeBytesOnly(sox_encoding_t encoding) {
    return encoding == SOX_ENCODING_SIGN2 || encoding == SOX_ENCODING_UNSIGNED ||
           encoding == SOX_ENCODING_FLOAT;
}

struct TReadFormat {
    NSReader::TReaderFormat Format;
    std::string Type;
    std::string Comment;
};

TReadFormat ReadFormat(TReaderRun& run, TOpStatus* status, bool unknownSuffix) {
    NSReader::TRecordHead head = run.Next(status);
    // Texts and comments are small; a larger count is no record of ours.
    constexpr uint64_t maxText = 64 << 20;
    if (head.Kind == NSReader::TKind::Refused) {
        if (head.Bytes > maxText)
            throw xmsg(ReaderStoppedText());
        const std::string text = run.ReadText(size_t(head.Bytes), status);
        if (unknownSuffix)
            throw xmsg(NSText::Tr("Sound", "Unknown file type"));
        throw xmsg(text.empty() ? NSText::Tr("Sound", "Could not open file") : LibraryText(text));
    }
    TReadFormat read;
    if (head.Kind != NSReader::TKind::Header || head.Bytes < sizeof read.Format ||
        head.Bytes > sizeof read.Format + maxText)
        throw xmsg(ReaderStoppedText());
    run.Read(&read.Format, sizeof read.Format, status);
    if (sizeof read.Format + uint64_t(read.Format.TypeBytes) + read.Format.CommentBytes !=
        head.Bytes)
        throw xmsg(ReaderStoppedText());
    read.Type = run.ReadText(read.Format.TypeBytes, status);
    read.Comment = run.ReadText(read.Format.CommentBytes, status);
    return read;
}

struct TStreamed {
    uint64_t Frames = 0;
    bool Failed = false;
    std::string Failure;
};

// The reader's frames, straight into each channel's array (the pipe is the
// only copy), up to its end record.
TStreamed StreamFrames(TReaderRun& run, TFile& loaded, TFilling& filling, uint64_t fileLength,
                       TOpStatus* status, TLoadObserver* observer) {
    const int channels = loaded.ChannelCount();
    TStreamed streamed;
    uint64_t& frames = streamed.Frames;
    for (;;) {
        const NSReader::TRecordHead head = run.Next(status);
        if (head.Kind == NSReader::TKind::End) {
            NSReader::TEndHead end;
            if (head.Bytes < sizeof end || head.Bytes > sizeof end + (64 << 20))
                throw xmsg(ReaderStoppedText());
            run.Read(&end, sizeof end, status);
            streamed.Failure = run.ReadText(size_t(head.Bytes - sizeof end), status);
            streamed.Failed = end.Failed != 0;
            return streamed;
        }
        NSReader::TFramesHead block;
        if (head.Kind != NSReader::TKind::Frames || head.Bytes < sizeof block)
            throw xmsg(ReaderStoppedText());
        run.Read(&block, sizeof block, status);
        if (block.Frames == 0 || block.Frames > NSReader::FramesPerRecord ||
            head.Bytes != sizeof block + uint64_t(block.Frames) * uint64_t(channels) * 4)
            throw xmsg(ReaderStoppedText());
        filling.Reserve(frames + block.Frames, frames);
        for (int c = 0; c < channels; ++c)
            run.Read(loaded.Channel(c).MutableSamples(uint32_t(frames)),
                     size_t(block.Frames) * sizeof(int32_t), status);
        frames += block.Frames;
        filling.Written(frames);
        if (observer)
            observer->LoadArrived(frames);
        if (status)
            status->SetPercent(
                50 + int(std::min<uint64_t>(block.FileOffset, fileLength) * 50 / fileLength));
    }
}

// What the caller or the file's name says the file is.
struct TLoadKind {
    std::string Name;
    double RateHint = 0;
    bool Detect = false;        // the content decides
    bool UnknownSuffix = false; // ... because the suffix names no type
    const sox_format_handler_t* Handler = nullptr;
};

TLoadKind LoadKind(const std::string& fileName, const char* type) {
    TLoadKind kind;
    kind.Name = type && *type ? type : TypeFromName(fileName);
    if (strcasecmp(kind.Name.c_str(), "snd") == 0) {
        // The program's own rule: raw unsigned 8-bit at 11025 samples a second.
        kind.Name = "ub";
        kind.RateHint = 11025;
    }
    kind.Detect = strcasecmp(kind.Name.c_str(), "auto") == 0;
    for (char& c : kind.Name)
        c = char(std::tolower(static_cast<unsigned char>(c)));

    SoxInit();
    // A suffix the library has no handler for (".oga", say) still loads when
    // the content names its format; a type asked for by name must exist.
    if (!kind.Detect)
        kind.Handler = sox_find_format(kind.Name.c_str(), sox_false);
    if (!kind.Detect && !kind.Handler) {
        if (type && *type)
            throw xmsg(NSText::Tr("Sound", "Unknown file type"));
        kind.Detect = kind.UnknownSuffix = true;
    }
    return kind;
}

struct TShape {
    int Size = 0, Style = 0;
};

// The reader's format, refused where the document cannot hold it.
TShape CheckShape(const NSReader::TReaderFormat& format, sox_encoding_t encoding) {
    // Converting a rate outside an int to one is undefined.
    const double rate = format.Rate;
    if (rate == 0)
        throw xmsg(NSText::Tr("Sound", "Sample rate not defined"));
    if (!std::isfinite(rate) || !(rate >= 1 && rate < 2147483647.5))
        throw xmsg(NSText::Fill(NSText::Tr("Sound", "The file's sample rate (%1) is not between 1 "
                                                    "and 2147483647 samples a second"),
                                {Number(rate)}));
    TShape shape;
    shape.Size = SizeCodeOf(format.Bits ? format.Bits : format.Precision, encoding);
    if (shape.Size < 0)
        throw xmsg(NSText::Tr("Sound", "Data size not given"));
    shape.Style = StyleCodeOf(encoding);
    if (shape.Style < 0)
        throw xmsg(NSText::Tr("Sound", "data style not defined"));
    // The readers divide by the channel count.
    if (format.Channels == 0)
        throw xmsg(NSText::Tr("Sound", "The file is damaged: it has no channels"));
    CheckChannelCount(format.Channels);
    return shape;
}

// Memory is reserved for what the file can hold: for uncompressed data the
// bytes after the header; compressed data grows as it arrives. What the
// machine cannot hold is said at once, not after a minute of reading.
uint64_t FramesToReserve(const NSReader::TReaderFormat& format, const sox_encodinginfo_t& encoding,
                         uint64_t fileLength, uint64_t announced, const std::string& fileName) {
    const uint64_t channels = format.Channels;
    uint64_t reserve = 0;
    if (Uncompressed(encoding) && !(format.Flags & NSReader::FlagCompressed)) {
        const uint64_t dataStart = std::min<uint64_t>(format.DataOffset, fileLength);
        const uint64_t fits = (fileLength - dataStart) / (channels * (format.Bits / 8));
        reserve = announced ? std::min(announced, fits) : fits;
        if (reserve > MaxChannelLength)
            throw xmsg(NSText::Tr("Sound", "File too large"));
    }
    const uint64_t available = AvailableMemory();
    if (available && reserve * channels * sizeof(int32_t) > available)
        throw xmsg(NSText::Fill(NSText::Tr("Sound", "Not enough memory to load %1"),
                                {BaseName(fileName)}));
    return reserve;
}

} // namespace

TLoadResult TFile::Load(const std::string& fileName, TOpStatus* status, const char* type,
                        int channelHint, TLoadObserver* observer) {
    const uint64_t fileLength = CheckPlainFile(fileName);

    const TLoadKind kind = LoadKind(fileName, type);
    CheckFileHeaders(fileName, kind.Handler, fileLength);

    TReaderRun run(fileName, kind.Detect ? std::string() : kind.Name, kind.RateHint,
                   channelHint > 0 ? unsigned(channelHint) : 0, false);
    TReadFormat read = ReadFormat(run, status, kind.UnknownSuffix);
    const NSReader::TReaderFormat& format = read.Format;
    sox_encodinginfo_t encoding = {};
    encoding.encoding = sox_encoding_t(format.Encoding);
    encoding.bits_per_sample = format.Bits;

    const TShape shape = CheckShape(format, encoding.encoding);
    const double rate = format.Rate;
    const int size = shape.Size, style = shape.Style;
    const int channels = int(format.Channels);

    TLoadResult result;
    // The length the header announces, which a damaged file may not hold.
    // An estimate from the file's size (MP3, CVSD) is no announcement.
    if (format.Length && encoding.encoding != SOX_ENCODING_MP3 &&
        encoding.encoding != SOX_ENCODING_CVSD)
        result.FramesAnnounced = format.Length / unsigned(channels);
    const uint64_t reserve =
        FramesToReserve(format, encoding, fileLength, result.FramesAnnounced, fileName);

    try {
        // Decode into a document of our own and take its channels only when
        // the data is in, so a file too large for a channel changes nothing.
        TFile loaded(int(rate + 0.5), style, size, channels);

        // One pass: the channels are allocated once where the length is
        // known, grown where it is not, and cut to what was delivered.
        for (TChannel* channel : loaded.Channels)
            channel->SetSize(uint32_t(reserve), true);
        TFilling filling(loaded);
        filling.Track(0, false); // what the file holds, all of which comes
        if (status)
            status->SetPercent(50);
        if (observer)
            observer->LoadStarted(loaded,
                                  result.FramesAnnounced ? result.FramesAnnounced : reserve);

        const TStreamed streamed = StreamFrames(run, loaded, filling, fileLength, status, observer);
        const uint64_t frames = streamed.Frames;
        filling.Done();
        for (TChannel* channel : loaded.Channels)
            channel->SetSize(uint32_t(frames), true);
        // Samples of a width the library's reader for the type cannot unpack
        // (12-bit PCM in WAV) come out as nothing at all: no sound, not an
        // empty sound that "ended early".
        if (frames == 0 && result.FramesAnnounced && WholeBytesOnly(encoding.encoding) &&
            format.Bits % 8 != 0)
            throw xmsg(NSText::Fill(
                NSText::Tr("Sound", "The file uses %1-bit samples, which cannot be read"),
                {std::to_string(format.Bits)}));

        // Nothing below can fail: the document changes whole or not at all.
        std::string loadedType = read.Type.empty() ? kind.Name : read.Type;
        Rate = loaded.Rate;
        Size = loaded.Size;
        Style = loaded.Style;
        Comment.swap(read.Comment);
        LoadedType.swap(loadedType);
        Channels.Swap(loaded.Channels);
        result.FramesRead = frames;
        if (streamed.Failed)
            throw xmsg(streamed.Failure.empty() ? NSText::Tr("Sound", "Could not read file")
                                                : LibraryText(streamed.Failure));
    } catch (const std::bad_alloc&) {
        throw xmsg(NSText::Fill(NSText::Tr("Sound", "Not enough memory to load %1"),
                                {BaseName(fileName)}));
    }
    if (status)
        status->SetPercent(100);
    return result;
}

} // namespace NSWave
