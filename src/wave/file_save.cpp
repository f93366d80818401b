// Saving a document, one channel or a range through the sound library.
//
// The data goes to a new file beside the target, which replaces the target
// only once the library has finished it: a failure part-way never costs the
// user the file they had.

#include <sox.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <strings.h>
#include <vector>

#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/soundformat.h"
#include "wave/soxlib.h"

namespace NSWave {

namespace {

constexpr size_t BlockSamples = 7680;

// The new file beside the target; removed unless it replaced the target.
class TSaveTarget {
public:
    explicit TSaveTarget(const std::string& target) : Target(target) {
        size_t slash = target.rfind('/');
        std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
        Name = dir + "." + base + ".XXXXXX";
        int fd = mkstemp(Name.data());
        if (fd < 0)
            throw xmsg("Could not open file");
        // Keep the target's permissions, or the usual ones for a new file.
        struct stat info;
        mode_t mode;
        if (stat(target.c_str(), &info) == 0) {
            mode = info.st_mode & 07777;
        } else {
            mode_t mask = umask(0);
            umask(mask);
            mode = 0666 & ~mask;
        }
        fchmod(fd, mode);
        close(fd);
    }
    ~TSaveTarget() {
        if (!Done)
            std::remove(Name.c_str());
    }
    void Commit() {
        if (std::rename(Name.c_str(), Target.c_str()) != 0)
            throw xmsg("Could not open file");
        Done = true;
    }
    std::string Name;

private:
    std::string Target;
    bool Done = false;
};

struct TWriteHandle {
    sox_format_t* Ft = nullptr;
    ~TWriteHandle() {
        if (Ft)
            sox_close(Ft);
    }
};

// The encoding to ask for: the document's own where the format takes it;
// else the same size with the other sign; else whatever the format does
// with that many bits.
sox_encodinginfo_t ChooseEncoding(const char* type, int size, int style, bool wav) {
    sox_encodinginfo_t encoding = {};
    encoding.reverse_bytes = sox_option_default;
    encoding.reverse_nibbles = sox_option_default;
    encoding.reverse_bits = sox_option_default;
    encoding.opposite_endian = sox_false;
    encoding.bits_per_sample = BitsOfSize(size);
    if (IsFloatSize(size))
        encoding.encoding = SOX_ENCODING_FLOAT;
    else if (style == 3)
        encoding.encoding = SOX_ENCODING_ULAW;
    else if (style == 4)
        encoding.encoding = SOX_ENCODING_ALAW;
    else if (wav)
        encoding.encoding = size == 1 ? SOX_ENCODING_UNSIGNED : SOX_ENCODING_SIGN2;
    else
        encoding.encoding = style == 1 ? SOX_ENCODING_UNSIGNED : SOX_ENCODING_SIGN2;
    if (sox_format_supports_encoding(nullptr, type, &encoding))
        return encoding;
    if (encoding.encoding == SOX_ENCODING_UNSIGNED || encoding.encoding == SOX_ENCODING_SIGN2) {
        sox_encodinginfo_t flipped = encoding;
        flipped.encoding =
            encoding.encoding == SOX_ENCODING_UNSIGNED ? SOX_ENCODING_SIGN2 : SOX_ENCODING_UNSIGNED;
        if (sox_format_supports_encoding(nullptr, type, &flipped))
            return flipped;
    }
    encoding.encoding = SOX_ENCODING_UNKNOWN;
    return encoding;
}

} // namespace

void TFile::Save(const std::string& fileName, TOpStatus* status, const char* type,
                 const TSampleRange& range, bool allowFewerBits) const {
    TSampleRange r = range;
    if (!r.Valid)
        r = TSampleRange(0, GetLength(), AllChannels);
    if (ChannelCount() == 1)
        r.Channel = 0;
    if (r.Channel != AllChannels && !HasChannel(r.Channel))
        return;

    std::string kind = type && *type ? type : TypeFromName(fileName);
    if (strcasecmp(kind.c_str(), "snd") == 0)
        kind = "ub";
    for (char& c : kind)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    TSoxMessages messages;
    const bool isAuto = kind == "auto";
    if (!isAuto && !sox_find_format(kind.c_str(), sox_false))
        throw xmsg("Unknown file type");

    TSaveTarget target(fileName);
    if (isAuto)
        throw xmsg("Type AUTO can only be used for input!");

    const int channels = r.Channel == AllChannels ? ChannelCount() : 1;
    sox_signalinfo_t signal = {};
    signal.rate = Rate;
    signal.channels = unsigned(channels);
    signal.precision = IsFloatSize(Size) ? (Size == 6 ? 53 : 24) : BitsOfSize(Size);
    signal.length = uint64_t(r.End - r.Start) * unsigned(channels);
    sox_encodinginfo_t encoding = ChooseEncoding(kind.c_str(), Size, Style, kind == "wav");

    std::vector<char> comment(Comment.begin(), Comment.end());
    comment.push_back('\0');
    char* comments[] = {comment.data(), nullptr};
    sox_oob_t oob = {};
    if (!Comment.empty())
        oob.comments = comments;

    TWriteHandle out;
    out.Ft = sox_open_write(target.Name.c_str(), &signal,
                            encoding.encoding == SOX_ENCODING_UNKNOWN ? nullptr : &encoding,
                            kind.c_str(), &oob, nullptr);
    if (!out.Ft)
        messages.Throw("Could not open file");
    // The library quietly narrows what a format cannot hold; a user who did
    // not ask for that by the type's name is told instead.
    const unsigned wrote = out.Ft->encoding.bits_per_sample;
    const unsigned bits = IsFloatSize(Size) ? 0 : BitsOfSize(Size);
    if (wrote && wrote < bits && !TypeFixesSampleFormat(kind) && !allowFewerBits)
        throw xfewerbits(wrote, bits);

    const uint64_t len = r.End - r.Start;
    auto put = [&](const sox_sample_t* samples, size_t n) {
        if (sox_write(out.Ft, samples, n) != n)
            messages.Throw("Could not write file");
    };
    auto report = [&](uint64_t done) {
        if (status && len)
            status->SetPercent(int(done * 100 / len));
    };

    if (len > 0 && channels == 1) {
        const TChannel& channel = Channel(r.Channel);
        uint64_t avail = channel.Count > r.Start ? channel.Count - r.Start : 0;
        uint64_t remaining = len;
        const int32_t* source = channel.Samples + (avail ? r.Start : 0);
        while (remaining > 0 && avail > 0) {
            size_t n = std::min<uint64_t>({BlockSamples, remaining, avail});
            put(source, n);
            source += n;
            remaining -= n;
            avail -= n;
            report(len - remaining);
        }
        // The channel ends inside the range: silence for the rest.
        std::vector<sox_sample_t> zeros(std::min<uint64_t>(BlockSamples, remaining));
        while (remaining > 0) {
            size_t n = std::min<uint64_t>(BlockSamples, remaining);
            put(zeros.data(), n);
            remaining -= n;
            report(len - remaining);
        }
    } else if (len > 0) {
        // Whole frames per block; a channel that ends early reads as silence.
        const size_t perBlock = std::max<size_t>(1, BlockSamples / size_t(channels));
        std::vector<sox_sample_t> block(perBlock * size_t(channels));
        for (uint64_t done = 0; done < len;) {
            const uint32_t start = uint32_t(r.Start + done);
            const size_t n = size_t(std::min<uint64_t>(perBlock, len - done));
            for (int c = 0; c < channels; ++c) {
                const TChannel& channel = Channel(c);
                const size_t have =
                    channel.Count > start ? std::min<size_t>(n, channel.Count - start) : 0;
                const int32_t* from = channel.Samples + (have ? start : 0);
                sox_sample_t* dest = block.data() + c;
                for (size_t f = 0; f < have; ++f)
                    dest[f * size_t(channels)] = from[f];
                for (size_t f = have; f < n; ++f)
                    dest[f * size_t(channels)] = 0;
            }
            put(block.data(), n * size_t(channels));
            done += n;
            report(done);
        }
    }

    // The library completes the header when it closes the file.
    sox_close(out.Ft);
    out.Ft = nullptr;
    if (!messages.Empty())
        messages.Throw("Could not write file");
    target.Commit();
}

} // namespace NSWave
