#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/testenv.h"
#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/file.h"
#include "wave/soundformat.h"
#include "wavetest.h"

namespace fs = std::filesystem;
using NSWave::TFile;
using namespace NSWaveTest;
using V = std::vector<int32_t>;

namespace {

std::string Path(const std::string& name) {
    return TestTmpDir() + "/" + name;
}

std::string Trim(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    return s;
}

std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string LoadError(const std::string& file, const char* type = nullptr) {
    TFile doc;
    try {
        doc.Load(file, nullptr, type);
    } catch (const xmsg& e) {
        return e.why();
    }
    return "no error";
}

std::string SaveError(const TFile& doc, const std::string& file) {
    try {
        doc.Save(file);
    } catch (const xmsg& e) {
        return e.why();
    }
    return "no error";
}

// A document of the given shape with random samples that a file of `bits`
// bits holds exactly.
void MakeRandom(TFile& doc, int channels, uint32_t frames, unsigned bits, unsigned seed) {
    std::mt19937 rng(seed);
    doc.SetSize(frames, channels);
    for (int c = 0; c < channels; ++c)
        for (uint32_t i = 0; i < frames; ++i) {
            uint32_t v = rng();
            if (bits < 32)
                v &= ~((1u << (32 - bits)) - 1);
            doc.Channel(c).MutableSamples(i)[0] = int32_t(v);
        }
}

// The sox command's reading of `file`, channel by channel, next to the
// document's: an independent reader of the same file.
void ExpectSameAsSox(const std::string& file, const TFile& doc, const std::string& what) {
    const std::string q = "'" + file + "'";
    ASSERT_EQ(std::to_string(doc.ChannelCount()), Trim(Shell("sox --i -c " + q))) << what;
    std::string raw = Shell("sox -V1 " + q + " -t s32 -");
    ASSERT_EQ(raw.size() % (4 * size_t(doc.ChannelCount())), 0u) << what;
    const size_t frames = raw.size() / 4 / size_t(doc.ChannelCount());
    ASSERT_EQ(doc.GetLength(), frames) << what;
    const int32_t* s = reinterpret_cast<const int32_t*>(raw.data());
    size_t wrong = 0;
    for (size_t f = 0; f < frames; ++f)
        for (int c = 0; c < doc.ChannelCount(); ++c)
            wrong += doc.Channel(c).Samples[f] != s[f * size_t(doc.ChannelCount()) + size_t(c)];
    EXPECT_EQ(wrong, 0u) << what << ": samples differ from the sox command's";
}

void ExpectSameSamples(const TFile& a, const TFile& b, const std::string& what) {
    ASSERT_EQ(a.ChannelCount(), b.ChannelCount()) << what;
    for (int c = 0; c < a.ChannelCount(); ++c)
        EXPECT_EQ(Samples(a.Channel(c)), Samples(b.Channel(c))) << what << " channel " << c;
}

// Files nobody here wrote, read by the sox command as an independent reader.
TEST(LoadRealFiles, MatchTheSoxCommandSampleForSample) {
    std::vector<std::string> files;
    for (const char* dir : {"/usr/share/sounds/alsa", "/usr/share/sounds/freedesktop/stereo"})
        if (fs::is_directory(dir))
            for (const auto& entry : fs::directory_iterator(dir))
                if (entry.path().extension() == ".wav" || entry.path().extension() == ".oga")
                    files.push_back(entry.path().string());
    ASSERT_GE(files.size(), 5u) << "install alsa-utils and sound-theme-freedesktop";
    int checked = 0;
    for (const std::string& file : files) {
        TFile doc;
        {
#ifdef __SANITIZE_ADDRESS__
            // The library's Ogg Vorbis reader never frees its decoder state.
            std::optional<__lsan::ScopedDisabler> libraryLeaks;
            if (file.ends_with(".oga"))
                libraryLeaks.emplace();
#endif
            doc.Load(file);
        }
        const std::string q = "'" + file + "'";
        EXPECT_EQ(std::to_string(doc.Rate), Trim(Shell("sox --i -r " + q))) << file;
        EXPECT_EQ(std::to_string(doc.ChannelCount()), Trim(Shell("sox --i -c " + q))) << file;
        std::string bits = Trim(Shell("sox --i -b " + q));
        if (bits != "0") {
            EXPECT_EQ(std::to_string(NSWave::BitsOfSize(doc.Size)), bits) << file;
        }
        std::string raw = Shell("sox -V1 " + q + " -t s32 -");
        ASSERT_EQ(raw.size() % 4, 0u);
        size_t frames = raw.size() / 4 / doc.ChannelCount();
        ASSERT_EQ(doc.GetLength(), frames) << file;
        const int32_t* s = reinterpret_cast<const int32_t*>(raw.data());
        bool same = true;
        for (size_t f = 0; f < frames && same; ++f)
            for (int c = 0; c < doc.ChannelCount(); ++c)
                same &= doc.Channel(c).Samples[f] == s[f * doc.ChannelCount() + c];
        EXPECT_TRUE(same) << file;
        ++checked;
    }
    EXPECT_EQ(checked, int(files.size()));
}

TEST(RoundTrip, WavAndAiffAtEverySizeAndChannelCount) {
    for (const char* type : {"wav", "aiff"})
        for (int size : {1, 2, 3, 4})
            for (int channels : {1, 2, 3}) {
                const std::string what = std::string(type) + " size " + std::to_string(size) +
                                         " x" + std::to_string(channels);
                TFile doc(32000, 2, size, 1);
                MakeRandom(doc, channels, 5001, size == 3 ? 24 : size * 8, size * 10 + channels);
                const std::string file = Path(std::string("round.") + type);
                doc.Save(file);
                TFile back;
                back.Load(file);
                EXPECT_EQ(back.Rate, 32000) << what;
                EXPECT_EQ(back.Size, size) << what;
                EXPECT_EQ(back.Style, size == 1 && std::string(type) == "wav" ? 1 : 2) << what;
                ExpectSameSamples(doc, back, what);
                fs::remove(file);
            }
}

TEST(RoundTrip, FloatFilesKeepTheirFormat) {
    const std::string file = Path("float.wav");
    Shell("sox -V1 -n -r 8000 -e floating-point -b 32 '" + file + "' synth 0.01 sine 300");
    TFile doc;
    doc.Load(file);
    EXPECT_EQ(doc.Size, 5);
    EXPECT_EQ(doc.GetLength(), 80u);
    doc.Save(file);
    EXPECT_EQ(Trim(Shell("sox --i -e '" + file + "'")), "Floating Point PCM");
    fs::remove(file);
}

TEST(RoundTrip, RawTypesWithTheirPrecision) {
    struct Case {
        const char* type;
        unsigned bits;
    };
    for (const Case& k :
         {Case{"sw", 16}, Case{"uw", 16}, Case{"sb", 8}, Case{"ub", 8}, Case{"s4", 32}}) {
        TFile doc(8000, 2, 2, 1);
        MakeRandom(doc, 1, 999, k.bits, k.bits);
        const std::string file = Path(std::string("raw.") + k.type);
        doc.Save(file);
        EXPECT_EQ(fs::file_size(file), 999u * k.bits / 8) << k.type;
        TFile back;
        back.Load(file);
        ExpectSameSamples(doc, back, k.type);
        fs::remove(file);
    }
}

// Formats that do not announce their length, and a file that announces
// more than it holds: the document keeps exactly what was delivered.
TEST(RoundTrip, UnknownAndWrongLengths) {
    for (const char* type : {"maud", "dat"}) {
        TFile doc(8000, 2, 2, 2);
        MakeRandom(doc, 2, 20000, 16, 7);
        const std::string file = Path(std::string("long.") + type);
        doc.Save(file);
        TFile back;
        back.Load(file);
        ExpectSameSamples(doc, back, type);
        fs::remove(file);
    }
    TFile doc(8000, 2, 2, 2);
    MakeRandom(doc, 2, 10000, 16, 9);
    const std::string file = Path("cut.wav");
    doc.Save(file);
    fs::resize_file(file, fs::file_size(file) - 4 * 1000 - 2); // 1000.5 frames gone
    TFile back;
    back.Load(file);
    ASSERT_EQ(back.GetLength(), 8999u);
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ(Samples(back.Channel(c)),
                  V(doc.Channel(c).Samples, doc.Channel(c).Samples + 8999));
    fs::remove(file);
}

TEST(RoundTrip, RawStagedFileWithAChannelHint) {
    // Five 16-bit samples read as two channels: the partial last frame goes.
    const std::string file = Path("TMP0001..sw");
    std::string bytes;
    for (int16_t v : {1, -2, 3, -4, 5})
        bytes.append(reinterpret_cast<const char*>(&v), 2);
    WriteBytes(file, bytes);
    TFile doc;
    doc.Load(file, nullptr, nullptr, 2);
    ASSERT_EQ(doc.ChannelCount(), 2);
    EXPECT_EQ(doc.Rate, 8000);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1 << 16, 3 << 16}));
    EXPECT_EQ(Samples(doc.Channel(1)), (V{-2 << 16, -4 << 16}));
    fs::remove(file);
}

