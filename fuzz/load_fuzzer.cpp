// libFuzzer target for loading sound files: each input is written to a file
// whose name ends in the suffix the campaign chose, and loaded as the editor
// loads a file the user opens: the header walk here, the library in a reader
// process of its own. A clean message or a load is fine, a reader that stops
// on the file included; a crash, an exit, a hang or an allocation past the
// limits of this process, the editor's side, is what the campaign finds.
//
// BRIMVALE_FUZZ_SUFFIX names the suffix ("wav", "aiff", …; empty: no suffix,
// so the library detects the type from the content).

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/reader.h"

namespace {

std::string InputName;
// Inputs on which the library's reader ended (exit, crash, memory bound)
// or made no progress and was ended: each would have taken the editor with
// it before the reader had a process of its own.
unsigned long ReaderStops = 0, ReaderStalls = 0;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A reader that makes no progress is ended well inside the campaign's
    // own time-out, so only a hang on the editor's side counts as one.
    NSWave::SetReaderStallLimit(std::chrono::milliseconds(1500));
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/brimvale-fuzz-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const char* suffix = std::getenv("BRIMVALE_FUZZ_SUFFIX");
    InputName = dir + "/input";
    if (suffix && *suffix)
        InputName += std::string(".") + suffix;
    std::atexit([] {
        std::fprintf(stderr, "stat::reader_stopped: %lu\nstat::reader_stalled: %lu\n", ReaderStops,
                     ReaderStalls);
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(InputName).parent_path(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* file = std::fopen(InputName.c_str(), "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    NSWave::TFile doc;
    try {
        NSWave::TLoadResult result = doc.Load(InputName);
        if (result.EndedEarly())
            (void)NSWave::EndedEarlyText(result, doc.Rate);
        if (result.FramesRead != doc.GetLength())
            std::abort();
    } catch (const xmsg& e) {
        if (e.why() == NSWave::ReaderStoppedText())
            ++ReaderStops;
        else if (e.why().find("made no progress") != std::string::npos)
            ++ReaderStalls;
    }
    return 0;
}
