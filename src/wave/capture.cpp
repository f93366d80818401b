#include "wave/capture.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "util/text.h"
#include "util/xmsg.h"
#include "wave/file.h"

namespace fs = std::filesystem;

namespace NSWave {

namespace {

const char NoteSuffix[] = ".info";
const char NamePrefix[] = "rec-";

// Who records: the process id, the boot it runs in and its start time since
// that boot, so that a process id used again by another process (or after a
// restart) does not pass for the recorder.
struct TOwner {
    long Pid = 0;
    std::string Boot;
    uint64_t Since = 0;
};

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string BootId() {
    return ReadFirstLine("/proc/sys/kernel/random/boot_id");
}

// State and start time (field 22) of a process, from /proc; false when
// /proc does not know it.
bool ProcessStat(long pid, char& state, uint64_t& since) {
    const std::string stat = ReadFirstLine("/proc/" + std::to_string(pid) + "/stat");
    // The command name may hold spaces and parentheses: the fields that
    // follow start after the last ')'.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    fields >> state;
    for (int i = 4; i <= 21 && fields >> field; ++i) {
    }
    return bool(fields >> since);
}

bool HaveProc() {
    return access("/proc/self/stat", R_OK) == 0;
}

// Whether process `pid` runs (a zombie has ended).
bool PidRunning(long pid) {
    if (pid <= 0)
        return false;
    if (HaveProc()) {
        char state = 0;
        uint64_t since = 0;
        return ProcessStat(pid, state, since) && state != 'Z' && state != 'X';
    }
    return kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool OwnerRunning(const TOwner& owner) {
    if (!owner.Boot.empty() && owner.Boot != BootId())
        return false;
    if (!PidRunning(owner.Pid))
        return false;
    if (owner.Since == 0 || !HaveProc())
        return true;
    char state = 0;
    uint64_t since = 0;
    return ProcessStat(owner.Pid, state, since) && since == owner.Since;
}

TOwner ThisProcess() {
    TOwner owner;
    owner.Pid = long(getpid());
    owner.Boot = BootId();
    char state = 0;
    ProcessStat(owner.Pid, state, owner.Since);
    return owner;
}

// The process id in a file name "rec-<pid>-…"; 0 for a name not ours.
long PidInName(const std::string& name) {
    if (name.compare(0, sizeof NamePrefix - 1, NamePrefix) != 0)
        return 0;
    const char* digits = name.c_str() + sizeof NamePrefix - 1;
    char* end = nullptr;
    const long pid = std::strtol(digits, &end, 10);
    return end != digits && *end == '-' ? pid : 0;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The folder, made (private to the user) when missing.
std::string MadeCaptureDir() {
    const std::string dir = CaptureDir();
    if (dir.empty())
        throw xmsg(
            NSText::Tr("Recording", "Could not find a folder for the recording (HOME is not set)"));
    std::error_code error;
    fs::path partial;
    for (const fs::path& part : fs::path(dir)) {
        partial /= part;
        if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            throw xmsg(NSText::Fill(
                NSText::Tr("Recording", "Could not make the folder %1 for the recording (%2)"),
                {partial.string(), std::strerror(errno)}));
    }
    if (!fs::is_directory(dir, error))
        throw xmsg(NSText::Fill(
            NSText::Tr("Recording", "Could not make the folder %1 for the recording"), {dir}));
    return dir;
}

// Makes the note's content reach the disk before it carries the name.
void WriteNote(const std::string& path, const std::string& text) {
    const std::string fresh = path + ".new";
    const int fd = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0;
    if (ok) {
        ok = write(fd, text.data(), text.size()) == ssize_t(text.size());
        ok = fsync(fd) == 0 && ok;
        ok = close(fd) == 0 && ok;
    }
    const int why = errno;
    if (ok && std::rename(fresh.c_str(), path.c_str()) == 0) {
        // The new name itself is kept by the folder.
        const int dir = open(fs::path(path).parent_path().c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            fsync(dir);
            close(dir);
        }
        return;
    }
    std::remove(fresh.c_str());
    throw xmsg(NSText::Fill(NSText::Tr("Recording", "Could not write the recording's note %1 (%2)"),
                            {path, std::strerror(why)}));
}

struct TNote {
    int Rate = 0;
    int SampleBytes = 0;
    int Channels = 1;
    int64_t Started = 0;
    TOwner Owner;
};

bool ReadNote(const std::string& path, TNote& note) {
    std::ifstream in(path);
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(in, line)) {
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == '#' || equals == std::string::npos)
            continue;
        values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    auto number = [&](const char* key, auto& out) {
        const auto it = values.find(key);
        if (it == values.end())
            return false;
        std::istringstream text(it->second);
        return bool(text >> out) && text.peek() == EOF;
    };
    if (!number("rate", note.Rate) || !number("bytes", note.SampleBytes) ||
        !number("pid", note.Owner.Pid) || !number("started", note.Started))
        return false;
    number("since", note.Owner.Since);
    // Notes of mono takes may not say.
    if (values.count("channels") && !number("channels", note.Channels))
        return false;
    note.Owner.Boot = values["boot"];
    return note.Rate > 0 && note.SampleBytes >= 1 && note.SampleBytes <= 3 && note.Channels >= 1 &&
           note.Channels <= 1024 && note.Owner.Pid > 0;
}

} // namespace

std::string CaptureDir() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // Only an absolute path counts, as the base directory rules say.
    if (state && state[0] == '/')
        return (fs::path(state) / "brimvale").string();
    const char* home = std::getenv("HOME");
    std::string base = home && *home ? home : "";
    if (base.empty())
        if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
            base = entry->pw_dir;
    if (base.empty())
        return std::string();
    return (fs::path(base) / ".local" / "state" / "brimvale").string();
}

namespace {

// A new, empty file of this process in `dir`, its name unique.
std::string NewCaptureName(const std::string& dir, int sampleBytes) {
    const char* suffix = sampleBytes == 1   ? "-XXXXXX.ub"
                         : sampleBytes == 3 ? "-XXXXXX.s3"
                                            : "-XXXXXX.sw";
    std::string name =
        (fs::path(dir) / (NamePrefix + std::to_string(long(getpid())) + suffix)).string();
    const int fd = mkostemps(name.data(), 3, O_CLOEXEC);
    if (fd < 0)
        throw xmsg(NSText::Fill(NSText::Tr("Recording", "Could not make a capture file in %1 (%2)"),
                                {dir, std::strerror(errno)}));
    close(fd);
    return name;
}

std::string NoteText(int rate, int sampleBytes, int channels, int64_t started) {
    const TOwner owner = ThisProcess();
    std::ostringstream text;
    text << "# A recording not yet in its document: raw "
         << (sampleBytes == 1   ? "unsigned 8-bit"
             : sampleBytes == 3 ? "signed 24-bit little-endian"
                                : "signed 16-bit little-endian")
         << " samples, " << channels << (channels == 1 ? " channel" : " channels interleaved")
         << "\n"
         << "rate=" << rate << "\nbytes=" << sampleBytes << "\nchannels=" << channels
         << "\npid=" << owner.Pid << "\nboot=" << owner.Boot << "\nsince=" << owner.Since
         << "\nstarted=" << started << "\n";
    return text.str();
}

} // namespace

TCapture NewCapture(int rate, int sampleBytes, int channels) {
    TCapture capture;
    const std::string name = NewCaptureName(MadeCaptureDir(), sampleBytes);
    capture.File = TTmpFile::Adopt(name);
    WriteNote(name + NoteSuffix,
              NoteText(rate, sampleBytes, channels, int64_t(std::time(nullptr))));
    capture.Note = TTmpFile::Adopt(name + NoteSuffix);
    return capture;
}

TCapture ClaimCapture(const TLostCapture& lost) {
    TCapture claimed;
    const std::string name =
        NewCaptureName(fs::path(lost.File).parent_path().string(), lost.SampleBytes);
    if (std::rename(lost.File.c_str(), name.c_str()) != 0) {
        std::remove(name.c_str());
        return claimed;
    }
    claimed.File = TTmpFile::Adopt(name);
    // Without a new note (a full disk) the recording is still taken; the old
    // note, naming a file that has gone, is removed by a later start.
    try {
        WriteNote(name + NoteSuffix,
                  NoteText(lost.Rate, lost.SampleBytes, lost.Channels, lost.Started));
        claimed.Note = TTmpFile::Adopt(name + NoteSuffix);
        std::remove(lost.Note.c_str());
    } catch (const xmsg&) {
    }
    return claimed;
}

std::vector<TLostCapture> LostCaptures() {
    std::vector<TLostCapture> lost;
    const std::string dir = CaptureDir();
    std::error_code error;
    if (dir.empty() || !fs::is_directory(dir, error))
        return lost;

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir, error))
        names.push_back(entry.path().filename().string());
    std::set<std::string> spoken; // files that belong to a readable note
    for (const std::string& name : names) {
        if (!EndsWith(name, NoteSuffix) || PidInName(name) == 0)
            continue;
        TNote note;
        const std::string notePath = (fs::path(dir) / name).string();
        if (!ReadNote(notePath, note))
            continue;
        const std::string file = name.substr(0, name.size() - (sizeof NoteSuffix - 1));
        spoken.insert(name);
        spoken.insert(file);
        if (OwnerRunning(note.Owner))
            continue;
        TLostCapture capture;
        capture.File = (fs::path(dir) / file).string();
        capture.Note = notePath;
        capture.Rate = note.Rate;
        capture.SampleBytes = note.SampleBytes;
        capture.Channels = note.Channels;
        capture.Started = note.Started;
        const auto size = fs::file_size(capture.File, error);
        capture.Samples = error ? 0 : uint64_t(size) / uint64_t(note.SampleBytes * note.Channels);
        if (capture.Samples == 0)
            DiscardCapture(capture);
        else
            lost.push_back(capture);
    }
    for (const std::string& name : names) {
        const long pid = PidInName(name);
        if (pid != 0 && !spoken.count(name) && !PidRunning(pid))
            fs::remove(fs::path(dir) / name, error);
    }
    std::sort(lost.begin(), lost.end(), [](const TLostCapture& a, const TLostCapture& b) {
        return a.Started != b.Started ? a.Started < b.Started : a.File < b.File;
    });
    return lost;
}

