// Saving a document, one channel or a range through the sound library.
//
// The data goes to a new file beside the target, which replaces the target
// only once the library has finished it and it is on the disk: a failure
// part-way (a full disk, say) never costs the user the file they had.

#include <dirent.h>
#include <fcntl.h>
#include <sox.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <strings.h>
#include <vector>

#include "util/opstatus.h"
#include "util/settings.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/file.h"
#include "wave/opuswriter.h"
#include "wave/soundformat.h"
#include "wave/soxlib.h"

namespace NSWave {

xfewerbits::xfewerbits(unsigned typeBits, unsigned soundBits)
    : xmsg(NSText::Fill(NSText::Tr("Sound", "This file type cannot hold %1-bit samples"),
                        {std::to_string(soundBits)})),
      TypeBits(typeBits), SoundBits(soundBits) {}

TValueSetting Mp3QualitySetting("Save\\Mp3Quality", DefaultMp3Quality);
TValueSetting OpusBitrateSetting("Save\\OpusBitrate", DefaultOpusBitrate);

namespace {

// The MP3 encoder's setting, as the library takes it: a negative
// compression is a variable bit rate of that quality, a positive one a
// constant bit rate. A value the encoder does not know gives the default.
double Mp3Compression() {
    const int q = Mp3QualitySetting.Get();
    if ((q <= -1 && q >= -9) || (q >= 32 && q <= 320))
        return double(q);
    return double(DefaultMp3Quality);
}

// The Opus encoder's bit rate per channel pair; a value it cannot take
// gives the default.
int OpusBitrate() {
    const int kbits = OpusBitrateSetting.Get();
    return kbits >= 6 && kbits <= 510 ? kbits : DefaultOpusBitrate;
}

constexpr size_t BlockSamples = 7680;

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a name finally stands for: saving through a symbolic link
// replaces the file it points to and keeps the link.
std::string FinalTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return target;
        std::vector<char> link(PATH_MAX + 1);
        const ssize_t n = readlink(target.c_str(), link.data(), link.size() - 1);
        if (n < 0)
            return target;
        std::string next(link.data(), size_t(n));
        target = next.starts_with('/') ? next : DirectoryOf(target) + next;
    }
    throw xmsg(
        NSText::Fill(NSText::Tr("Sound", "Could not open file: %1"), {std::strerror(ELOOP)}));
}

