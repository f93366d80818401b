// The manual page and the bash completion against the program's own --help:
// every option it prints is documented and completed, the page is clean
// roff, and the completion offers every file (a sound is known by its
// content) and, after "--", names that begin with a dash.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

#include "shell/runprogram.h"

using NSShellTest::RunProgram;
using NSShellTest::TRun;

namespace {

#define NEED(condition, what)                                                                      \
    if (!(condition)) {                                                                            \
        const char* ci = std::getenv("CI");                                                        \
        if (ci && std::string(ci) == "true")                                                       \
            FAIL() << what << " is missing (scripts/install-deps installs it)";                    \
        GTEST_SKIP() << what << " is missing";                                                     \
    }

const char* const BashCompletion = "/usr/share/bash-completion/bash_completion";

QString Data(const QString& name) {
    return QString::fromLocal8Bit(std::getenv("SOURCE_DIR")) + "/data/" + name;
}

// The options --help prints ("  -h, --help  Shows …").
QSet<QString> HelpOptions() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "no-such-platform");
    const TRun help = RunProgram(QStringLiteral(BRIMVALE_PROGRAM), {"--help"}, environment);
    QSet<QString> options;
    static const QRegularExpression option(QStringLiteral("^  (-\\w), (--[\\w-]+)"),
                                           QRegularExpression::MultilineOption);
    for (auto it = option.globalMatch(help.Out); it.hasNext();) {
        const auto match = it.next();
        options << match.captured(1) << match.captured(2);
    }
    return options;
}

// What the completion offers for the words typed (the last one is being
// completed), run in folder.
QSet<QString> Completions(const QStringList& words, const QString& folder) {
    QString line = "source " + QString(BashCompletion) + " && source '" +
                   Data("brimvale.bash-completion") + "' && COMP_WORDS=(";
    for (const QString& word : words)
        line += " '" + word + "'";
    line += ") && COMP_CWORD=" + QString::number(words.size() - 1) +
            " && COMP_LINE=\"${COMP_WORDS[*]}\" && COMP_POINT=${#COMP_LINE} && _brimvale && "
            "printf '%s\\n' \"${COMPREPLY[@]}\"";
    QProcess bash;
    bash.setWorkingDirectory(folder);
    bash.start("bash", {"--norc", "-c", line});
    bash.waitForFinished(60000);
    QSet<QString> offered;
    for (const QString& word :
         QString::fromLocal8Bit(bash.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        offered << word;
    return offered;
}

} // namespace

TEST(ManPage, DocumentsEveryOptionOfTheHelpInCleanRoff) {
    NEED(!QStandardPaths::findExecutable("groff").isEmpty(), "groff");
    const QSet<QString> options = HelpOptions();
    ASSERT_TRUE(options.contains("--help") && options.contains("-v")) << options.size();

    // No warning of any kind from the formatter.
    const TRun check = RunProgram("groff", {"-man", "-Tutf8", "-ww", "-z", Data("brimvale.1")});
    EXPECT_EQ(check.Status, 0);
    EXPECT_EQ(check.Err.toStdString(), "");

    // The page as a reader sees it, without bold and underline.
    const TRun page = RunProgram("groff", {"-man", "-Tascii", "-P-cbou", Data("brimvale.1")});
    ASSERT_EQ(page.Status, 0) << page.Err.toStdString();
    for (const QString& name : options)
        EXPECT_TRUE(page.Out.contains(QRegularExpression("(^|[ ,])" + name + "([ ,]|$)",
                                                         QRegularExpression::MultilineOption)))
            << name.toStdString() << " is not in the manual page";
    for (const char* word : {"BRIMVALE_CONFIG_DIR", "io.github.hollin.brimvale", "EXIT STATUS"})
        EXPECT_TRUE(page.Out.contains(word)) << word;
}

TEST(BashCompletion, OffersTheHelpsOptionsAndEveryFile) {
    NEED(QFileInfo::exists(BashCompletion), "bash-completion");
    const QSet<QString> options = HelpOptions();
    ASSERT_FALSE(options.isEmpty());
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"a b.wav", "notes", "-dash.wav"})
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    QDir(folder.path()).mkdir("sub");

    QSet<QString> withEnd = options;
    withEnd << "--";
    EXPECT_EQ(Completions({"brimvale", "-"}, folder.path()), withEnd);
    EXPECT_EQ(Completions({"brimvale", "--v"}, folder.path()), QSet<QString>{"--version"});
    // Files of any name, and folders to go into.
    EXPECT_EQ(Completions({"brimvale", ""}, folder.path()),
              (QSet<QString>{"a b.wav", "notes", "-dash.wav", "sub"}));
    EXPECT_EQ(Completions({"brimvale", "a"}, folder.path()), QSet<QString>{"a b.wav"});
    // After "--" a dash begins a file name.
    EXPECT_EQ(Completions({"brimvale", "--", "-"}, folder.path()), QSet<QString>{"-dash.wav"});
}
