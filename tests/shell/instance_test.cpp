// One running program: a second start of the built program hands its files
// to the first over a session bus of the test's own, or over the local
// socket where there is no bus, and ends with status 0; the first opens them.

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <string>

#include "shell/instance.h"
#include "shell/privatebus.h"
#include "shell/runprogram.h"
#include "wave/file.h"

using NSShellTest::RunProgram;
using NSShellTest::TPrivateBus;
using NSShellTest::TRun;

namespace {

constexpr int WaitMs = 60000; // a loaded machine, a sanitizer build

// A user of the program: settings, recordings and the runtime folder of its
// own, reached through the bus at busAddress (none: a bus that is not there).
struct TUser {
    QTemporaryDir Home;
    QString Runtime() const { return Home.filePath("runtime"); }
    QString Config() const { return Home.filePath("config"); }

    QProcessEnvironment Environment(const QString& busAddress) const {
        QDir(Home.path()).mkpath("runtime");
        QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("BRIMVALE_AUDIO", "virtual");
        environment.insert("BRIMVALE_CONFIG_DIR", Config());
        environment.insert("XDG_STATE_HOME", Home.filePath("state"));
        environment.insert("XDG_RUNTIME_DIR", Runtime());
        environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress.isEmpty()
                                                           ? "unix:path=" + Home.filePath("no-bus")
                                                           : busAddress);
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_STARTER_ADDRESS",
                                 "DBUS_STARTER_BUS_TYPE", "DESKTOP_STARTUP_ID"})
            environment.remove(name);
        return environment;
    }

    // The files its program has opened (its recent-file list).
    QSet<QString> Opened() const {
        QSettings store(Config() + "/brimvale.ini", QSettings::IniFormat);
        store.beginGroup("Recent File List");
        QSet<QString> files;
        for (const QString& key : store.childKeys())
            files.insert(store.value(key).toString());
        return files;
    }
};

class SingleProgram : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Sounds.isValid() && First.Home.isValid()); }
    void TearDown() override {
        if (Running.state() != QProcess::NotRunning) {
            Running.kill();
            Running.waitForFinished();
        }
    }

    QString Sound(const QString& name) {
        NSWave::TFile file(8000, 1, 2, 1);
        file.SetSize(80, 1);
        const QString path = Sounds.filePath(name);
        file.Save(path.toStdString());
        return path;
    }

    void StartFirst(const QString& busAddress) {
        Running.setProcessEnvironment(First.Environment(busAddress));
        Running.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        Running.start(QStringLiteral(BRIMVALE_PROGRAM), {});
        ASSERT_TRUE(Running.waitForStarted());
    }

    // A second start from the folder of the sounds, with settings of its
    // own (nothing it opened itself could show in the first's list) and the
    // runtime folder given (none: one of its own).
    TRun Second(const QString& busAddress, const QStringList& files,
                const QString& runtime = QString()) {
        TUser second;
        QProcessEnvironment environment = second.Environment(busAddress);
        if (!runtime.isEmpty())
            environment.insert("XDG_RUNTIME_DIR", runtime);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(Sounds.path());
        process.start(QStringLiteral(BRIMVALE_PROGRAM), files);
        TRun run;
        if (!process.waitForFinished(WaitMs)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.Status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.Err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_FALSE(QFileInfo::exists(second.Config() + "/brimvale.ini"))
            << "the second start opened files itself";
        return run;
    }

    // Names that must survive the way over: a space, a hash, a percent sign
    // and letters beyond ASCII.
    void HandOverAndCheck(const QString& busAddress, const QString& runtime = QString()) {
        const QString spaced = Sound("two words.wav");
        const QString odd = Sound(QString::fromUtf8("gr\xc3\xbc\xc3\x9f #1 100%.wav"));
        const TRun second = Second(busAddress, {"two words.wav", odd, "missing.wav"}, runtime);
        EXPECT_EQ(second.Status, 0) << second.Err.toStdString();
        const QSet<QString> expected = {spaced, odd};
        EXPECT_TRUE(QTest::qWaitFor([&] { return First.Opened() == expected; }, WaitMs))
            << QStringList(First.Opened().values()).join(", ").toStdString();
        EXPECT_EQ(Running.state(), QProcess::Running);
    }

    QTemporaryDir Sounds;
    TUser First;
    QProcess Running;
};

#define NEED_DBUS_DAEMON()                                                                         \
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) {                                 \
        const char* ci = std::getenv("CI");                                                        \
        if (ci && std::string(ci) == "true")                                                       \
            FAIL() << "dbus-daemon is missing (scripts/install-deps installs it)";                 \
        GTEST_SKIP() << "dbus-daemon is missing";                                                  \
    }

} // namespace

TEST_F(SingleProgram, ASecondStartHandsItsFilesOverTheSessionBus) {
    NEED_DBUS_DAEMON();
    TPrivateBus bus;
    ASSERT_FALSE(bus.Address.isEmpty());
    QDBusConnection watch = QDBusConnection::connectToBus(bus.Address, "single-program-test");
    ASSERT_TRUE(watch.isConnected());
    StartFirst(bus.Address);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Running.state() != QProcess::Running ||
                   watch.interface()->isServiceRegistered(ProgramId).value();
        },
        WaitMs));
    ASSERT_EQ(Running.state(), QProcess::Running);

    // The second start has no socket to find: its runtime folder is its own.
    HandOverAndCheck(bus.Address);

    // Without files it raises the first and ends; nothing more opens.
    const TRun bare = Second(bus.Address, {});
    EXPECT_EQ(bare.Status, 0) << bare.Err.toStdString();
    EXPECT_EQ(First.Opened().size(), 2);
    QDBusConnection::disconnectFromBus("single-program-test");
}

TEST_F(SingleProgram, WithoutABusASecondStartHandsItsFilesOverTheSocket) {
    StartFirst(QString());
    const QString socket = First.Runtime() + "/" + ProgramId;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return Running.state() != QProcess::Running || QFileInfo::exists(socket); }, WaitMs));
    ASSERT_EQ(Running.state(), QProcess::Running);
    // Only its user may connect.
    EXPECT_EQ(QFileInfo(socket).permissions() &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());

    // The second start shares the first's runtime folder, as one user's
    // programs do.
    HandOverAndCheck(QString(), First.Runtime());
}
