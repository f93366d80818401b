// Saving never costs the user the file they had: a disk that fills at any
// point leaves the target as it was and no new file behind; links keep
// pointing where they did; messages name the user's file.

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "childrun.h"
#include "support/testenv.h"
#include "util/opstatus.h"
#include "util/settings.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/file.h"
#include "wave/opuswriter.h"
#include "wavetest.h"

namespace fs = std::filesystem;
using NSWave::TFile;
using namespace NSWaveTest;

namespace {

std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Stereo noise, which no type compresses much.
void MakeNoise(TFile& doc, uint32_t frames) {
    std::mt19937 rng(5);
    doc.SetSize(frames, 2);
    const unsigned drop = 32 - 8 * unsigned(doc.Size);
    for (int c = 0; c < 2; ++c)
        for (uint32_t i = 0; i < frames; ++i)
            doc.Channel(c).MutableSamples(0)[i] = int32_t(rng() >> drop << drop);
}

// What goes wrong when `doc` is saved over `target` in `dir`; empty when
// the save fails with `message` and leaves the target and the directory
// exactly as they were.
std::string FailsCleanly(const TFile& doc, const std::string& dir, const std::string& target,
                         const std::string& message, bool scratch = false) {
    const std::string before = Bytes(target);
    const std::vector<std::string> names = Names(dir);
    std::string what;
    try {
        if (scratch)
            doc.SaveScratch(target, nullptr, nullptr, TSampleRange());
        else
            doc.Save(target);
        what = "saved;";
    } catch (const xmsg& e) {
        if (e.why() != message)
            what = "said \"" + e.why() + "\";";
    }
    if (Bytes(target) != before)
        what += " the target changed;";
    if (Names(dir) != names)
        what += " the directory changed;";
    return what;
}

// A file-size limit makes writes fail as a full disk does, byte-exactly:
// the save is tried at every shortfall from one byte to a few blocks, in a
// child process, for types that finish their files in different ways
// (header rewritten, pad byte, frames flushed by the encoder, data copied
// at the end).
TEST(SaveOnAFullDisk, EveryShortfallKeepsTheTarget) {
    const std::string dir = TestTmpDir() + "/limit";
    fs::create_directory(dir);
    // The last is long enough for the disk to be set writing while it is
    // encoded, and tried at a few shortfalls only.
    std::vector<std::string> types = {"wav", "aiff", "au", "flac", "8svx", "voc", "long.wav"};
    if (NSWave::CanSaveOpus())
        types.push_back("opus"); // pages written by the Opus encoder as it goes
    for (const std::string& type : types) {
        const bool isLong = type == "long.wav";
        TFile doc(8000, 2, type == "8svx" ? 1 : 2, 2);
        MakeNoise(doc, isLong ? 6'000'001 : 20001);
        const std::string probe = dir + "/probe." + type;
        doc.Save(probe);
        const uint64_t full = fs::file_size(probe);
        fs::remove(probe);
        const std::string target = dir + "/keep." + type;
        WriteBytes(target, "the user's own file");

        const TChildResult result = InChild(
            [&] {
                signal(SIGXFSZ, SIG_IGN);
                std::vector<uint64_t> shortfalls = {1,    2,    3,    4,    5,    7,     8,
                                                    13,   100,  511,  512,  513,  1000,  4095,
                                                    4096, 4097, 8191, 8192, 8193, 12288, 16385};
                if (isLong)
                    shortfalls = {1, 4097, 20'000'001};
                for (uint64_t shortfall : shortfalls) {
                    const rlimit limit = {full - shortfall, RLIM_INFINITY};
                    setrlimit(RLIMIT_FSIZE, &limit);
                    // A scratch file, which nothing waits to reach the disk,
                    // fails as cleanly.
                    for (bool scratch : {false, true}) {
                        const std::string what = FailsCleanly(
                            doc, dir, target, "Could not write file: File too large", scratch);
                        if (!what.empty())
                            Say(std::to_string(shortfall) + " bytes short" +
                                (scratch ? " (scratch): " : ": ") + what + "\n");
                    }
                }
                const rlimit exact = {full, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &exact);
                doc.Save(target);
            },
            60);
        EXPECT_TRUE(result.Clean()) << type << ": " << result.Describe();
        EXPECT_EQ(result.Output, "") << type;
        EXPECT_EQ(fs::file_size(target), full) << type << ": the exact size fits";
        EXPECT_EQ(Names(dir), std::vector<std::string>{"keep." + type});
        fs::remove(target);
    }
    fs::remove(dir);
}

// The same on a real file system that fills up, where the kernel allows
// mounting a small one.
TEST(SaveOnAFullDisk, ARealFullFileSystemKeepsTheTarget) {
    const std::string dir = TestTmpDir() + "/disk";
    fs::create_directory(dir);
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=1m,mode=0700") != 0) {
        const std::string why = std::strerror(errno);
        fs::remove(dir);
        GTEST_SKIP() << "a small file system cannot be mounted here (" << why
                     << "); the file-size limit test covers the same ground";
    }
    const std::string target = dir + "/keep.wav";
    const std::string filler = dir + "/filler";
    TFile original(8000, 2, 2, 1);
    MakeNoise(original, 1000);
    original.Save(target);
    TFile doc(8000, 2, 2, 2);
    MakeNoise(doc, 50000);
    const uint64_t page = 4096, needed = (200044 + page - 1) / page;
    for (uint64_t pagesShort : {1, 2, 3, 10}) {
        struct statvfs disk;
        ASSERT_EQ(statvfs(dir.c_str(), &disk), 0);
        const uint64_t free = uint64_t(disk.f_bavail) * disk.f_frsize;
        ASSERT_GT(free, (needed - pagesShort) * page);
        WriteBytes(filler, std::string(free - (needed - pagesShort) * page, 'x'));
        EXPECT_EQ(FailsCleanly(doc, dir, target, "Could not write file: No space left on device"),
                  "")
            << pagesShort << " pages short";
        fs::remove(filler);
    }
    doc.Save(target);
    TFile back;
    back.Load(target);
    EXPECT_EQ(back.GetLength(), 50000u);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"keep.wav"});
    umount2(dir.c_str(), MNT_DETACH);
    fs::remove(dir);
}

