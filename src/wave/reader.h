#pragma once
// The sound library's file readers, run outside the editor's process.
//
// Whatever a damaged or hostile file makes the library do (end the process,
// crash, loop for ever, allocate gigabytes) must not take the user's other
// windows with it, so every library reader that touches a file from outside
// runs in a child process, brimvale-reader, bounded in address space and in
// time without progress. Its decoded frames arrive over a pipe channel by
// channel and are read straight into the document's arrays.

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>

#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/readerproto.h"

class TOpStatus;

namespace NSWave {

// Where the reader program is: beside the running program, else where an
// install puts it (../libexec/brimvale beside the program, then the
// configured prefix), else where this build made it. Empty when it is in
// none of these places.
std::string ReaderPath();

// How long a reader may go without sending a byte before it is ended (the
// tests shorten it), and the address space it may use.
void SetReaderStallLimit(std::chrono::milliseconds limit);
std::chrono::milliseconds ReaderStallLimit();
constexpr unsigned long ReaderMemoryMb = 1024;

// One run of the reader over one file. Every way out ends the child.
class TReaderRun {
public:
    // `type`: the library's type name, empty to detect it from the content;
    // `rate` and `channels`: hints for headerless types (0: none).
    TReaderRun(const std::string& fileName, const std::string& type, double rate, unsigned channels,
               bool headerOnly, std::chrono::milliseconds stallLimit = ReaderStallLimit());
    ~TReaderRun();
    TReaderRun(const TReaderRun&) = delete;
    TReaderRun& operator=(const TReaderRun&) = delete;

    // The head of the next record. Throws an xmsg when the reader stopped
    // on the file or made no progress within the stall limit, xcancelled
    // when `status` says the user cancelled.
    NSReader::TRecordHead Next(TOpStatus* status);
    // The next `bytes` of the current record's payload into `to`.
    void Read(void* to, size_t bytes, TOpStatus* status);
    std::string ReadText(size_t bytes, TOpStatus* status);
    // Without waiting: appends what has arrived to `bytes`; false once the
    // reader has closed its end.
    bool ReadAvailable(std::string& bytes);
    int Descriptor() const { return Pipe; }

private:
    void WaitReadable(TOpStatus* status);
    [[noreturn]] void Stopped();
    void End();

    std::chrono::milliseconds Stall;
    pid_t Child = -1;
    int Pipe = -1;
    bool Waited = false;
    int WaitStatus = 0;
};

// The format a file's header gives, asked of the library in a reader with a
// short time bound. False when the library cannot read the file.
struct TSoundHeader {
    int Rate = 0;
    int Channels = 0;
    int Size = 0;
    int Style = 0;
};
bool ReadSoundHeader(const std::string& fileName, TSoundHeader& header);

// The same in two steps, for a caller that asks from another thread: the
// checks made in the editor (a plain file, the type, the header walk), on
// the thread that uses the library; then the reader's answer, on any thread.
struct THeaderProbe {
    std::string FileName;
    std::string Type; // empty: detected from the content
    double Rate = 0;
};
bool PrepareHeaderProbe(const std::string& fileName, THeaderProbe& probe);
bool ProbeHeader(const THeaderProbe& probe, TSoundHeader& header);

// A probe whose answer comes later, for a caller that must not wait (the
// clipboard's check): call Poll whenever Descriptor() is readable, and drop
// the probe when it has not answered in time.
class TPendingHeader {
public:
    explicit TPendingHeader(const THeaderProbe& probe);
    int Descriptor() const { return Run.Descriptor(); }
    // True once the answer is known: then Readable and Header hold it.
    bool Poll();
    bool Readable = false;
    TSoundHeader Header;

private:
    TReaderRun Run;
    std::string Bytes;
};

// The message for a reader that ended without finishing the file.
std::string ReaderStoppedText();

} // namespace NSWave
