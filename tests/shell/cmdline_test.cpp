// The command line of the built program: help, version and unknown options
// answered before any window or sound card, and the files left once Qt has
// taken its own options.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "shell/app.h"
#include "shell/runprogram.h"

using NSShellTest::RunProgram;
using NSShellTest::TRun;

TEST(CommandLine, HelpVersionAndUnknownOptionsAnswerWithoutWindowsOrSoundCard) {
    // No window system to be had: a program that reached QApplication (and
    // so could open a window or the sound card) would fail here.
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "no-such-platform");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("BRIMVALE_AUDIO");
    environment.insert("BRIMVALE_CONFIG_DIR", home.filePath("config"));
    environment.insert("XDG_STATE_HOME", home.filePath("state"));
    const QString program = QStringLiteral(BRIMVALE_PROGRAM);

    const TRun help = RunProgram(program, {"--help"}, environment);
    EXPECT_EQ(help.Status, 0) << help.Err.toStdString();
    EXPECT_TRUE(help.Out.startsWith("Usage: brimvale [options] [files...]\n"))
        << help.Out.toStdString();
    for (const char* word : {"-h, --help", "-v, --version", "files"})
        EXPECT_TRUE(help.Out.contains(word)) << word;
    EXPECT_EQ(help.Err, "");

    for (const char* option : {"--version", "-v"}) {
        const TRun version = RunProgram(program, {option}, environment);
        EXPECT_EQ(version.Status, 0) << option;
        EXPECT_EQ(version.Out.toStdString(), "Brimvale 1.0, Alpha\n");
    }

    for (const char* bogus : {"--bogus", "-bogus"}) {
        const TRun wrong = RunProgram(program, {"a.wav", bogus}, environment);
        EXPECT_EQ(wrong.Status, 2) << bogus;
        EXPECT_EQ(wrong.Out, "");
        EXPECT_EQ(wrong.Err.toStdString(), "brimvale: Unknown option 'bogus'.\n"
                                           "Try 'brimvale --help' for more information.\n");
    }
    // Nothing was written anywhere.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

TEST(CommandLine, FilesAreWhatRemainsWhenQtTakesItsOwnOptions) {
    const TCommandLine line =
        ParseCommandLine({"/usr/bin/brimvale", "-platform", "offscreen", "a.wav", "--style=fusion",
                          "-reverse", "--qwindowtitle", "T", "b.aiff", "--", "-c.wav", "--help"});
    EXPECT_EQ(line.Action, TCommandLine::Run);
    EXPECT_EQ(line.Files, QStringList({"a.wav", "b.aiff", "-c.wav", "--help"}));

    EXPECT_EQ(ParseCommandLine({"brimvale", "x.wav", "-h"}).Action, TCommandLine::Help);
    EXPECT_EQ(ParseCommandLine({"brimvale"}).Files, QStringList());
}
