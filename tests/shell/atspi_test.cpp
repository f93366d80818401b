// The program as a screen reader meets it: started on a private X server
// with a private session bus and the desktop's accessibility bus
// (at-spi2-core), its windows are read over that bus as any assistive
// technology reads them. Every button, slider and scroll bar has a name, the
// channel strips say where the cursor is, and moving a strip's value (as a
// screen reader does) announces the new value and words on the bus.

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

#include "privatebus.h"

namespace {

const QString LauncherPath = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
const QString Registry = QStringLiteral("org.a11y.atspi.Registry");
const QString Accessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString RootPath = QStringLiteral("/org/a11y/atspi/accessible/root");

// An object on the accessibility bus: the connection that owns it, its path.
struct TRef {
    QString Service;
    QDBusObjectPath Path;
};

} // namespace

Q_DECLARE_METATYPE(TRef)
Q_DECLARE_METATYPE(QList<TRef>)

QDBusArgument& operator<<(QDBusArgument& out, const TRef& ref) {
    out.beginStructure();
    out << ref.Service << ref.Path;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, TRef& ref) {
    in.beginStructure();
    in >> ref.Service >> ref.Path;
    in.endStructure();
    return in;
}

namespace {

// The signals the program sends on the bus.
class TListener : public QObject {
    Q_OBJECT
public:
    struct TSignal {
        QString Member, Path, Detail, Text;
    };
    QList<TSignal> Heard;
public slots:
    void Got(const QDBusMessage& message) {
        TSignal s{message.member(), message.path(), QString(), QString()};
        const QList<QVariant> args = message.arguments();
        if (!args.isEmpty())
            s.Detail = args[0].toString();
        if (args.size() > 3)
            s.Text = qvariant_cast<QDBusVariant>(args[3]).variant().toString();
        Heard.append(s);
    }
};

bool InCI() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

class TBus {
public:
    explicit TBus(QDBusConnection connection) : Bus(std::move(connection)) {}
    QDBusMessage Call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QList<QVariant>& args = {}) const {
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
        call.setArguments(args);
        return Bus.call(call, QDBus::Block, 20000);
    }
    QVariant Property(const TRef& ref, const QString& interface, const QString& name) const {
        const QDBusMessage reply = Call(ref.Service, ref.Path.path(), Properties,
                                        QStringLiteral("Get"), {interface, name});
        return reply.arguments().isEmpty()
                   ? QVariant()
                   : qvariant_cast<QDBusVariant>(reply.arguments()[0]).variant();
    }
    QList<TRef> Children(const TRef& ref) const {
        const QDBusMessage reply =
            Call(ref.Service, ref.Path.path(), Accessible, QStringLiteral("GetChildren"));
        QList<TRef> children;
        if (!reply.arguments().isEmpty())
            reply.arguments()[0].value<QDBusArgument>() >> children;
        return children;
    }
    QString Role(const TRef& ref) const {
        const QDBusMessage reply =
            Call(ref.Service, ref.Path.path(), Accessible, QStringLiteral("GetRoleName"));
        return reply.arguments().isEmpty() ? QString() : reply.arguments()[0].toString();
    }
    QDBusConnection Bus;
};

} // namespace