TEST(RoundTrip, SndIsRawUnsigned8BitAt11025) {
    const std::string file = Path("x.SND");
    WriteBytes(file, std::string("\x80\xff\x00", 3));
    TFile doc;
    doc.Load(file);
    EXPECT_EQ(doc.Rate, 11025);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{0, 127 << 24, -128 << 24}));
    doc.Save(file);
    EXPECT_EQ(Bytes(file), std::string("\x80\xff\x00", 3)); // no header
    fs::remove(file);
}

TEST(SaveRanges, ChannelsRangesAndPadding) {
    TFile doc(22050, 2, 2, 2);
    Fill(doc, {{1 << 16, 2 << 16, 3 << 16, 4 << 16}, {5 << 16, 6 << 16}});
    const std::string file = Path("part.WAV"); // capitals find the wav handler
    TFile back;

    doc.Save(file); // unequal lengths: the shorter is padded with silence
    back.Load(file);
    EXPECT_EQ(Samples(back.Channel(1)), (V{5 << 16, 6 << 16, 0, 0}));

    doc.Save(file, nullptr, nullptr, TSampleRange(1, 3));
    back.Load(file);
    EXPECT_EQ(Samples(back.Channel(0)), (V{2 << 16, 3 << 16}));
    EXPECT_EQ(Samples(back.Channel(1)), (V{6 << 16, 0}));

    TOpStatus status;
    doc.Save(file, &status, nullptr, TSampleRange(1, 4, 1)); // one channel, padded
    EXPECT_EQ(status.Percent, 100);
    back.Load(file);
    ASSERT_EQ(back.ChannelCount(), 1);
    EXPECT_EQ(Samples(back.Channel(0)), (V{6 << 16, 0, 0}));

    fs::remove(file);
    doc.Save(file, nullptr, nullptr, TSampleRange(0, 4, 2)); // no such channel
    EXPECT_FALSE(fs::exists(file));

    TFile mono(22050, 2, 2, 1);
    Fill(mono, {{7 << 16}});
    mono.Save(file, nullptr, nullptr, TSampleRange(0, 1, AllChannels));
    back.Load(file);
    EXPECT_EQ(back.ChannelCount(), 1);
    fs::remove(file);
}

