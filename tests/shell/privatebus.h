#pragma once
// A session bus of the test's own (dbus-daemon), so the programs a test
// starts never meet the desktop's bus or a program the developer runs.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace NSShellTest {

class TPrivateBus {
public:
    // Starts the daemon; services named in serviceDir (when given) are
    // started on demand, each in the environment given.
    explicit TPrivateBus(
        const QString& serviceDir = QString(),
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
        if (!Folder.isValid())
            return;
        QFile config(Folder.filePath("bus.conf"));
        if (!config.open(QIODevice::WriteOnly))
            return;
        QString text = "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                       "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                       "busconfig.dtd\">\n<busconfig><type>session</type>"
                       "<listen>unix:dir=" +
                       Folder.path() + "</listen>";
        if (!serviceDir.isEmpty())
            text += "<servicedir>" + serviceDir + "</servicedir>";
        text += "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
        config.write(text.toUtf8());
        config.close();
        Daemon.setProcessEnvironment(environment);
        Daemon.start(QStringLiteral("dbus-daemon"),
                     {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
        if (!Daemon.waitForStarted())
            return;
        while (!Daemon.canReadLine() && Daemon.state() == QProcess::Running)
            Daemon.waitForReadyRead(60000);
        Address = QString::fromLocal8Bit(Daemon.readLine()).trimmed();
    }
    ~TPrivateBus() {
        Daemon.kill();
        Daemon.waitForFinished();
    }
    TPrivateBus(const TPrivateBus&) = delete;
    TPrivateBus& operator=(const TPrivateBus&) = delete;

    // Empty when the daemon did not start.
    QString Address;

private:
    QTemporaryDir Folder;
    QProcess Daemon;
};

} // namespace NSShellTest
