// Damaged and hostile files: each load ends in a clean message or a load,
// quickly, within bounded memory, in a child process so that a hang, an
// exit() or a crash fails the test instead of ending the test program.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "childrun.h"
#include "support/testenv.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wavetest.h"

namespace fs = std::filesystem;
using NSWave::TFile;
using namespace NSWaveTest;

namespace {

// A number from the process's status file, in KB.
uint64_t StatusKb(const char* field) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(field))
            return std::stoull(line.substr(std::string(field).size() + 1));
    return 0;
}

#ifdef __SANITIZE_ADDRESS__
// From the sanitizer runtime (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));

// The library ends the process when an allocation fails; here any single
// allocation over 256 MB ends the child at once, so it fails the test
// wherever memory is plentiful.
void RefuseLargeAllocations(const volatile void*, size_t size) {
    if (size > (size_t(256) << 20)) {
        const char text[] = "an allocation of over 256 MB";
        Say(text);
        _exit(3);
    }
}
void NoFreeHook(const volatile void*) {}
#endif

// Loads `file` into a document that holds something, in the child, and says
// what happened: "refused: <message>" or "loaded: <read> of <announced>
// frames, <n> channels".
void LoadAndSay(const std::string& file) {
#ifdef __SANITIZE_ADDRESS__
    __sanitizer_install_malloc_and_free_hooks(RefuseLargeAllocations, NoFreeHook);
#endif
    const uint64_t before = StatusKb("VmSize:");
    TFile doc(44100, 2, 2, 1);
    Fill(doc, {{1, 2, 3}});
    try {
        NSWave::TLoadResult result = doc.Load(file);
        Say("loaded: " + std::to_string(result.FramesRead) + " of " +
            std::to_string(result.FramesAnnounced) + " frames, " +
            std::to_string(doc.ChannelCount()) + " channels");
        for (int c = 0; c < doc.ChannelCount(); ++c)
            if (doc.Channel(c).Count != result.FramesRead)
                Say(" | channel " + std::to_string(c) + " has another length");
    } catch (const xmsg& e) {
        Say("refused: " + e.why());
        if (doc.Rate != 44100 || Samples(doc.Channel(0)) != std::vector<int32_t>{1, 2, 3})
            Say(" | and the document changed");
    }
    // Address space reserved on the way, not only memory touched.
    const uint64_t grew = StatusKb("VmPeak:") - before;
    if (grew > 1024 * 1024)
        Say(" | reserved " + std::to_string(grew / 1024) + " MB");
}

TEST(HostileFiles, EachLoadsOrIsRefusedCleanlyQuicklyAndWithinMemory) {
    // What the crafted files must give; the fuzzers' finds need only end
    // cleanly.
    const std::map<std::string, std::string> expected = {
        {"8svx-anno-4gb.8svx", "refused: The file is damaged: chunk ANNO is longer than the file"},
        {"aiff-65535-channels.aiff",
         "refused: The file has 65535 channels; at most 1024 can be loaded"},
        {"aiff-appl-huge.aiff", "refused: The file is damaged: chunk APPL is longer than the file"},
        {"aiff-comm-size-20.aiff", "refused: The file is damaged: chunk COMM is too short"},
        {"aiff-comt-huge.aiff", "refused: The file is damaged: chunk COMT is longer than the file"},
        {"aiff-copyright-4gb.aiff",
         "refused: The file is damaged: chunk (c) is longer than the file"},
        {"aiff-data-offset-beyond-end.aiff",
         "refused: The file is damaged: its sound data would start beyond its end"},
        {"aiff-mark-huge.aiff", "refused: The file is damaged: chunk MARK is longer than the file"},
        {"aiff-mark-wraps.aiff", "refused: The file is damaged: chunk MARK is inconsistent"},
        {"aiff-name-4gb.aiff", "refused: The file is damaged: chunk NAME is longer than the file"},
        {"aiff-rate-1e300.aiff",
         "refused: The file's sample rate (1e+300) is not between 1 and 2147483647"},
        {"aiff-rate-infinite.aiff", "refused: The file's sample rate (inf) is not between"},
        {"aiff-rate-nan.aiff", "refused: The file's sample rate ("},
        {"amr-frame-type-without-size",
         "refused: The file is damaged: an AMR frame has a type that does not exist"},
        {"gsrt-checksum-loop",
         "refused: The file is damaged: its header counts more than the file holds"},
        {"sox-comments-1gb",
         "refused: The file is damaged: its sound data would start beyond its end"},
        {"flac-damaged-metadata.flac",
         "refused: The file is damaged: a FLAC metadata block is longer than the file"},
        {"flac-not-a-stream.flac", "refused: The file is damaged: it is not a FLAC stream"},
        {"au-header-4gb.au",
         "refused: The file is damaged: its sound data would start beyond its end"},
        {"au-header-4gb-little-endian.au",
         "refused: The file is damaged: its sound data would start beyond its end"},
        {"wav-4gb-announced.wav", "loaded: 512 of 2147483640 frames, 1 channels"},
        {"wav-65535-channels.wav",
         "refused: The file has 65535 channels; at most 1024 can be loaded"},
        {"wav-ima-adpcm-65535-channels.wav",
         "refused: The file has 65535 channels; at most 1024 can be loaded"},
        {"wav-list-beyond-end.wav",
         "refused: The file is damaged: chunk LIST is longer than the file"},
        {"wav-rate-2147483648.wav",
         "refused: The file's sample rate (2.14748e+09) is not between 1 and 2147483647"},
    };
    const char* source = std::getenv("SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(std::string(source) + "/tests/data/hostile"))
        if (entry.path().filename() != "README")
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), expected.size());
    for (const std::string& file : files) {
        const TChildResult result = InChild([&] { LoadAndSay(file); }, 10);
        const std::string name = fs::path(file).filename().string();
        EXPECT_TRUE(result.Clean()) << name << ": " << result.Describe();
        EXPECT_TRUE(result.Output.starts_with("loaded: ") || result.Output.starts_with("refused: "))
            << name << ": " << result.Output;
        EXPECT_EQ(result.Output.find(" | "), std::string::npos) << name << ": " << result.Output;
        if (auto it = expected.find(name); it != expected.end()) {
            EXPECT_TRUE(result.Output.starts_with(it->second)) << name << ": " << result.Output;
        }
    }
}