TEST(SaveRanges, Signed8BitBecomesUnsignedInWav) {
    TFile doc(8000, 2, 1, 1);
    Fill(doc, {{-128 << 24, 0, 127 << 24}});
    const std::string file = Path("eight.wav");
    doc.Save(file);
    EXPECT_EQ(Trim(Shell("sox --i -e '" + file + "'")), "Unsigned Integer PCM");
    TFile back;
    back.Load(file);
    EXPECT_EQ(Samples(back.Channel(0)), Samples(doc.Channel(0)));
    fs::remove(file);
}

TEST(LoadProgress, RunsFrom50To100) {
    TFile doc(8000, 2, 2, 1);
    MakeRandom(doc, 1, 50000, 16, 1);
    const std::string file = Path("progress.wav");
    doc.Save(file);
    TOpStatus status;
    status.SetPercent(0);
    TFile back;
    back.Load(file, &status);
    EXPECT_EQ(status.Percent, 100);
    fs::remove(file);
}

TEST(Errors, LoadingTexts) {
    EXPECT_EQ(LoadError(Path("missing.wav")), "File not found");
    WriteBytes(Path("empty.wav"), "");
    EXPECT_EQ(LoadError(Path("empty.wav")), "File is 0 bytes");
    WriteBytes(Path("a.nosuchtype"), "data");
    EXPECT_EQ(LoadError(Path("a.nosuchtype")), "Unknown file type");
    WriteBytes(Path("text.wav"), "this is not a sound");
    // The library's "RIFF header not found", in the user's terms.
    EXPECT_EQ(LoadError(Path("text.wav")), "This is not a WAV file");
    EXPECT_EQ(LoadError(TestTmpDir()), "Could not open file"); // a directory
    for (const char* name : {"empty.wav", "a.nosuchtype", "text.wav"})
        fs::remove(Path(name));
}

