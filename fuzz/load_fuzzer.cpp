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

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A reader that makes no progress is ended well inside the campaign's
    // own time-out, so only a hang on the editor's side counts as one.
    NSWave::SetReaderStallLimit(std::chrono::milliseconds(3000));
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/brimvale-fuzz-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const char* suffix = std::getenv("BRIMVALE_FUZZ_SUFFIX");
    InputName = dir + "/input";
    if (suffix && *suffix)
        InputName += std::string(".") + suffix;
    std::atexit([] {
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
    } catch (const xmsg&) {
    }
    return 0;
}