TEST(SaveTargets, ALinkKeepsPointingAtItsFileWhichIsReplaced) {
    const std::string dir = TestTmpDir() + "/links";
    fs::create_directories(dir + "/real");
    TFile a(8000, 2, 2, 1), b(8000, 2, 2, 1);
    Fill(a, {{1 << 16, 2 << 16}});
    Fill(b, {{3 << 16}});
    a.Save(dir + "/real/take.wav");
    fs::create_symlink("real/take.wav", dir + "/link.wav");
    fs::create_symlink(dir + "/link.wav", dir + "/chain.wav"); // absolute, to a link
    fs::create_symlink("real/new.wav", dir + "/dangling.wav");

    for (const char* name : {"link.wav", "chain.wav"}) {
        const TFile& saved = std::string(name) == "link.wav" ? b : a;
        saved.Save(dir + "/" + name);
        EXPECT_TRUE(fs::is_symlink(dir + "/link.wav")) << name;
        EXPECT_TRUE(fs::is_symlink(dir + "/chain.wav")) << name;
        TFile back;
        back.Load(dir + "/real/take.wav");
        EXPECT_EQ(Samples(back.Channel(0)), Samples(saved.Channel(0))) << name;
    }
    a.Save(dir + "/dangling.wav");
    EXPECT_TRUE(fs::is_symlink(dir + "/dangling.wav"));
    EXPECT_TRUE(fs::is_regular_file(dir + "/real/new.wav"));
    EXPECT_EQ(Names(dir + "/real"), (std::vector<std::string>{"new.wav", "take.wav"}));
    fs::remove_all(dir);
}

// A read-only file is not written over, and the message names it, not the
// hidden new file. Run as an ordinary user (root may write anything).
TEST(SaveTargets, MessagesNameTheFileTheUserChose) {
    const std::string dir = TestTmpDir() + "/ro";
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms::all);
    WriteBytes(dir + "/locked.wav", "read only");
    fs::permissions(dir + "/locked.wav",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    TFile doc(8000, 2, 2, 1);
    Fill(doc, {{1, 2, 3}});
    const TChildResult result = InChild(
        [&] {
            // A relative name from inside the directory needs no rights on
            // the directories above it.
            if (chdir(dir.c_str()) != 0)
                Say("no directory");
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                Say("cannot become an ordinary user");
            try {
                doc.Save("locked.wav");
                Say("saved");
            } catch (const xmsg& e) {
                Say(e.why());
            }
        },
        10);
    EXPECT_TRUE(result.Clean()) << result.Describe();
    EXPECT_NE(result.Output.find("`locked.wav'"), std::string::npos) << result.Output;
    EXPECT_NE(result.Output.find("Permission denied"), std::string::npos) << result.Output;
    EXPECT_EQ(result.Output.find(".locked.wav."), std::string::npos) << result.Output;
    EXPECT_EQ(Bytes(dir + "/locked.wav"), "read only");
    EXPECT_EQ(Names(dir), std::vector<std::string>{"locked.wav"});
    fs::remove_all(dir);
}

} // namespace