TEST(Errors, FailedLoadLeavesTheDocumentUnchanged) {
    WriteBytes(Path("text.aiff"), "FORM nonsense");
    TFile doc(44100, 2, 2, 1);
    Fill(doc, {{1, 2}});
    EXPECT_THROW(doc.Load(Path("text.aiff")), xmsg);
    EXPECT_EQ(doc.Rate, 44100);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 2}));
    fs::remove(Path("text.aiff"));
}

TEST(Errors, FileLongerThanAChannelCanHoldIsRefusedBeforeReading) {
    // A sparse raw file one sample longer than a channel can hold.
    const std::string file = Path("huge.ub");
    WriteBytes(file, "");
    fs::resize_file(file, uint64_t(1) << 32);
    TFile doc(44100, 2, 2, 1);
    Fill(doc, {{5, 6, 7}});
    EXPECT_EQ(LoadError(file), "File too large");
    EXPECT_THROW(doc.Load(file), xmsg);
    EXPECT_EQ(doc.Rate, 44100);
    EXPECT_EQ(Samples(doc.Channel(0)), (V{5, 6, 7}));
    EXPECT_EQ(LoadError(file, "nosuchtype"), "Unknown file type");
    fs::remove(file);
}

TEST(Errors, NameWithoutSuffixLoadsByContentAndCannotBeWritten) {
    TFile doc(8000, 2, 2, 1);
    Fill(doc, {{1 << 16}});
    doc.Save(Path("named.wav"));
    fs::rename(Path("named.wav"), Path("named"));
    TFile back;
    back.Load(Path("named"));
    EXPECT_EQ(Samples(back.Channel(0)), (V{1 << 16}));
    EXPECT_EQ(SaveError(doc, Path("other")), "Type AUTO can only be used for input!");
    EXPECT_FALSE(fs::exists(Path("other")));
    fs::remove(Path("named"));
}

TEST(Errors, FailingSaveLeavesTheTargetUntouched) {
    const std::string target = Path("keep.8svx");
    WriteBytes(target, "precious");
    TFile doc(8000, 2, 4, 1); // 32-bit samples: this type holds 8 bits only
    Fill(doc, {{1, 2, 3}});
    std::string error = SaveError(doc, target);
    EXPECT_NE(error, "no error");
    EXPECT_EQ(Bytes(target), "precious");
    EXPECT_EQ(SaveError(doc, Path("x.nosuchtype")), "Unknown file type");
    EXPECT_EQ(SaveError(doc, Path("no/such/dir/x.wav")), "Could not open file");
    fs::remove(target);
    // Nothing else is left behind: the shared test main checks the directory.
}

