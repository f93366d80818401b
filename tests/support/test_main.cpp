// Shared main of every test program: each test process gets its own fresh
// temporary, state and settings directories, so no test touches the user's
// files, and a test that leaves temporary files or recordings behind fails.

#include <gtest/gtest.h>

#ifdef BRIMVALE_GUI_TESTS
#include <QApplication>
#else
#include <QCoreApplication>
#endif
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/audio_virtual.h"
#include "support/scriptedfiledialog.h"
#include "support/scriptedmsgbox.h"
#include "support/testenv.h"

namespace fs = std::filesystem;

namespace {

std::string MakeDir(const char* pattern) {
    std::string path = (fs::temp_directory_path() / pattern).string();
    if (!mkdtemp(path.data()))
        std::abort();
    return path;
}

std::string TmpDir;
std::string StateDir;

class TTmpDirCheck : public ::testing::Environment {
public:
    void TearDown() override {
        std::string left;
        for (const auto& entry : fs::directory_iterator(TmpDir))
            left += " " + entry.path().filename().string();
        if (!left.empty())
            ADD_FAILURE() << "files left in the temporary directory:" << left;
        // Recordings are captured under the state directory; folders made
        // there may stay, files may not.
        left.clear();
        for (const auto& entry : fs::recursive_directory_iterator(StateDir))
            if (!entry.is_directory())
                left += " " + fs::relative(entry.path(), StateDir).string();
        if (!left.empty())
            ADD_FAILURE() << "files left in the state directory:" << left;
    }
};

} // namespace

const std::string& TestTmpDir() {
    return TmpDir;
}

const std::string& TestStateDir() {
    return StateDir;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::string root = MakeDir("brimvale-test-XXXXXX");
    TmpDir = root + "/tmp";
    fs::create_directory(TmpDir);
    fs::create_directory(root + "/config");
    StateDir = root + "/state";
    fs::create_directory(StateDir);
    setenv("TMPDIR", TmpDir.c_str(), 1);
    setenv("XDG_STATE_HOME", StateDir.c_str(), 1);
    setenv("BRIMVALE_CONFIG_DIR", (root + "/config").c_str(), 1);
    setenv("BRIMVALE_AUDIO", "virtual", 1);
    // The tests move the card on themselves, block by block.
    NSAudio::TVirtualCard::Instance().Scripted = true;
#ifdef BRIMVALE_GUI_TESTS
    // Windows are drawn offscreen unless a test run asks for a real display
    // (the clipboard tests start their own X server).
    const char* platform = std::getenv("BRIMVALE_TEST_PLATFORM");
    setenv("QT_QPA_PLATFORM", platform && *platform ? platform : "offscreen", 1);
    // Qt wants a private runtime directory; without one it makes its own in
    // TMPDIR, which would count as a file left behind.
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        std::string runtime = root + "/runtime";
        fs::create_directory(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    ::testing::AddGlobalTestEnvironment(new TTmpDirCheck);
    // With no answers scripted, any message box fails the test that shows it.
    TScriptedMessageBoxes unexpected;
    TScriptedFileDialogs noDialogs;
    int rc = RUN_ALL_TESTS();
    fs::remove_all(root);
    return rc;
}
