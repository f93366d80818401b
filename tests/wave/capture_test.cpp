// The capture folder: a recording's file and note while it is made, which
// captures count as lost (their process has gone, or is another process
// under a reused id, or ran before the machine restarted), and what the
// sweep at start-up removes and keeps.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>

#include "support/testenv.h"
#include "wave/capture.h"
#include "wave/devicetest.h"

using namespace NSWave;
using namespace NSWaveTest;
namespace fs = std::filesystem;

namespace {

std::string Dir() {
    return TestStateDir() + "/brimvale";
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// The id of a process that has ended and been reaped.
long GonePid() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return long(child);
}

} // namespace

TEST_F(DeviceTest, ARecordingIsLostOnlyWhenItsProcessHasGone) {
    TFile doc(16000, 2, 2, 2);
    TPlayRecEngine engine(doc);
    engine.Record();
    Hear(3 * 2048);
    const std::string file = engine.RecordFile().GetFileName();
    const std::string note = engine.RecordNote().GetFileName();
    EXPECT_EQ(fs::path(file).parent_path(), fs::path(Dir()));
    EXPECT_EQ(note, file + ".info");
    EXPECT_TRUE(std::regex_match(fs::path(file).filename().string(),
                                 std::regex("rec-" + std::to_string(getpid()) + "-.{6}\\.sw")));
    // Every block is in the file as soon as it arrived.
    EXPECT_EQ(fs::file_size(file), 3u * 2048 * 2 * 2);
    const std::string text = ReadText(note);
    for (const char* line : {"rate=16000\n", "bytes=2\n", "channels=2\n"})
        EXPECT_NE(text.find(line), std::string::npos) << text;

    // This process records: nothing is lost, nothing is swept.
    EXPECT_TRUE(LostCaptures().empty());
    EXPECT_TRUE(fs::exists(file) && fs::exists(note));

    // The same id, but another process (it started at another time), or the
    // same id before the machine restarted: the recording is lost.
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"since=", "since=1"}, {"boot=", "boot=x"}}) {
        WriteText(note, std::regex_replace(text, std::regex(from), to));
        const auto lost = LostCaptures();
        ASSERT_EQ(lost.size(), 1u) << to;
        EXPECT_EQ(lost[0].File, file);
        EXPECT_EQ(lost[0].Rate, 16000);
        EXPECT_EQ(lost[0].SampleBytes, 2);
        EXPECT_EQ(lost[0].Channels, 2);
        EXPECT_EQ(lost[0].Samples, 3u * 2048);
    }
    WriteText(note, text);
    engine.Stop();
    EXPECT_FALSE(fs::exists(file) || fs::exists(note));
}

TEST_F(DeviceTest, TheSweepRemovesWhatHoldsNothingAndKeepsWhatMayBeWanted) {
    fs::create_directories(Dir());
    const long gone = GonePid();
    const std::string g = Dir() + "/rec-" + std::to_string(gone);
    const std::string mine = Dir() + "/rec-" + std::to_string(getpid());
    auto note = [&](long pid, int bytes, long started) {
        return "rate=8000\nbytes=" + std::to_string(bytes) + "\npid=" + std::to_string(pid) +
               "\nstarted=" + std::to_string(started) + "\n";
    };
    WriteText(g + "-aaaaaa.sw", std::string(4000, 'x')); // lost: 2000 samples
    WriteText(g + "-aaaaaa.sw.info", note(gone, 2, 200));
    WriteText(g + "-bbbbbb.ub", std::string(500, 'x')); // lost, older
    WriteText(g + "-bbbbbb.ub.info", note(gone, 1, 100));
    WriteText(g + "-cccccc.sw", ""); // empty: removed
    WriteText(g + "-cccccc.sw.info", note(gone, 2, 300));
    WriteText(g + "-dddddd.sw.info", note(gone, 2, 300)); // capture gone: removed
    WriteText(g + "-eeeeee.sw", "taken");                 // taken, process gone: removed
    WriteText(g + "-ffffff.sw.info.new", "rate=");        // half-written note: removed
    WriteText(mine + "-gggggg.sw", "taken");              // a running process's: kept
    WriteText(Dir() + "/unrelated.txt", "kept");          // not ours: kept

    const auto lost = LostCaptures();
    ASSERT_EQ(lost.size(), 2u);
    EXPECT_EQ(lost[0].File, g + "-bbbbbb.ub");
    EXPECT_EQ(lost[0].Samples, 500u);
    EXPECT_EQ(lost[0].Started, 100);
    EXPECT_EQ(lost[1].File, g + "-aaaaaa.sw");
    EXPECT_EQ(lost[1].Samples, 2000u);

    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(Dir()))
        left.insert(entry.path().filename().string());
    const std::string gn = "rec-" + std::to_string(gone), mn = "rec-" + std::to_string(getpid());
    EXPECT_EQ(left,
              (std::set<std::string>{gn + "-aaaaaa.sw", gn + "-aaaaaa.sw.info", gn + "-bbbbbb.ub",
                                     gn + "-bbbbbb.ub.info", mn + "-gggggg.sw", "unrelated.txt"}));

    // Claimed, a capture becomes this process's: no longer lost, no longer
    // swept; its handles remove it when done.
    TCapture claimed = ClaimCapture(lost[1]);
    ASSERT_FALSE(claimed.File.IsEmpty());
    EXPECT_FALSE(fs::exists(lost[1].File) || fs::exists(lost[1].Note));
    EXPECT_EQ(fs::file_size(claimed.File.GetFileName()), 4000u);
    EXPECT_EQ(claimed.Note.GetFileName(), claimed.File.GetFileName() + ".info");
    EXPECT_NE(ReadText(claimed.Note.GetFileName()).find("started=200\n"), std::string::npos);
    ASSERT_EQ(LostCaptures().size(), 1u);
    EXPECT_TRUE(ClaimCapture(lost[1]).File.IsEmpty()); // taken already
    claimed = TCapture();

    DiscardCapture(lost[0]);
    fs::remove(mine + "-gggggg.sw");
    fs::remove(Dir() + "/unrelated.txt");
    EXPECT_TRUE(fs::is_empty(Dir()));
}

TEST_F(DeviceTest, CapturesGoUnderTheStateHomeOrElseUnderHome) {
    EXPECT_EQ(CaptureDir(), TestStateDir() + "/brimvale");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", "/home/someone", 1);
    for (const char* state : {"", "relative/path"}) {
        setenv("XDG_STATE_HOME", state, 1);
        EXPECT_EQ(CaptureDir(), "/home/someone/.local/state/brimvale") << state;
    }
    unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(CaptureDir(), "/home/someone/.local/state/brimvale");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_STATE_HOME", TestStateDir().c_str(), 1);
}
