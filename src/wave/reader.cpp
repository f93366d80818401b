#include "wave/reader.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/fileguard.h"
#include "wave/soundformat.h"
#include "wave/soxlib.h"

namespace NSWave {

namespace {

std::atomic<long long> StallMs{10000};

bool Executable(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

std::string ProgramFolder() {
    std::vector<char> buffer(4096);
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return std::string();
    std::string path(buffer.data(), size_t(n));
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string MissingText() {
    return NSText::Tr("Sound", "The file could not be read: the sound file reader brimvale-reader "
                               "was not found beside the program or where it is installed. Install "
                               "Brimvale again.");
}

std::string StalledText() {
    return NSText::Tr("Sound", "The file could not be read: the sound library made no progress on "
                               "it (the file is damaged or of an unsupported kind).");
}

} // namespace

std::string ReaderStoppedText() {
    return NSText::Tr("Sound", "The file could not be read: the sound library stopped on it (the "
                               "file is damaged or of an unsupported kind).");
}

std::string ReaderPath() {
    static const std::string path = [] {
        const std::string folder = ProgramFolder();
        std::vector<std::string> candidates;
        if (!folder.empty()) {
            candidates.push_back(folder + "/brimvale-reader");
            candidates.push_back(folder + "/../libexec/brimvale/brimvale-reader");
        }
#ifdef BRIMVALE_READER_INSTALLED
        candidates.push_back(BRIMVALE_READER_INSTALLED);
#endif
#ifdef BRIMVALE_READER_BUILT
        candidates.push_back(BRIMVALE_READER_BUILT);
#endif
        for (const std::string& candidate : candidates)
            if (Executable(candidate))
                return candidate;
        return std::string();
    }();
    return path;
}

void SetReaderStallLimit(std::chrono::milliseconds limit) {
    StallMs = limit.count();
}

std::chrono::milliseconds ReaderStallLimit() {
    return std::chrono::milliseconds(StallMs.load());
}

TReaderRun::TReaderRun(const std::string& fileName, const std::string& type, double rate,
                       unsigned channels, bool headerOnly, std::chrono::milliseconds stallLimit)
    : Stall(stallLimit) {
    const std::string program = ReaderPath();
    if (program.empty())
        throw xmsg(MissingText());
    int pipes[2];
    if (pipe2(pipes, O_CLOEXEC) != 0)
        throw xmsg(NSText::Fill(NSText::Tr("Sound", "Could not start the sound file reader: %1"),
                                {std::strerror(errno)}));
    // Large writes cross in fewer wake-ups; a refusal only costs speed.
    fcntl(pipes[0], F_SETPIPE_SZ, 1 << 20);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipes[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The editor's blocked or ignored signals are not the reader's.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const std::string rateText = std::to_string(rate);
    const std::string channelText = std::to_string(channels);
    const std::string memoryText = std::to_string(ReaderMemoryMb);
    const char* argv[] = {program.c_str(),    headerOnly ? "header" : "load",
                          fileName.c_str(),   type.empty() ? "-" : type.c_str(),
                          rateText.c_str(),   channelText.c_str(),
                          memoryText.c_str(), nullptr};
    // No display, sound server or session bus: only where temporary files go.
    std::vector<std::string> environment = {"PATH=/usr/bin:/bin", "LC_ALL=C"};
    if (const char* tmp = std::getenv("TMPDIR"))
        environment.push_back(std::string("TMPDIR=") + tmp);
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    const int failed = posix_spawn(&Child, program.c_str(), &actions, &attributes,
                                   const_cast<char**>(argv), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipes[1]);
    if (failed) {
        close(pipes[0]);
        Child = -1;
        throw xmsg(NSText::Fill(NSText::Tr("Sound", "Could not start the sound file reader: %1"),
                                {std::strerror(failed)}));
    }
    Pipe = pipes[0];
    fcntl(Pipe, F_SETFL, fcntl(Pipe, F_GETFL) | O_NONBLOCK);
}

TReaderRun::~TReaderRun() {
    End();
}

void TReaderRun::End() {
    if (Pipe >= 0) {
        close(Pipe);
        Pipe = -1;
    }
    if (Child > 0 && !Waited) {
        kill(Child, SIGKILL);
        while (waitpid(Child, &WaitStatus, 0) < 0 && errno == EINTR) {
        }
        Waited = true;
    }
}

void TReaderRun::Stopped() {
    End();
    throw xmsg(ReaderStoppedText());
}

void TReaderRun::WaitReadable(TOpStatus* status) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + Stall;
    for (;;) {
        if (status && status->Cancelled()) {
            End();
            throw xcancelled();
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            End();
            throw xmsg(StalledText());
        }
        pollfd wanted = {Pipe, POLLIN, 0};
        // Short slices, so a cancel is seen while the reader is busy.
        const int ready =
            poll(&wanted, 1, int(std::min<long long>(left.count(), status ? 50 : 1000)));
        if (ready > 0)
            return;
        if (ready < 0 && errno != EINTR) {
            End();
            throw xmsg(ReaderStoppedText());
        }
    }
}

void TReaderRun::Read(void* to, size_t bytes, TOpStatus* status) {
    char* into = static_cast<char*>(to);
    while (bytes) {
        if (Pipe < 0)
            Stopped();
        const ssize_t n = read(Pipe, into, bytes);
        if (n > 0) {
            into += n;
            bytes -= size_t(n);
        } else if (n == 0) {
            Stopped();
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            WaitReadable(status);
        } else if (errno != EINTR) {
            Stopped();
        }
    }
}

std::string TReaderRun::ReadText(size_t bytes, TOpStatus* status) {
    std::string text(bytes, '\0');
    Read(text.data(), bytes, status);
    return text;
}

NSReader::TRecordHead TReaderRun::Next(TOpStatus* status) {
    // A reader that keeps up never waits, so the user's request is looked
    // at once a record as well.
    if (status && status->Cancelled()) {
        End();
        throw xcancelled();
    }
    NSReader::TRecordHead head;
    Read(&head, sizeof head, status);
    if (head.Magic != NSReader::Magic)
        Stopped();
    return head;
}

bool TReaderRun::ReadAvailable(std::string& bytes) {
    char buffer[4096];
    for (;;) {
        if (Pipe < 0)
            return false;
        const ssize_t n = read(Pipe, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, size_t(n));
        else if (n == 0)
            return false;
        else if (errno == EAGAIN || errno == EWOULDBLOCK)
            return true;
        else if (errno != EINTR)
            return false;
    }
}

namespace {

// The header's answer from the first record; false when it is no header.
bool HeaderFrom(const NSReader::TRecordHead& head, const NSReader::TReaderFormat& format,
                TSoundHeader& header) {
    if (head.Magic != NSReader::Magic || head.Kind != NSReader::TKind::Header ||
        head.Bytes < sizeof format)
        return false;
    header.Rate = format.Rate >= 1 && format.Rate < 2147483647.0 ? int(format.Rate + 0.5) : 0;
    header.Channels = std::max(1, int(std::min<uint32_t>(format.Channels, MaxFileChannels)));
    header.Size =
        SizeCodeOf(format.Bits ? format.Bits : format.Precision, sox_encoding_t(format.Encoding));
    header.Style = StyleCodeOf(sox_encoding_t(format.Encoding));
    return header.Rate > 0 && header.Size > 0 && header.Style > 0;
}

// The header probe's limit: the header comes at once or not at all.
std::chrono::milliseconds ProbeLimit() {
    return std::min(ReaderStallLimit(), std::chrono::milliseconds(3000));
}

} // namespace

TPendingHeader::TPendingHeader(const THeaderProbe& probe)
    : Run(probe.FileName, probe.Type, probe.Rate, 0, true, ProbeLimit()) {}

bool TPendingHeader::Poll() {
    const bool open = Run.ReadAvailable(Bytes);
    NSReader::TRecordHead head;
    NSReader::TReaderFormat format;
    if (Bytes.size() >= sizeof head) {
        std::memcpy(&head, Bytes.data(), sizeof head);
        if (head.Kind != NSReader::TKind::Header)
            return true; // refused, or no record of ours
        if (Bytes.size() >= sizeof head + sizeof format) {
            std::memcpy(&format, Bytes.data() + sizeof head, sizeof format);
            Readable = HeaderFrom(head, format, Header);
            return true;
        }
    }
    return !open;
}

bool PrepareHeaderProbe(const std::string& fileName, THeaderProbe& probe) {
    // Whatever is not a plain file (a FIFO, a device) could hold the reader
    // or feed it without end.
    const int fd = open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    const bool plain = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
    close(fd);
    if (!plain)
        return false;
    // The type by the same rule the loader follows: the suffix when the
    // library knows it, else the content.
    std::string kind = TypeFromName(fileName);
    probe.Rate = 0;
    if (strcasecmp(kind.c_str(), "snd") == 0) {
        kind = "ub";
        probe.Rate = 11025;
    }
    for (char& c : kind)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    SoxInit();
    const sox_format_handler_t* handler =
        kind == "auto" ? nullptr : sox_find_format(kind.c_str(), sox_false);
    probe.FileName = fileName;
    probe.Type = handler ? kind : std::string();
    try {
        CheckFileHeaders(fileName, handler, uint64_t(info.st_size));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool ProbeHeader(const THeaderProbe& probe, TSoundHeader& header) {
    try {
        TReaderRun run(probe.FileName, probe.Type, probe.Rate, 0, true, ProbeLimit());
        const NSReader::TRecordHead head = run.Next(nullptr);
        NSReader::TReaderFormat format;
        if (head.Kind != NSReader::TKind::Header || head.Bytes < sizeof format)
            return false;
        run.Read(&format, sizeof format, nullptr);
        return HeaderFrom(head, format, header);
    } catch (const std::exception&) {
        return false;
    }
}

bool ReadSoundHeader(const std::string& fileName, TSoundHeader& header) {
    THeaderProbe probe;
    return PrepareHeaderProbe(fileName, probe) && ProbeHeader(probe, header);
}

} // namespace NSWave