// A type that cannot hold the sound's rate is refused, not written at
// another rate, which would play at the wrong speed; at a rate it holds
// the same save goes through.
TEST(SaveTargets, ATypeThatWouldChangeTheRateIsRefused) {
    const std::string dir = TestTmpDir() + "/rates";
    fs::create_directory(dir);
    const std::string target = dir + "/take.mp3";
    WriteBytes(target, "the user's file");
    TFile doc(96000, 2, 2, 1);
    MakeNoise(doc, 9600);
    EXPECT_EQ(FailsCleanly(doc, dir, target,
                           "This file type cannot hold a sample rate of 96000 Hz (it would play at "
                           "48000 Hz). Change the rate with Sound Format first."),
              "");
    // Opus takes 100 to 768,000 Hz: below, the encoder's resampler would
    // stop the program.
    if (NSWave::CanSaveOpus()) {
        const std::string opus = dir + "/take.opus";
        WriteBytes(opus, "the user's file");
        TFile low(99, 2, 2, 2);
        MakeNoise(low, 300);
        for (int rate : {99, 768001}) {
            low.Rate = rate;
            EXPECT_EQ(FailsCleanly(low, dir, opus,
                                   "This file type cannot hold a sample rate of " +
                                       std::to_string(rate) +
                                       " Hz (Opus takes 100 to 768000 Hz). Change the rate with "
                                       "Sound Format first."),
                      "");
        }
        low.Rate = 100;
        low.Save(opus);
        EXPECT_NE(Bytes(opus), "the user's file");
        fs::remove(opus);
    }
    doc.Rate = 44100;
    doc.Save(target);
    TFile back;
    back.Load(target);
    EXPECT_EQ(back.Rate, 44100);
    EXPECT_NEAR(double(back.GetLength()), 9600.0, 2000.0);

    // The MP3 quality setting reaches the encoder: a tone at a constant
    // 320 kbit/s takes several times the bytes of the smallest variable rate.
    doc.SetSize(44100, 2);
    for (int c = 0; c < 2; ++c)
        for (uint32_t i = 0; i < 44100; ++i)
            doc.Channel(c).MutableSamples(0)[i] =
                int32_t(20000.0 * std::sin(double(i) * 0.0627)) * (1 << 16);
    std::vector<uintmax_t> sizes;
    for (int quality : {320, -6}) {
        NSWave::Mp3QualitySetting.Set(quality);
        doc.Save(target);
        sizes.push_back(fs::file_size(target));
    }
    NSWave::Mp3QualitySetting.Set(NSWave::DefaultMp3Quality);
    EXPECT_NEAR(double(sizes[0]), 40000.0, 4000.0);
    EXPECT_LT(sizes[1] * 3, sizes[0]);
    fs::remove_all(dir);
}

// A save the system ends half-way (here the file-size signal, which ends the
// process as a crash or a kill would) leaves no file beside the target: the
// new file has no name until it is complete.
TEST(SaveInterrupted, AKilledSaveLeavesNothingBehind) {
    const std::string dir = TestTmpDir() + "/killed";
    fs::create_directory(dir);
    const std::string target = dir + "/keep.wav";
    WriteBytes(target, "the user's own file");
    TFile doc(8000, 2, 2, 2);
    MakeNoise(doc, 100000);
    for (const rlim_t at : {rlim_t(1), rlim_t(4096), rlim_t(200000), rlim_t(399999)}) {
        const TChildResult result = InChild(
            [&] {
                const rlimit noCore = {0, 0};
                setrlimit(RLIMIT_CORE, &noCore);
                signal(SIGXFSZ, SIG_DFL);
                const rlimit limit = {at, RLIM_INFINITY};
                setrlimit(RLIMIT_FSIZE, &limit);
                doc.Save(target);
            },
            30);
        EXPECT_FALSE(result.Exited) << at << ": " << result.Describe();
        EXPECT_EQ(result.Code, SIGXFSZ) << at;
        EXPECT_EQ(Names(dir), std::vector<std::string>{"keep.wav"}) << at << " bytes written";
        EXPECT_EQ(Bytes(target), "the user's own file");
    }
    // And a save that runs its course still replaces the target.
    doc.Save(target);
    TFile back;
    back.Load(target);
    EXPECT_EQ(back.GetLength(), 100000u);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"keep.wav"});
    fs::remove_all(dir);
}