// The mode of the new file: the target's permissions, or the usual ones for
// a new file.
mode_t NewFileMode(const std::string& target) {
    struct stat info;
    if (stat(target.c_str(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool NamedSavesOnly = false;

// Who writes a hidden new file: this machine and process, so that a later
// save can tell the leftovers of a process that has ended.
std::string SaverMark() {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0)
        host[0] = 0;
    std::string mark;
    for (const char* c = host; *c; ++c)
        if (std::isalnum(static_cast<unsigned char>(*c)) || *c == '-')
            mark += *c;
    return (mark.empty() ? "host" : mark) + "-" + std::to_string(getpid());
}

// Removes the hidden new files ".<name>.<host>-<pid>.XXXXXX" that a save
// cut short on this machine left in `dir`, where their process has ended.
// Files of other machines (a shared folder) or of a running process stay.
void RemoveLeftovers(const std::string& dir) {
    DIR* folder = opendir(dir.empty() ? "." : dir.c_str());
    if (!folder)
        return;
    const std::string mine = SaverMark();
    const std::string host = mine.substr(0, mine.rfind('-') + 1);
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.size() < 16 || name[0] != '.' || name[name.size() - 7] != '.')
            continue;
        const size_t at = name.rfind("." + host, name.size() - 8);
        if (at == std::string::npos || at == 0)
            continue;
        const std::string pid =
            name.substr(at + 1 + host.size(), name.size() - 7 - at - 1 - host.size());
        if (pid.empty() || pid.size() > 9 ||
            !std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        if (kill(pid_t(std::stol(pid)), 0) == 0 || errno != ESRCH)
            continue;
        struct stat info;
        if (fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode))
            unlinkat(dirfd(folder), entry->d_name, 0);
    }
    closedir(folder);
}

// The new file beside the target; removed unless it replaced the target.
// Where the file system allows, it has no name at all until it is complete
// (an unnamed file in the target's folder, written through /proc), so that
// a save cut short by a crash or a kill leaves nothing behind. Elsewhere it
// is a hidden file ".<name>.<host>-<pid>.XXXXXX" beside the target, and the
// leftovers of such saves cut short are removed when the folder is next
// saved into.
class TSaveTarget {
public:
    explicit TSaveTarget(const std::string& target) : Target(target) {
        const std::string dir = DirectoryOf(target);
        const mode_t mode = NewFileMode(target);
        Unnamed = NamedSavesOnly ? -1
                                 : open(dir.empty() ? "." : dir.c_str(),
                                        O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
        if (Unnamed >= 0) {
            Name = "/proc/self/fd/" + std::to_string(Unnamed);
            struct stat info;
            if (stat(Name.c_str(), &info) == 0)
                return;
            // No /proc to reach it by: the named scheme.
            close(Unnamed);
            Unnamed = -1;
        }
        RemoveLeftovers(dir);
        Name = HiddenName();
        int fd = mkstemp(Name.data());
        if (fd < 0)
            throw xmsg(NSText::Tr("Sound", "Could not open file"));
        fchmod(fd, mode);
        close(fd);
    }
    ~TSaveTarget() {
        if (Unnamed >= 0)
            close(Unnamed);
        if (!Done && !Linked.empty())
            std::remove(Linked.c_str());
        else if (!Done && Unnamed < 0)
            std::remove(Name.c_str());
    }
    // The new file is on the disk: it takes the target's place, and the
    // directory entry follows it to the disk.
    void Commit(bool durable) {
        std::string from = Name;
        if (Unnamed >= 0) {
            // A name of its own first (a link cannot replace a file), then
            // the target's, at once.
            from = LinkHidden();
            Linked = from;
        }
        if (std::rename(from.c_str(), Target.c_str()) != 0)
            throw xmsg(NSText::Fill(NSText::Tr("Sound", "Could not write file: %1"),
                                    {std::strerror(errno)}));
        Done = true;
        if (!durable)
            return;
        // Best effort: the target is already replaced, and a file system
        // that cannot flush a directory has nothing to flush.
        const std::string dir = DirectoryOf(Target);
        int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            fsync(fd);
            close(fd);
        }
    }
    // The name the library writes through.
    std::string Name;

private:
    std::string HiddenName() const {
        const size_t slash = Target.rfind('/');
        const std::string base = slash == std::string::npos ? Target : Target.substr(slash + 1);
        return DirectoryOf(Target) + "." + base + "." + SaverMark() + ".XXXXXX";
    }

    std::string LinkHidden() const {
        static const char letters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = HiddenName();
            for (size_t i = name.size() - 6; i < name.size(); ++i)
                name[i] = letters[random() % (sizeof letters - 1)];
            if (linkat(AT_FDCWD, Name.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                return name;
            if (errno != EEXIST)
                throw xmsg(NSText::Fill(NSText::Tr("Sound", "Could not write file: %1"),
                                        {std::strerror(errno)}));
        }
        throw xmsg(
            NSText::Fill(NSText::Tr("Sound", "Could not write file: %1"), {std::strerror(EEXIST)}));
    }

    std::string Target;
    int Unnamed = -1;   // the unnamed file, while it has no name
    std::string Linked; // its hidden name, between the link and the rename
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

// The library's file being written, with every failure checked: the library
// records a failed write in the format and goes on, and its close neither
// checks nor reports the flush of its last buffered block.
class TOutput {
public:
    TOutput(TWriteHandle& handle, const TSaveTarget& target, const std::string& shownName,
            const TSoxMessages& messages, bool durable)
        : Ft(handle.Ft), Target(target), ShownName(shownName), Messages(messages),
          Durable(durable) {}

    void Write(const sox_sample_t* samples, size_t n) {
        if (sox_write(Ft, samples, n) != n || Ft->sox_errno != 0)
            Fail(0);
        const off_t at = ftello(File());
        End = std::max<off_t>(End, at);
        if (Durable && at >= Started + WritebackBytes)
            WriteBack(at);
    }

    // Finishes the file as the library's close would (the header written
    // last), then flushes the stream and the file to the disk and checks
    // that no byte went missing on the way.
    void Finish() {
        // What is buffered goes first, so that a full disk is named as such
        // rather than as the header's rewrite that would meet it.
        if (std::fflush(File()) != 0)
            Fail(errno);
        int rc = SOX_SUCCESS;
        if (Ft->handler.flags & SOX_FILE_REWIND) {
            if (Ft->olength != Ft->signal.length && Ft->seekable) {
                rc = fseeko(File(), 0, SEEK_SET) == 0 ? SOX_SUCCESS : SOX_EOF;
                Ft->tell_off = 0;
                if (rc == SOX_SUCCESS)
                    rc = Ft->handler.stopwrite    ? Ft->handler.stopwrite(Ft)
                         : Ft->handler.startwrite ? Ft->handler.startwrite(Ft)
                                                  : SOX_SUCCESS;
            }
        } else if (Ft->handler.stopwrite) {
            rc = Ft->handler.stopwrite(Ft);
        }
        // The close that follows has nothing left to write.
        Ft->handler.flags &= ~unsigned(SOX_FILE_REWIND);
        Ft->handler.stopwrite = nullptr;
        if (rc != SOX_SUCCESS || Ft->sox_errno != 0)
            Fail(0);
        if (std::fflush(File()) != 0 || std::ferror(File()))
            Fail(errno);
        const int fd = fileno(File());
        struct stat info;
        if (fstat(fd, &info) != 0)
            Fail(errno);
        if (info.st_size < End)
            Fail(ENOSPC);
        if (Durable && fsync(fd) != 0)
            Fail(errno);
    }

    // Throws "Could not write file: <why>", naming the user's file where
    // the library named the new one.
    [[noreturn]] void Fail(int error) const {
        std::string why;
        if (error != 0)
            why = std::strerror(error);
        else if (Ft->sox_errno > 0 && Ft->sox_errno < SOX_EHDR)
            why = std::strerror(Ft->sox_errno);
        else if (Ft->sox_errstr[0])
            why = Ft->sox_errstr;
        else if (!Messages.Empty())
            why = Messages.Text();
        throw xmsg(Renamed(
            why.empty() ? NSText::Tr("Sound", "Could not write file")
                        : NSText::Fill(NSText::Tr("Sound", "Could not write file: %1"), {why})));
    }

    std::string Renamed(std::string text) const { return Rename(text, Target.Name, ShownName); }

    static std::string Rename(std::string text, const std::string& from, const std::string& to) {
        for (size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
        return text;
    }

private:
    static constexpr off_t WritebackBytes = off_t(16) << 20;

    FILE* File() const { return static_cast<FILE*>(Ft->fp); }

    // The disk writes what is new while the next blocks are encoded, so
    // the final flush to the disk has little left to wait for; the part
    // written before that leaves the page cache, whose pages are then
    // reused for what follows rather than fresh ones. Hints only: the
    // final sync reports any failure.
    void WriteBack(off_t at) {
        const int fd = fileno(File());
        sync_file_range(fd, Started, at - Started, SYNC_FILE_RANGE_WRITE);
        if (Started > Dropped) {
            sync_file_range(fd, Dropped, Started - Dropped,
                            SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                                SYNC_FILE_RANGE_WAIT_AFTER);
            posix_fadvise(fd, Dropped, Started - Dropped, POSIX_FADV_DONTNEED);
            Dropped = Started;
        }
        Started = at;
    }

    sox_format_t* Ft;
    const TSaveTarget& Target;
    const std::string& ShownName;
    const TSoxMessages& Messages;
    const bool Durable; // the file goes to the disk before it replaces the target
    off_t End = 0;      // the furthest the stream has been written
    off_t Started = 0;  // the disk has been asked to write up to here
    off_t Dropped = 0;  // and has written up to here
};

bool SameHandler(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    const sox_format_handler_t* first = sox_find_format(a.c_str(), sox_false);
    return first && first == sox_find_format(b.c_str(), sox_false);
}

// Samples [range.Start, range.End) of one channel; past its end, silence.
template <class Report>
void WriteChannel(TOutput& output, const TChannel& channel, const TSampleRange& range,
                  Report report) {
    const uint64_t len = range.End - range.Start;
    uint64_t avail = channel.Count > range.Start ? channel.Count - range.Start : 0;
    uint64_t remaining = len;
    const int32_t* source = channel.Samples + (avail ? range.Start : 0);
    while (remaining > 0 && avail > 0) {
        size_t n = std::min<uint64_t>({BlockSamples, remaining, avail});
        output.Write(source, n);
        source += n;
        remaining -= n;
        avail -= n;
        report(len - remaining);
    }
    // The channel ends inside the range: silence for the rest.
    std::vector<sox_sample_t> zeros(std::min<uint64_t>(BlockSamples, remaining));
    while (remaining > 0) {
        size_t n = std::min<uint64_t>(BlockSamples, remaining);
        output.Write(zeros.data(), n);
        remaining -= n;
        report(len - remaining);
    }
}

// Frames of every channel, in whole frames per block; a channel that ends
// early reads as silence.
template <class Report>
void WriteFrames(TOutput& output, const TFile& doc, const TSampleRange& range, Report report) {
    const uint64_t len = range.End - range.Start;
    const int channels = doc.ChannelCount();
    const size_t perBlock = std::max<size_t>(1, BlockSamples / size_t(channels));
    std::vector<sox_sample_t> block(perBlock * size_t(channels));
    for (uint64_t done = 0; done < len;) {
        const uint32_t start = uint32_t(range.Start + done);
        const size_t n = size_t(std::min<uint64_t>(perBlock, len - done));
        for (int c = 0; c < channels; ++c) {
            const TChannel& channel = doc.Channel(c);
            const size_t have =
                channel.Count > start ? std::min<size_t>(n, channel.Count - start) : 0;
            const int32_t* from = channel.Samples + (have ? start : 0);
            sox_sample_t* dest = block.data() + c;
            for (size_t f = 0; f < have; ++f)
                dest[f * size_t(channels)] = from[f];
            for (size_t f = have; f < n; ++f)
                dest[f * size_t(channels)] = 0;
        }
        output.Write(block.data(), n * size_t(channels));
        done += n;
        report(done);
    }
}

struct TFileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// An Opus file: the library only reads them, so the Opus encoder writes
// the new file, every failure checked as for the library's types.
template <class Report>
void WriteOpus(const TFile& doc, const std::string& path, const TSampleRange& range, bool durable,
               Report report) {
    std::unique_ptr<FILE, TFileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw xmsg("Could not open file: " + std::string(std::strerror(errno)));
    std::vector<const TChannel*> sources;
    if (range.Channel == AllChannels)
        for (int c = 0; c < doc.ChannelCount(); ++c)
            sources.push_back(&doc.Channel(c));
    else
        sources.push_back(&doc.Channel(range.Channel));
    const size_t channels = sources.size();
    const bool narrow = !IsFloatSize(doc.Size) && BitsOfSize(doc.Size) <= 16;
    TOpusWriter writer(file.get(), doc.Rate, int(channels), OpusBitrate(), narrow, doc.Comment);

    const uint64_t len = range.End - range.Start;
    const size_t perBlock = std::max<size_t>(1, BlockSamples / channels);
    std::vector<int32_t> block(perBlock * channels);
    for (uint64_t done = 0; done < len;) {
        const uint32_t start = uint32_t(range.Start + done);
        const size_t n = size_t(std::min<uint64_t>(perBlock, len - done));
        for (size_t c = 0; c < channels; ++c) {
            const TChannel& channel = *sources[c];
            const size_t have =
                channel.Count > start ? std::min<size_t>(n, channel.Count - start) : 0;
            for (size_t f = 0; f < n; ++f)
                block[f * channels + c] = f < have ? channel.Samples[start + f] : 0;
        }
        writer.Write(block.data(), n);
        done += n;
        report(done);
    }
    writer.Finish();
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        throw xmsg("Could not write file: " + std::string(std::strerror(errno)));
    if (durable && fsync(fileno(file.get())) != 0)
        throw xmsg("Could not write file: " + std::string(std::strerror(errno)));
    if (std::fclose(file.release()) != 0)
        throw xmsg("Could not write file: " + std::string(std::strerror(errno)));
}

// The library's name of the type a file is saved as.
std::string SaveKind(const std::string& fileName, const char* type) {
    std::string kind = type && *type ? type : TypeFromName(fileName);
    if (strcasecmp(kind.c_str(), "snd") == 0)
        kind = "ub";
    for (char& c : kind)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return kind;
}

} // namespace

void TFile::UseNamedSaveFiles(bool named) {
    NamedSavesOnly = named;
}

void TFile::Save(const std::string& fileName, TOpStatus* status, const char* type,
                 const TSampleRange& range, bool allowFewerBits) const {
    SaveTo(fileName, status, type, range, allowFewerBits, true);
}

void TFile::SaveScratch(const std::string& fileName, TOpStatus* status, const char* type,
                        const TSampleRange& range, bool allowFewerBits) const {
    SaveTo(fileName, status, type, range, allowFewerBits, false);
}

void TFile::SaveTo(const std::string& fileName, TOpStatus* status, const char* type,
                   const TSampleRange& range, bool allowFewerBits, bool durable) const {
    TSampleRange r = range;
    if (!r.Valid)
        r = TSampleRange(0, GetLength(), AllChannels);
    if (ChannelCount() == 1)
        r.Channel = 0;
    if (r.Channel != AllChannels && !HasChannel(r.Channel))
        return;

    const std::string kind = SaveKind(fileName, type);
    const uint64_t len = r.End - r.Start;
    // A save the user cancels stops here; the new file goes, the target
    // stays as it was. A scratch file is part of a command and runs on.
    auto report = [&](uint64_t done) {
        if (status && len)
            status->SetPercent(int(done * 100 / len));
        if (durable)
            ThrowIfCancelled(status);
    };
    if (kind == "opus" && CanSaveOpus()) {
        TSaveTarget target(FinalTarget(fileName));
        WriteOpus(*this, target.Name, r, durable, report);
        target.Commit(durable);
        return;
    }

    TSoxMessages messages;
    const bool isAuto = kind == "auto";
    if (!isAuto && !sox_find_format(kind.c_str(), sox_false))
        throw xmsg(NSText::Tr("Sound", "Unknown file type"));

    TSaveTarget target(FinalTarget(fileName));
    if (isAuto)
        throw xmsg(NSText::Tr("Sound", "Type AUTO can only be used for input!"));

    const int channels = r.Channel == AllChannels ? ChannelCount() : 1;
    sox_signalinfo_t signal = {};
    signal.rate = Rate;
    signal.channels = unsigned(channels);
    signal.precision = IsFloatSize(Size) ? (Size == 6 ? 53 : 24) : BitsOfSize(Size);
    signal.length = uint64_t(r.End - r.Start) * unsigned(channels);
    sox_encodinginfo_t encoding = ChooseEncoding(kind.c_str(), Size, Style, kind == "wav");
    if (kind == "mp3") {
        encoding.encoding = SOX_ENCODING_MP3;
        encoding.bits_per_sample = 0;
        encoding.compression = Mp3Compression();
    }

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
        throw xmsg(TOutput::Rename(messages.Empty() ? NSText::Tr("Sound", "Could not open file")
                                                    : messages.Text(),
                                   target.Name, fileName));
    TOutput output(out, target, fileName, messages, durable);
    // The MPEG writers, where they cannot hold the rate (above 48 kHz or
    // between their rates), take another one and would write our samples at it, so the
    // file would play at the wrong speed.
    if ((kind == "mp3" || kind == "mp2") &&
        std::lround(out.Ft->signal.rate) != std::lround(double(Rate)))
        throw xmsg(NSText::Fill(
            NSText::Tr("Sound", "This file type cannot hold a sample rate of %1 Hz (it would play "
                                "at %2 Hz). Change the rate with Sound Format first."),
            {std::to_string(Rate), std::to_string(std::lround(out.Ft->signal.rate))}));
    // The library quietly narrows what a type cannot hold. That needs the
    // user's consent, unless the type names its sample format itself or is
    // the type the sound came from, written at its own resolution.
    const unsigned wrote = out.Ft->encoding.bits_per_sample;
    const unsigned bits = IsFloatSize(Size) ? 0 : BitsOfSize(Size);
    if (wrote && wrote < bits && !allowFewerBits && !TypeFixesSampleFormat(kind) &&
        !SameHandler(kind, LoadedType))
        throw xfewerbits(wrote, bits);

    if (len > 0 && channels == 1)
        WriteChannel(output, Channel(r.Channel), r, report);
    else if (len > 0)
        WriteFrames(output, *this, r, report);

    output.Finish();
    const bool closed = sox_close(out.Ft) == SOX_SUCCESS;
    out.Ft = nullptr;
    if (!closed || !messages.Empty())
        throw xmsg(output.Renamed(messages.Empty() ? NSText::Tr("Sound", "Could not write file")
                                                   : messages.Text()));
    target.Commit(durable);
}

} // namespace NSWave