// A WAV of 8-bit samples whose data is a hole in the file: as long as the
// header says, and nothing on the disk.
std::string SparseWav(const std::string& name, uint32_t frames) {
    const std::string file = TestTmpDir() + "/" + name;
    std::ofstream out(file, std::ios::binary);
    auto put32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    put32(36 + frames);
    out << "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(8000);
    put32(8000);
    put16(1);
    put16(8);
    out << "data";
    put32(frames);
    out.close();
    fs::resize_file(file, 44 + uint64_t(frames));
    return file;
}

TEST(LoadLimits, NotEnoughMemoryIsAMessageAndTheDocumentStaysAsItWas) {
    // 300 million samples need 1.2 GB; the child may map 256 MB more than
    // it has (the kernel refuses private mappings past the data limit).
    const std::string file = SparseWav("big.wav", 300'000'000);
    const TChildResult result = InChild(
        [&] {
            const uint64_t data = StatusKb("VmData:") * 1024;
            const rlimit limit = {data + (uint64_t(256) << 20), RLIM_INFINITY};
            if (setrlimit(RLIMIT_DATA, &limit) != 0)
                Say("no limit");
            LoadAndSay(file);
        },
        30);
    fs::remove(file);
    EXPECT_TRUE(result.Clean()) << result.Describe();
    EXPECT_EQ(result.Output, "refused: Not enough memory to load big.wav");
}

TEST(LoadResult, AFileCutShortSaysHowMuchWasRead) {
    for (const char* type : {"wav", "aiff", "au"}) {
        // One minute at 1000 samples a second, cut after 12.5 seconds.
        TFile doc(1000, 2, 2, 2);
        doc.SetSize(60000, 2);
        for (int c = 0; c < 2; ++c)
            for (uint32_t i = 0; i < 60000; ++i)
                doc.Channel(c).MutableSamples(0)[i] = int32_t((i * 7919u + uint32_t(c)) << 16);
        const std::string file = TestTmpDir() + "/cut." + type;
        doc.Save(file);
        TFile back;
        NSWave::TLoadResult whole = back.Load(file);
        EXPECT_FALSE(whole.EndedEarly()) << type;
        EXPECT_EQ(whole.FramesRead, 60000u) << type;
        const uint64_t header = fs::file_size(file) - 60000 * 4;
        fs::resize_file(file, header + 12500 * 4);
        NSWave::TLoadResult cut = back.Load(file);
        EXPECT_TRUE(cut.EndedEarly()) << type;
        EXPECT_EQ(cut.FramesRead, 12500u) << type;
        EXPECT_EQ(cut.FramesAnnounced, 60000u) << type;
        EXPECT_EQ(back.GetLength(), 12500u) << type;
        EXPECT_EQ(Samples(back.Channel(1)),
                  std::vector<int32_t>(doc.Channel(1).Samples, doc.Channel(1).Samples + 12500))
            << type;
        EXPECT_EQ(NSWave::EndedEarlyText(cut, back.Rate),
                  "The file ended early: 12.5 of 60 seconds were read.")
            << type;
        fs::remove(file);
    }
    // At most two decimals, however the division falls.
    NSWave::TLoadResult odd;
    odd.FramesRead = 37507;
    odd.FramesAnnounced = 110250;
    EXPECT_EQ(NSWave::EndedEarlyText(odd, 22050),
              "The file ended early: 1.7 of 5 seconds were read.");
}

} // namespace