// Where the file system has no unnamed files, a save cut short leaves its
// hidden new file, and the next save into the folder removes it: only the
// leftovers of this machine's ended processes, never another's.
TEST(SaveInterrupted, TheNextSaveRemovesWhatAnEndedSaveLeft) {
    const std::string dir = TestTmpDir() + "/named";
    fs::create_directory(dir);
    const std::string target = dir + "/keep.wav";
    WriteBytes(target, "the user's own file");
    TFile doc(8000, 2, 2, 2);
    MakeNoise(doc, 100000);
    TFile::UseNamedSaveFiles(true);
    const TChildResult result = InChild(
        [&] {
            const rlimit noCore = {0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            signal(SIGXFSZ, SIG_DFL);
            const rlimit limit = {4096, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &limit);
            doc.Save(target);
        },
        30);
    EXPECT_EQ(result.Code, SIGXFSZ) << result.Describe();
    std::vector<std::string> names = Names(dir);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[0].starts_with(".keep.wav.")) << names[0];
    EXPECT_EQ(Bytes(target), "the user's own file");

    // A running process's save and another machine's stay.
    const std::string left = names[0];
    const std::string host = left.substr(10, left.rfind('-') - 10);
    const std::string running = ".other.wav." + host + "-" + std::to_string(getpid()) + ".Ab12Cd";
    const std::string elsewhere = ".other.wav.far-away-" + left.substr(left.rfind('-') + 1);
    WriteBytes(dir + "/" + running, "in progress");
    WriteBytes(dir + "/" + elsewhere, "another machine's");
    doc.Save(dir + "/other.wav");
    TFile::UseNamedSaveFiles(false);
    std::vector<std::string> kept = {elsewhere, running, "keep.wav", "other.wav"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Names(dir), kept);
    fs::remove_all(dir);
}

// A save the user cancels part-way leaves the target as it was and nothing
// beside it; a scratch save for a command is not stopped.
TEST(SaveCancelled, TheTargetStaysAndNothingIsLeftBeside) {
    class TCancelAfter : public TCancelTarget {
    public:
        explicit TCancelAfter(int asks) : Left(asks) {}
        bool CancelRequested() override { return --Left < 0; }
        int Left;
    };
    const std::string dir = TestTmpDir() + "/cancelled";
    fs::create_directory(dir);
    TFile doc(8000, 2, 2, 2);
    MakeNoise(doc, 100000);
    std::vector<std::string> targets = {"keep.wav"};
    if (NSWave::CanSaveOpus())
        targets.push_back("keep.opus"); // written by the Opus encoder
    for (const bool named : {false, true}) {
        TFile::UseNamedSaveFiles(named);
        for (const std::string& name : targets) {
            const std::string target = dir + "/" + name;
            WriteBytes(target, "the user's own file");
            TCancelAfter cancel(3);
            TStatusTarget where;
            where.Cancel = &cancel;
            TOpStatus status("Saving", where);
            EXPECT_THROW(doc.Save(target, &status), NSWave::xcancelled) << name;
            EXPECT_EQ(Bytes(target), "the user's own file") << name;
            EXPECT_EQ(Names(dir), std::vector<std::string>{name});
            fs::remove(target);
        }
        TCancelAfter always(0);
        TStatusTarget scratchWhere;
        scratchWhere.Cancel = &always;
        TOpStatus scratch("Copying", scratchWhere);
        doc.SaveScratch(dir + "/scratch.wav", &scratch, nullptr, TSampleRange());
        EXPECT_TRUE(fs::exists(dir + "/scratch.wav"));
        fs::remove(dir + "/scratch.wav");
    }
    TFile::UseNamedSaveFiles(false);
    fs::remove_all(dir);
}