TEST(AccessibilityBus, AScreenReaderFindsNamedControlsAndHearsTheChannelsChange) {
    for (const QString& tool : {QStringLiteral("xvfb-run"), QStringLiteral("dbus-daemon")})
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            if (InCI())
                FAIL() << tool.toStdString() << " is missing (scripts/install-deps installs it)";
            GTEST_SKIP() << tool.toStdString() << " is missing";
        }
    if (!QFile::exists(LauncherPath)) {
        if (InCI())
            FAIL() << "at-spi2-core is missing (scripts/install-deps installs it)";
        GTEST_SKIP() << "at-spi2-core is missing";
    }
    qDBusRegisterMetaType<TRef>();
    qDBusRegisterMetaType<QList<TRef>>();

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString runtime = folder.filePath("runtime");
    ASSERT_TRUE(QDir().mkdir(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime);
    NSShellTest::TPrivateBus session(QString(), env);
    ASSERT_FALSE(session.Address.isEmpty());
    env.insert("DBUS_SESSION_BUS_ADDRESS", session.Address);

    // Each program in a process group of its own, ended with all it started.
    auto start = [&](QProcess& process, const QString& program, const QStringList& args) {
        process.setProcessEnvironment(env);
        process.setChildProcessModifier([] { setpgid(0, 0); });
        process.start(program, args);
        return process.waitForStarted();
    };
    auto end = [](QProcess& process) {
        if (process.state() == QProcess::NotRunning)
            return;
        ::kill(-pid_t(process.processId()), SIGTERM);
        if (!process.waitForFinished(20000)) {
            ::kill(-pid_t(process.processId()), SIGKILL);
            process.waitForFinished();
        }
    };
    QProcess launcher;
    ASSERT_TRUE(start(launcher, LauncherPath, {"--launch-immediately"}));

    QDBusConnection sessionBus = QDBusConnection::connectToBus(session.Address, "atspi-session");
    ASSERT_TRUE(sessionBus.isConnected());
    QString address;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QDBusMessage reply =
                TBus(sessionBus)
                    .Call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
            if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
                address = reply.arguments()[0].toString();
            return !address.isEmpty();
        },
        30000));
    TBus bus(QDBusConnection::connectToBus(address, "atspi-reader"));
    ASSERT_TRUE(bus.Bus.isConnected());

    // Tell the registry what this reader listens to, as a screen reader
    // does; the program sends only what someone listens to.
    for (const char* event : {"object:property-change:accessible-value", "object:text-changed",
                              "object:text-changed:insert"}) {
        QDBusMessage reply =
            bus.Call(Registry, "/org/a11y/atspi/registry", "org.a11y.atspi.Registry",
                     "RegisterEvent", {QString::fromLatin1(event)});
        if (reply.type() == QDBusMessage::ErrorMessage)
            reply =
                bus.Call(Registry, "/org/a11y/atspi/registry", "org.a11y.atspi.Registry",
                         "RegisterEvent", {QString::fromLatin1(event), QStringList(), QString()});
        ASSERT_NE(reply.type(), QDBusMessage::ErrorMessage) << reply.errorMessage().toStdString();
    }
    TListener listener;
    for (const char* member : {"PropertyChange", "TextChanged"})
        ASSERT_TRUE(bus.Bus.connect(QString(), QString(), "org.a11y.atspi.Event.Object",
                                    QString::fromLatin1(member), &listener,
                                    SLOT(Got(QDBusMessage))));

    // A second of stereo sound to look at.
    const QString sound = folder.filePath("look.wav");
    ASSERT_EQ(QProcess::execute("sox", {"-n", "-r", "22050", "-c", "2", "-b", "16", sound, "synth",
                                        "1", "sine", "440"}),
              0);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    env.insert("BRIMVALE_AUDIO", "virtual");
    env.insert("BRIMVALE_CONFIG_DIR", folder.filePath("config"));
    env.insert("XDG_STATE_HOME", folder.filePath("state"));
    // xvfb-run's own files, left behind when it is ended.
    ASSERT_TRUE(QDir().mkdir(folder.filePath("tmp")));
    env.insert("TMPDIR", folder.filePath("tmp"));
    // The X libraries keep what they allocate until the process ends.
    env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
    QProcess program;
    ASSERT_TRUE(
        start(program, "xvfb-run", {"-a", "-s", "-screen 0 1024x768x24", BRIMVALE_PROGRAM, sound}));

    // The program joins the registry's desktop; then its tree fills in.
    TRef channel;
    QMap<QString, QStringList> named; // role → names
    QStringList unnamed;
    const bool found = QTest::qWaitFor(
        [&] {
            const QList<TRef> apps = bus.Children({Registry, QDBusObjectPath(RootPath)});
            named.clear();
            unnamed.clear();
            QList<TRef> todo = apps;
            while (!todo.isEmpty()) {
                const TRef ref = todo.takeFirst();
                const QString name = bus.Property(ref, Accessible, "Name").toString();
                const QString role = bus.Role(ref);
                named[role] << name;
                if (name.startsWith("Channel 1 of "))
                    channel = ref;
                if (name.isEmpty() &&
                    (role == "push button" || role == "slider" || role == "scroll bar" ||
                     role == "label" || role == "chart" || role == "progress bar"))
                    unnamed << role;
                todo += bus.Children(ref);
            }
            return !channel.Service.isEmpty() && named["push button"].contains("Play");
        },
        90000);
    if (!found) {
        end(program);
        end(launcher);
        FAIL() << "the program's channel strips never showed on the accessibility bus:\n"
               << program.readAllStandardError().toStdString();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    EXPECT_EQ(bus.Role(channel), "chart");
    for (const char* name : {"Start", "End", "Length", "Time line"})
        EXPECT_TRUE(named["label"].contains(name)) << name;
    EXPECT_TRUE(named["slider"].contains("Playback volume"));
    EXPECT_TRUE(named["progress bar"].contains("Recording level"));

    // A screen reader moves the cursor to half a second through the value.
    listener.Heard.clear();
    const QDBusMessage set =
        bus.Call(channel.Service, channel.Path.path(), Properties, "Set",
                 {"org.a11y.atspi.Value", "CurrentValue", QVariant::fromValue(QDBusVariant(0.5))});
    EXPECT_NE(set.type(), QDBusMessage::ErrorMessage) << set.errorMessage().toStdString();
    auto heard = [&](const QString& member, const QString& detail, const QString& text) {
        for (const TListener::TSignal& s : listener.Heard)
            if (s.Path == channel.Path.path() && s.Member == member && s.Detail == detail &&
                s.Text.contains(text))
                return true;
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return heard("PropertyChange", "accessible-value", QString()); }, 20000));
    auto told = [&] {
        std::string all;
        for (const TListener::TSignal& s : listener.Heard)
            all += (s.Member + " " + s.Detail + " " + s.Path + " " + s.Text + "\n").toStdString();
        return all;
    };
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return heard("TextChanged", "insert", "Cursor at 0.500"); }, 20000))
        << told();
    EXPECT_DOUBLE_EQ(bus.Property(channel, "org.a11y.atspi.Value", "CurrentValue").toDouble(), 0.5);
    const QDBusMessage text =
        bus.Call(channel.Service, channel.Path.path(), "org.a11y.atspi.Text", "GetText", {0, -1});
    ASSERT_FALSE(text.arguments().isEmpty()) << text.errorMessage().toStdString();
    EXPECT_EQ(text.arguments()[0].toString(), "Cursor at 0.500 seconds");

    end(program);
    end(launcher);
}

#include "atspi_test.moc"
