// The library's readers run in a process of their own: files that make the
// library end its process, allocate gigabytes or loop for ever are loaded
// here, in the test process itself, which must come through each with a
// message and the document as it was.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "childrun.h"
#include "support/testenv.h"
#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/reader.h"
#include "wavetest.h"

namespace fs = std::filesystem;
using NSWave::TFile;
using namespace NSWaveTest;

namespace {

std::string Path(const std::string& name) {
    return TestTmpDir() + "/" + name;
}

std::string Write(const std::string& name, const std::string& bytes) {
    const std::string file = Path(name);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::string Big32(uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// What loading `file` into a document holding {1, 2, 3} says; the document
// must be unchanged whenever the load is refused.
std::string LoadMessage(const std::string& file, TOpStatus* status = nullptr) {
    TFile doc(44100, 2, 2, 1);
    Fill(doc, {{1, 2, 3}});
    try {
        doc.Load(file, status);
        return "loaded";
    } catch (const xmsg& e) {
        EXPECT_EQ(Samples(doc.Channel(0)), (std::vector<int32_t>{1, 2, 3})) << file;
        EXPECT_EQ(doc.Rate, 44100) << file;
        return e.why();
    }
}

bool NoChildLeft() {
    return waitpid(-1, nullptr, WNOHANG) <= 0;
}

class TCancelAt : public TCancelTarget {
public:
    explicit TCancelAt(int asks) : Left(asks) {}
    bool CancelRequested() override { return --Left < 0; }
    int Left;
};

} // namespace

TEST(IsolatedReader, WhatEndsOrExhaustsTheLibraryEndsOnlyTheReader) {
    const std::string stopped = NSWave::ReaderStoppedText();
    // A NIST/SPHERE header of size -1: the library allocates SIZE_MAX and
    // ends its process when that fails.
    const std::string sphere = Write("minus-one.sph", "NIST_1A\n     -1\nabcde");
    ASSERT_EQ(fs::file_size(sphere), 21u);
    EXPECT_EQ(LoadMessage(sphere), stopped);
    // A MAUD annotation announcing 4 GB: allocated at once; past the
    // reader's address-space bound the library gives up and exits.
    const std::string maud =
        Write("anno-4gb.maud", "FORM" + Big32(100) + "MAUDANNO" + Big32(0xFFFFFFF0u) + "text");
    EXPECT_EQ(LoadMessage(maud), stopped);
    NSWave::TSoundHeader header;
    EXPECT_FALSE(NSWave::ReadSoundHeader(sphere, header));
    EXPECT_FALSE(NSWave::ReadSoundHeader(maud, header));
    EXPECT_TRUE(NoChildLeft());
    fs::remove(sphere);
    fs::remove(maud);
}

TEST(IsolatedReader, AReaderThatMakesNoProgressIsEnded) {
    // An AMR frame type of size 0 makes the library count frames for ever
    // when it opens the file. The header walk refuses it first, so the
    // reader is run here on its own.
    const char* source = std::getenv("SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::string file =
        std::string(source) + "/tests/data/hostile/amr-frame-type-without-size";
    NSWave::TReaderRun run(file, "", 0, 0, false, std::chrono::milliseconds(500));
    try {
        run.Next(nullptr);
        ADD_FAILURE() << "the reader answered";
    } catch (const xmsg& e) {
        EXPECT_NE(e.why().find("made no progress"), std::string::npos) << e.why();
    }
    EXPECT_TRUE(NoChildLeft());
}

TEST(IsolatedReader, WhatIsNotAPlainFileIsRefusedBeforeAnythingOpensIt) {
    // Opening a FIFO for reading waits for a writer that never comes.
    const std::string fifo = Path("fifo.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LoadMessage(fifo), "fifo.wav is not a file");
    NSWave::TSoundHeader header;
    EXPECT_FALSE(NSWave::ReadSoundHeader(fifo, header));
    fs::remove(fifo);
    EXPECT_EQ(LoadMessage("/dev/zero"), "zero is not a file");
}

TEST(IsolatedReader, CancellingALoadLeavesTheDocumentAsItWas) {
    TFile sound(8000, 2, 2, 2);
    sound.SetSize(200000, 2);
    const std::string file = Path("long.wav");
    sound.Save(file);
    for (int asks : {0, 1, 3}) {
        TCancelAt cancel(asks);
        TStatusTarget target;
        target.Cancel = &cancel;
        TOpStatus status("Loading", target);
        EXPECT_EQ(LoadMessage(file, &status), "Cancelled") << asks;
    }
    EXPECT_TRUE(NoChildLeft());
    EXPECT_EQ(LoadMessage(file), "loaded");
    fs::remove(file);
}

TEST(IsolatedReader, TheLibrarysFailuresAreToldInTheUsersTerms) {
    // No temporary file's name, no library jargon.
    const std::string junk = Write("junk.wav", std::string(64, 'x'));
    EXPECT_EQ(LoadMessage(junk), "This is not a WAV file");
    // 12-bit PCM: the library opens it and reads nothing.
    std::string wav =
        "RIFF" + std::string("\x34\0\0\0", 4) + "WAVEfmt " +
        std::string("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x0c\0", 20) + "data" +
        std::string("\x10\0\0\0", 4) + std::string(16, '\x11');
    EXPECT_EQ(LoadMessage(Write("twelve.wav", wav)),
              "The file uses 12-bit samples, which cannot be read");
    fs::remove(junk);
    fs::remove(Path("twelve.wav"));

    // Root reads every file: the refusal is seen as an ordinary user.
    const std::string dir = Path("locked");
    fs::create_directory(dir);
    fs::permissions(dir, fs::perms::all);
    std::ofstream(dir + "/locked.wav") << "RIFF";
    chmod((dir + "/locked.wav").c_str(), 0);
    const TChildResult result = InChild(
        [&] {
            if (chdir(dir.c_str()) != 0 ||
                (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)))
                Say("cannot become an ordinary user");
            TFile doc;
            try {
                doc.Load("locked.wav");
                Say("loaded");
            } catch (const xmsg& e) {
                Say(e.why());
            }
        },
        10);
    EXPECT_EQ(result.Output, "Could not open file: Permission denied") << result.Describe();
    fs::remove_all(dir);
}

// What the sound library has no reader for opens through FFmpeg's, decoded
// as the ffmpeg command decodes it, sample for sample.
TEST(IsolatedReader, OpusM4aWmaAndVideoFilesLoadAsTheFfmpegCommandDecodesThem) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) {
        const char* ci = std::getenv("CI");
        if (ci && std::string(ci) == "true")
            FAIL() << "ffmpeg is not installed";
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    struct TKind {
        const char* Suffix;
        const char* Codec;
    };
    for (const TKind& kind : {TKind{"opus", "libopus"}, TKind{"m4a", "aac"}, TKind{"wma", "wmav2"},
                              TKind{"webm", "libopus"}, TKind{"mp4", "aac"},
                              TKind{"mkv", "libvorbis"}, TKind{"ogg", "libopus"}}) {
        const std::string file = Path(std::string("made.") + kind.Suffix);
        const std::string raw = Path("made.raw");
        const std::string make =
            "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=0.4:sample_rate=48000 "
            "-f lavfi -i sine=frequency=1000:duration=0.4:sample_rate=48000 -filter_complex "
            "amerge -c:a " +
            std::string(kind.Codec) + " '" + file + "' && ffmpeg -v error -y -i '" + file +
            "' -f s32le -c:a pcm_s32le '" + raw + "'";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
        std::ifstream in(raw, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<int32_t> expected(bytes.size() / 4);
        std::memcpy(expected.data(), bytes.data(), expected.size() * 4);

        TFile doc;
        ASSERT_NO_THROW(doc.Load(file)) << kind.Suffix;
        ASSERT_EQ(doc.ChannelCount(), 2) << kind.Suffix;
        EXPECT_EQ(doc.Rate, 48000) << kind.Suffix;
        ASSERT_EQ(size_t(doc.GetLength()) * 2, expected.size()) << kind.Suffix;
        for (uint32_t i = 0; i < doc.GetLength(); ++i)
            for (int c = 0; c < 2; ++c)
                ASSERT_EQ(doc.Channel(c).Samples[i], expected[2 * i + size_t(c)])
                    << kind.Suffix << " frame " << i << " channel " << c;
        fs::remove(file);
        fs::remove(raw);
    }
}
