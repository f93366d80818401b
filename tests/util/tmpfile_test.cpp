#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "support/testenv.h"
#include "util/tmpfile.h"
#include "util/xmsg.h"

namespace fs = std::filesystem;

namespace {

// File names in the temporary directory.
std::set<std::string> Listing() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(TestTmpDir()))
        names.insert(entry.path().filename().string());
    return names;
}

void Write(const std::string& path) {
    std::ofstream(path, std::ios::binary) << "data";
}

TEST(TmpFile, SuffixRule) {
    struct TCase {
        const char* Name;
        const char* Suffix;
        const char* Want;
    };
    const TCase cases[] = {
        {"/t/TMPab12cd.TMP", "WAV", "/t/TMPab12cd.WAV"},
        {"/t/TMPab12cd.TMP", ".sw", "/t/TMPab12cd..sw"},
        {"/t/TMPab12cd.TMP", "", "/t/TMPab12cd."},
        {"/t/x.y.z", "ub", "/t/x.y.ub"},
        // A '.' in the directory part is no extension of the file.
        {"/a.b/TMPab12cd", "WAV", "/a.b/TMPab12cd.WAV"},
        {"TMP", "sw", "TMP.sw"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TTmpFile::ApplySuffix(c.Name, c.Suffix), c.Want) << c.Name << " " << c.Suffix;
}

TEST(TmpFile, TmpInAnyCaseNamesTheReservedFileItself) {
    for (const char* suffix : {"tmp", "TMP", "Tmp"}) {
        std::string name;
        {
            TTmpFile tmp(suffix);
            name = tmp.GetFileName();
            const fs::path path(name);
            EXPECT_EQ(path.parent_path(), fs::path(TestTmpDir()));
            EXPECT_EQ(path.filename().string().substr(0, 3), "TMP");
            EXPECT_EQ(path.extension(), ".TMP");
            // The reservation is the only file, and it is this one.
            EXPECT_EQ(Listing(), std::set<std::string>{path.filename().string()});
            Write(name);
        }
        EXPECT_FALSE(fs::exists(name)) << suffix;
        EXPECT_TRUE(Listing().empty()) << suffix;
    }
}

TEST(TmpFile, OtherSuffixesLeaveNothingBehind) {
    for (const char* suffix : {"WAV", ".sw", "ub"}) {
        TTmpFile tmp(suffix);
        const std::string name = tmp.GetFileName();
        const std::string file = fs::path(name).filename().string();
        EXPECT_EQ(file.substr(0, 3), "TMP");
        EXPECT_EQ(file.substr(file.size() - std::string(suffix).size() - 1),
                  "." + std::string(suffix));
        // Only the reservation exists until the holder writes the file.
        ASSERT_EQ(Listing().size(), 1u);
        EXPECT_NE(*Listing().begin(), file);
        Write(name);
        EXPECT_EQ(Listing().size(), 2u);
        tmp.Release();
        EXPECT_TRUE(tmp.IsEmpty());
        EXPECT_EQ(tmp.GetFileName(), "");
        EXPECT_TRUE(Listing().empty()) << suffix;
    }
}

TEST(TmpFile, NamesAreUnique) {
    TTmpFile a("WAV"), b("WAV"), c("tmp"), d("tmp");
    std::set<std::string> names{a.GetFileName(), b.GetFileName(), c.GetFileName(), d.GetFileName()};
    EXPECT_EQ(names.size(), 4u);
}

TEST(TmpFile, CopiesShareTheFileAndTheLastOneDeletesIt) {
    TTmpFile first("WAV");
    const std::string name = first.GetFileName();
    Write(name);
    TTmpFile second(first);
    TTmpFile third;
    EXPECT_EQ(third.UseCount(), 0);
    third = second;
    third = third;
    EXPECT_EQ(first.UseCount(), 3);
    EXPECT_EQ(third.GetFileName(), name);

    first.Release();
    first.Release(); // an empty handle lets go of nothing
    second = TTmpFile();
    EXPECT_EQ(third.UseCount(), 1);
    EXPECT_TRUE(fs::exists(name));
    third.Release();
    EXPECT_FALSE(fs::exists(name));
    EXPECT_TRUE(Listing().empty());

    // Assigning over a handle releases the file it held.
    TTmpFile held("sw");
    Write(held.GetFileName());
    const std::string old = held.GetFileName();
    held = TTmpFile("ub");
    EXPECT_FALSE(fs::exists(old));
    held.Release();
    EXPECT_TRUE(Listing().empty());
}

TEST(TmpFile, KeptWhenNotToBeDeleted) {
    std::string kept, reservedAsFile;
    {
        TTmpFile wav("WAV", false);
        kept = wav.GetFileName();
        Write(kept);
        TTmpFile tmp("tmp", false);
        reservedAsFile = tmp.GetFileName();
    }
    // The file stays for whoever takes it over; a separate reservation goes.
    EXPECT_EQ(Listing(), (std::set<std::string>{fs::path(kept).filename().string(),
                                                fs::path(reservedAsFile).filename().string()}));
    fs::remove(kept);
    fs::remove(reservedAsFile);
}

TEST(TmpFile, NoNameInAMissingDirectory) {
    const std::string saved = TestTmpDir();
    setenv("TMPDIR", (saved + "/missing").c_str(), 1);
    try {
        TTmpFile tmp("tmp");
        ADD_FAILURE() << "made " << tmp.GetFileName();
    } catch (const xmsg& e) {
        EXPECT_EQ(e.why(), "can't make temp file name");
    }
    setenv("TMPDIR", saved.c_str(), 1);
    EXPECT_TRUE(Listing().empty());
}

} // namespace
