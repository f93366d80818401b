// The program as the desktop meets it: installed into a prefix (program,
// desktop entry, icons, metadata, checked by the desktop's own validators),
// started by a session bus from its installed service file, and the entry's
// MIME types against what the library reads.

#include <gtest/gtest.h>

#include <signal.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "shell/instance.h"
#include "shell/privatebus.h"
#include "shell/runprogram.h"
#include "wave/file.h"
#include "wave/formats.h"

using NSShellTest::RunProgram;
using NSShellTest::TPrivateBus;
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
std::map<QString, QString> EntryKeys(const QString& path,
                                     const QString& group = "[Desktop Entry]") {
    QFile file(path);
    std::map<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    bool inMain = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith('['))
            inMain = line == group;
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
    const std::set<QString> listed =
        EntryMimeTypes(SourceDir() + "/data/io.github.hollin.brimvale.desktop");

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
    EXPECT_TRUE(missing.empty()) << "readable but not in the desktop entry:" << Listed(missing);
    EXPECT_TRUE(extra.empty()) << "in the desktop entry but not read by the library:"
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
    // The desktop finds the entry, the metadata and the bus's service by the
    // program's id.
    const QString entry = root.filePath("share/applications/io.github.hollin.brimvale.desktop");
    const QString metainfo = root.filePath("share/metainfo/io.github.hollin.brimvale.metainfo.xml");
    const QString service =
        root.filePath("share/dbus-1/services/io.github.hollin.brimvale.service");
    const QString icons = root.filePath("share/icons/hicolor/");
    for (const QString& file : {entry, metainfo, service, icons + "scalable/apps/brimvale.svg"})
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    // The user guide, where the installed program's Help looks for it, with
    // its pictures.
    for (const char* file : {"index.html", "window.png", "effects.png"})
        EXPECT_TRUE(
            QFileInfo(root.filePath(QStringLiteral("share/brimvale/guide/") + file)).isFile())
            << file;
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
    EXPECT_EQ(keys["DBusActivatable"], "true");
    // The bus starts the program installed with it.
    auto serviceKeys = EntryKeys(service, "[D-BUS Service]");
    EXPECT_EQ(serviceKeys["Name"], "io.github.hollin.brimvale");
    EXPECT_EQ(serviceKeys["Exec"], program.absoluteFilePath());

    // Warnings count as failures too.
    const TRun entryCheck = RunProgram(validateEntry, {entry});
    EXPECT_EQ(entryCheck.Status, 0);
    EXPECT_EQ((entryCheck.Out + entryCheck.Err).trimmed().toStdString(), "");
    // Not even a note (I:) or a pedantic remark (P:).
    const TRun metaCheck = RunProgram(appstream, {"validate", "--no-net", "--pedantic", metainfo});
    EXPECT_EQ(metaCheck.Status, 0) << metaCheck.Out.toStdString() << metaCheck.Err.toStdString();
    EXPECT_FALSE(metaCheck.Out.contains(
        QRegularExpression("^[IWEP]: ", QRegularExpression::MultilineOption)))
        << metaCheck.Out.toStdString();
    EXPECT_TRUE(metaCheck.Out.contains("Validation was successful")) << metaCheck.Out.toStdString();

    // The manual page and the completion, where man and bash-completion look.
    EXPECT_TRUE(QFileInfo(root.filePath("share/man/man1/brimvale.1")).isFile());
    EXPECT_TRUE(QFileInfo(root.filePath("share/bash-completion/completions/brimvale")).isFile());
}

// The metadata's screenshots are the pictures kept in data/screenshots/, at
// the sizes it states, small enough for a software centre to fetch.
TEST(DesktopEntry, TheMetadatasScreenshotsAreTheKeptPictures) {
    ASSERT_FALSE(SourceDir().isEmpty()) << "SOURCE_DIR is not set";
    QFile file(SourceDir() + "/data/io.github.hollin.brimvale.metainfo.xml");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int images = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("image"))
            continue;
        const int width = xml.attributes().value("width").toInt();
        const int height = xml.attributes().value("height").toInt();
        const QString url = xml.readElementText();
        const qsizetype at = url.indexOf("/data/screenshots/");
        ASSERT_GE(at, 0) << url.toStdString();
        const QString path = SourceDir() + url.mid(at);
        const QImage picture(path);
        EXPECT_EQ(picture.size(), QSize(width, height)) << path.toStdString();
        EXPECT_LT(QFileInfo(path).size(), 100 * 1024) << path.toStdString();
        ++images;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GE(images, 2);
}

// As the desktop opens a file with a DBusActivatable entry: it calls Open on
// the program's name, and the bus starts the installed program from its
// service file, which opens the file.
TEST(DesktopEntry, TheBusStartsTheInstalledProgramToOpenAFile) {
    NEED_TOOL(daemon, "dbus-daemon");
    QTemporaryDir prefix, home;
    ASSERT_TRUE(prefix.isValid() && home.isValid());
    const TRun install = RunProgram(QStringLiteral(BRIMVALE_CMAKE),
                                    {"--install", BRIMVALE_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(install.Status, 0) << install.Err.toStdString();

    QDir(home.path()).mkpath("runtime");
    QFile::setPermissions(home.filePath("runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("BRIMVALE_AUDIO", "virtual");
    environment.insert("BRIMVALE_CONFIG_DIR", home.filePath("config"));
    environment.insert("XDG_STATE_HOME", home.filePath("state"));
    environment.insert("XDG_RUNTIME_DIR", home.filePath("runtime"));
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    TPrivateBus bus(prefix.filePath("share/dbus-1/services"), environment);
    ASSERT_FALSE(bus.Address.isEmpty());
    QDBusConnection desktop = QDBusConnection::connectToBus(bus.Address, "desktop-test");
    ASSERT_TRUE(desktop.isConnected());

    const QString sound = home.filePath("a sound.wav");
    NSWave::TFile file(8000, 1, 2, 1);
    file.SetSize(80, 1);
    file.Save(sound.toStdString());
    QDBusMessage open = QDBusMessage::createMethodCall(ProgramId, ProgramObjectPath,
                                                       "org.freedesktop.Application", "Open");
    open << QStringList{QString::fromLatin1(QUrl::fromLocalFile(sound).toEncoded())}
         << QVariantMap();
    const QDBusMessage reply = desktop.call(open, QDBus::Block, 60000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();

    const uint pid = desktop.interface()->servicePid(ProgramId).value();
    EXPECT_NE(pid, 0u);
    // The program opened the file (the recent-file list is written at once
    // for files handed over).
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QSettings store(home.filePath("config/brimvale.ini"), QSettings::IniFormat);
            return store.value("Recent File List/File1").toString() == sound;
        },
        60000));
    if (pid != 0)
        kill(pid_t(pid), SIGKILL);
    QDBusConnection::disconnectFromBus("desktop-test");
}