void DiscardCapture(const TLostCapture& capture) {
    std::remove(capture.File.c_str());
    std::remove(capture.Note.c_str());
}

} // namespace NSWave

namespace NSWave {

void AppendCaptureTail(TFile& material, const TCaptureTail& tail) {
    const int channels = std::max(1, tail.Channels);
    const size_t bytes = size_t(std::max(1, tail.SampleBytes));
    const size_t n = tail.Bytes.size() / (bytes * size_t(channels));
    if (n == 0)
        return;
    if (material.ChannelCount() == 0)
        material.SetChannelCount(channels);
    const uint8_t* in = tail.Bytes.data();
    for (int c = 0; c < std::min(channels, material.ChannelCount()); ++c) {
        TChannel& channel = material.Channel(c);
        const uint32_t from = channel.Count;
        if (uint64_t(from) + n > MaxChannelLength)
            ThrowTooLong();
        channel.SetSize(uint32_t(from + n), true);
        int32_t* out = channel.MutableSamples(from);
        // The loader's scale: a 16-bit sample v is v × 65536, an 8-bit one
        // (v - 128) × 16777216, a 24-bit one v × 256.
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* at = in + (i * size_t(channels) + size_t(c)) * bytes;
            if (bytes == 1)
                out[i] = int32_t(uint32_t(at[0] ^ 0x80) << 24);
            else if (bytes == 2)
                out[i] = int32_t(uint32_t(at[0]) << 16 | uint32_t(at[1]) << 24);
            else
                out[i] =
                    int32_t(uint32_t(at[0]) << 8 | uint32_t(at[1]) << 16 | uint32_t(at[2]) << 24);
        }
    }
}

} // namespace NSWave