// Readers that lose a sample when asked for a count ending inside a frame
// scramble the channels from the second block on.
TEST(LoadChannels, EveryCountFromOneToTwelveMatchesTheSoxCommand) {
    for (const std::string type : {"wav", "aiff", "flac"})
        for (int channels = 1; channels <= 12; ++channels) {
            if (type == "flac" && channels > 8)
                continue; // the format holds at most 8
            const std::string what = type + " x" + std::to_string(channels);
            TFile doc(8000, 2, 2, 1);
            MakeRandom(doc, channels, 20011, 16, unsigned(channels));
            const std::string file = Path("channels." + type);
            doc.Save(file);
            TFile back;
            back.Load(file);
            ExpectSameAsSox(file, back, what);
            ExpectSameSamples(doc, back, what);
            fs::remove(file);
        }
}

// Sounds of many blocks: the reader hands whole blocks to the pipe without
// copying them and reuses each only once the editor has read it, so every
// sample of a long sound arrives as it was, whatever the channel count and
// whether the library decodes in whole blocks (WAV) or small pieces (FLAC).
TEST(LoadChannels, LongSoundsArriveWholeInEveryChannelCount) {
    for (const std::string type : {"wav", "flac"})
        for (const int channels : {1, 2, 3, 6}) {
            const std::string what = type + " x" + std::to_string(channels);
            TFile doc(8000, 2, 2, 1);
            MakeRandom(doc, channels, 32768 * 24 + 777, 16, unsigned(channels) + 100);
            const std::string file = Path("long." + type);
            doc.Save(file);
            TFile back;
            back.Load(file);
            ExpectSameSamples(doc, back, what);
            fs::remove(file);
        }
}

