// The program as the desktop meets it: installed into a prefix (program,
// desktop entry, icons, metadata, checked by the desktop's own validators),
// and the entry's MIME types against what the library reads.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "shell/runprogram.h"
#include "wave/formats.h"

using NSShellTest::RunProgram;
using NSShellTest::TRun;

namespace {

// A validator the desktop uses; without it the test skips on a developer's
// machine, but in CI it must be there.
#define NEED_TOOL(var, name)                                                                       \
    const QString var = QStandardPaths::findExecutable(QStringLiteral(name));                      \
    if (var.isEmpty()) {                                                                           \
        const char* ci = std::getenv("CI");                                                        \
        if (ci && std::string(ci) == "true")                                                       \
            FAIL() << name << " is missing (scripts/install-deps installs it)";                    \
        GTEST_SKIP() << name << " is missing";                                                     \
    }

QString SourceDir() {
    const char* dir = std::getenv("SOURCE_DIR");
    return dir ? QString::fromLocal8Bit(dir) : QString();
}

// The keys of a desktop entry's main group.
std::map<QString, QString> EntryKeys(const QString& path) {
    QFile file(path);
    std::map<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inMain = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith('['))
            inMain = line == "[Desktop Entry]";
        else if (const qsizetype equals = line.indexOf('='); inMain && equals > 0)
            keys[line.left(equals)] = line.mid(equals + 1);
    }
    return keys;
}

std::set<QString> EntryMimeTypes(const QString& path) {
    std::set<QString> types;
    for (const QString& type : EntryKeys(path)["MimeType"].split(';', Qt::SkipEmptyParts))
        types.insert(type);
    return types;
}

std::string Listed(const std::set<QString>& types) {
    std::string text;
    for (const QString& t : types)
        text += " " + t.toStdString();
    return text;
}

} // namespace

TEST(DesktopEntry, ItsMimeTypesAreTheAudioTypesOfWhatTheLibraryReads) {
    ASSERT_FALSE(SourceDir().isEmpty()) << "SOURCE_DIR is not set";
    const std::set<QString> listed = EntryMimeTypes(SourceDir() + "/data/brimvale.desktop");

    // Ogg is a container: the library's Ogg reader decodes Vorbis only, so
    // FLAC and Speex in Ogg are not claimed.
    const std::set<QString> unreadable = {"audio/x-flac+ogg", "audio/x-speex+ogg"};
    const QMimeDatabase mime;
    std::set<QString> expected;
    for (const std::string& type : NSWave::LibraryTypes(false))
        for (const QMimeType& m : mime.mimeTypesForFileName("x." + QString::fromStdString(type)))
            if (m.name().startsWith("audio/") && !unreadable.count(m.name()))
                expected.insert(m.name());
    ASSERT_TRUE(expected.count("audio/x-wav")) << "no MIME database (shared-mime-info)?";

    std::set<QString> missing, extra;
    for (const QString& t : expected)
        if (!listed.count(t))
            missing.insert(t);
    for (const QString& t : listed)
        if (!expected.count(t))
            extra.insert(t);
    EXPECT_TRUE(missing.empty()) << "readable but not in brimvale.desktop:" << Listed(missing);
    EXPECT_TRUE(extra.empty()) << "in brimvale.desktop but not read by the library:"
                               << Listed(extra);
}

TEST(DesktopEntry, InstallPutsEverythingInPlaceAndTheDesktopsValidatorsAcceptIt) {
    NEED_TOOL(validateEntry, "desktop-file-validate");
    NEED_TOOL(appstream, "appstreamcli");
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const TRun install = RunProgram(QStringLiteral(BRIMVALE_CMAKE),
                                    {"--install", BRIMVALE_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(install.Status, 0) << install.Err.toStdString();

    const QDir root(prefix.path());
    const QFileInfo program(root.filePath("bin/brimvale"));
    EXPECT_TRUE(program.isFile() && program.isExecutable());
    // The sound file reader, where the installed program looks for it.
    for (const char* name : {"brimvale-reader", "brimvale-reader-ffmpeg"}) {
        const QFileInfo reader(root.filePath(QStringLiteral("libexec/brimvale/") + name));
        EXPECT_TRUE(reader.isFile() && reader.isExecutable()) << name;
    }
    const QString entry = root.filePath("share/applications/brimvale.desktop");
    const QString metainfo = root.filePath("share/metainfo/io.github.hollin.brimvale.metainfo.xml");
    const QString icons = root.filePath("share/icons/hicolor/");
    for (const QString& file : {entry, metainfo, icons + "scalable/apps/brimvale.svg"})
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    for (int size : {48, 256}) {
        const QImage icon(icons + QStringLiteral("%1x%1/apps/brimvale.png").arg(size));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
    }

    // The entry starts the installed program and names the installed icon.
    auto keys = EntryKeys(entry);
    EXPECT_EQ(keys["Exec"], "brimvale %F");
    EXPECT_EQ(keys["Icon"], "brimvale");
    EXPECT_EQ(keys["GenericName"], "Sound Editor");
    EXPECT_EQ(keys["Categories"], "AudioVideo;Audio;AudioVideoEditing;");

    // Warnings count as failures too.
    const TRun entryCheck = RunProgram(validateEntry, {entry});
    EXPECT_EQ(entryCheck.Status, 0);
    EXPECT_EQ((entryCheck.Out + entryCheck.Err).trimmed().toStdString(), "");
    const TRun metaCheck = RunProgram(appstream, {"validate", "--no-net", metainfo});
    EXPECT_EQ(metaCheck.Status, 0) << metaCheck.Out.toStdString() << metaCheck.Err.toStdString();
    EXPECT_FALSE(metaCheck.Out.contains(QLatin1String("W: "))) << metaCheck.Out.toStdString();
}