// Every type the sox command writes (but AMR-WB and three that the library
// cannot read back: sds, sd2, xi): a file it made loads as the command
// reads it, saves back to its own type without a question (even where that
// type holds fewer bits than the document), and the saved file loads as the
// command reads it; lossless types give back the very samples. Complete files
// never count as ended early.
TEST(RoundTrip, EveryTypeLoadsAndSavesBackAsTheSoxCommandReadsIt) {
    struct Case {
        const char* type;
        bool lossless;
    };
    const Case cases[] = {
        {"8svx", true},    {"aif", true},   {"aifc", true},    {"aiff", true},  {"aiffc", true},
        {"al", true},      {"amb", true},   {"amr-nb", false}, {"anb", false},  {"au", true},
        {"avr", true},     {"caf", true},   {"cdda", true},    {"cdr", true},   {"cvs", false},
        {"cvsd", false},   {"cvu", false},  {"dat", true},     {"dvms", false}, {"f32", true},
        {"f4", true},      {"f64", true},   {"f8", true},      {"fap", true},   {"flac", true},
        {"fssd", true},    {"gsm", false},  {"gsrt", true},    {"hcom", true},  {"htk", true},
        {"ima", true},     {"ircam", true}, {"la", true},      {"lpc", false},  {"lpc10", false},
        {"lu", true},      {"mat", true},   {"mat4", true},    {"mat5", true},  {"maud", true},
        {"mp2", false},    {"mp3", false},  {"nist", true},    {"ogg", false},  {"paf", true},
        {"prc", true},     {"pvf", true},   {"s1", true},      {"s16", true},   {"s2", true},
        {"s24", true},     {"s3", true},    {"s32", true},     {"s4", true},    {"s8", true},
        {"sb", true},      {"sf", true},    {"sl", true},      {"sln", true},   {"smp", true},
        {"sndr", true},    {"sndt", true},  {"sou", true},     {"sox", true},   {"sph", true},
        {"sw", true},      {"txw", true},   {"u1", true},      {"u16", true},   {"u2", true},
        {"u24", true},     {"u3", true},    {"u32", true},     {"u4", true},    {"u8", true},
        {"ub", true},      {"ul", true},    {"uw", true},      {"vms", false},  {"voc", false},
        {"vorbis", false}, {"vox", true},   {"w64", true},     {"wav", true},   {"wavpcm", true},
        {"wv", true},      {"wve", true}};
#ifdef __SANITIZE_ADDRESS__
    // Many of the library's format modules (the compressed ones, and those
    // it reaches through libsndfile) leave some of their state behind; the
    // other file tests watch this program's own memory.
    __lsan::ScopedDisabler libraryLeaks;
#endif
    for (const Case& k : cases) {
        const std::string what = k.type;
        const std::string source = Path(std::string("made.") + k.type);
        for (const char* spec : {"-r 8000 -c 1", "-r 16000 -c 1", "-r 44100 -c 2"})
            if (Shell(std::string("sox -V0 -n ") + spec + " '" + source +
                      "' synth 0.3 sine 300-900 vol 0.7 && echo made") == "made\n")
                break;
        ASSERT_TRUE(fs::exists(source)) << what << ": the sox command wrote nothing";
        TFile doc;
        NSWave::TLoadResult result;
        try {
            result = doc.Load(source);
        } catch (const xmsg& e) {
            ADD_FAILURE() << what << ": " << e.why();
            fs::remove(source);
            continue;
        }
        EXPECT_FALSE(result.EndedEarly())
            << what << ": " << result.FramesRead << " of " << result.FramesAnnounced;
        ExpectSameAsSox(source, doc, what);
        const std::string saved = Path(std::string("saved.") + k.type);
        try {
            doc.Save(saved);
            TFile back;
            back.Load(saved);
            ExpectSameAsSox(saved, back, what + " saved back");
            if (k.lossless)
                ExpectSameSamples(doc, back, what + " saved back");
        } catch (const xmsg& e) {
            ADD_FAILURE() << what << " saved back: " << e.why();
        }
        fs::remove(source);
        fs::remove(saved);
    }
}

// A type that holds fewer bits than the sound is the user's choice: it
// needs consent, except when it is the type the sound came from.
TEST(SaveFewerBits, AnotherTypeWithFewerBitsNeedsConsent) {
    TFile doc(8000, 2, 2, 1);
    MakeRandom(doc, 1, 3000, 16, 3);
    const std::string narrow = Path("narrow.8svx");
    try {
        doc.Save(narrow);
        ADD_FAILURE() << "saved without consent";
    } catch (const NSWave::xfewerbits& e) {
        EXPECT_EQ(e.TypeBits, 8u);
        EXPECT_EQ(e.SoundBits, 16u);
        EXPECT_STREQ(e.what(), "This file type cannot hold 16-bit samples");
    }
    EXPECT_FALSE(fs::exists(narrow));
    doc.Save(narrow, nullptr, nullptr, TSampleRange(), true);
    TFile back;
    back.Load(narrow);
    EXPECT_EQ(back.Size, 1);
    EXPECT_EQ(back.LoadedType, "8svx");
    ExpectSameAsSox(narrow, back, "8svx");

    const std::string ima = Path("speech.ima");
    Shell("sox -V0 -n -r 8000 '" + ima + "' synth 0.2 sine 500");
    TFile speech;
    speech.Load(ima);
    EXPECT_EQ(speech.Size, 1);
    EXPECT_EQ(SaveError(speech, ima), "no error");
    try {
        speech.Save(Path("speech.vox"));
        ADD_FAILURE() << "saved to another 4-bit type without consent";
    } catch (const NSWave::xfewerbits& e) {
        EXPECT_EQ(e.TypeBits, 4u);
        EXPECT_EQ(e.SoundBits, 8u);
    }
    for (const std::string& file : {narrow, ima})
        fs::remove(file);
}

} // namespace
