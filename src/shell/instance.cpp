#include "shell/instance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QUrl>
#include <QtEndian>
#include <utility>

namespace {

const char* const Interface = "org.freedesktop.Application";

// On the socket a later start sends the tag, the length of what follows (32
// bits, most significant byte first) and the absolute names in UTF-8, each
// ended by a zero byte; the running program answers one byte once it has
// taken them.
const QByteArray SocketTag = QByteArrayLiteral("BVH1");
constexpr char SocketTaken = 'k';
// Far more than any command line holds; a longer message is not ours.
constexpr quint32 SocketMaxLength = 1 << 20;

// How long a later start waits for the running program to take its files
// (it may be in the middle of loading a long sound) before it opens them
// itself.
constexpr int AnswerMs = 25000;

QStringList Absolute(const QStringList& files) {
    QStringList names;
    for (const QString& file : files)
        names << QFileInfo(file).absoluteFilePath();
    return names;
}

// What the desktop and the later start pass along for the running program
// to be allowed to raise its window.
QVariantMap PlatformData() {
    QVariantMap data;
    const std::pair<const char*, const char*> names[] = {
        {"DESKTOP_STARTUP_ID", "desktop-startup-id"}, {"XDG_ACTIVATION_TOKEN", "activation-token"}};
    for (const auto& [variable, key] : names)
        if (const QString value = qEnvironmentVariable(variable); !value.isEmpty())
            data.insert(QLatin1String(key), value);
    return data;
}

} // namespace

// --- the running program's side ---------------------------------------------------

TApplicationInterface::TApplicationInterface(TRunningProgram& program)
    : QObject(&program), Program(program) {}

void TApplicationInterface::Answer() {
    // The caller is answered before anything opens: a long load must not
    // make a later start give up waiting and open the files a second time.
    if (calledFromDBus()) {
        setDelayedReply(true);
        connection().send(message().createReply());
    }
}

void TApplicationInterface::Activate(const QVariantMap&) {
    Answer();
    Program.Deliver(QStringList(), false);
}

void TApplicationInterface::Open(const QStringList& uris, const QVariantMap&) {
    // Only files on this machine can be opened; a plain absolute name is
    // taken as one too.
    QStringList files;
    for (const QString& uri : uris) {
        const QUrl url(uri);
        if (url.isLocalFile())
            files << url.toLocalFile();
        else if (url.scheme().isEmpty() && uri.startsWith(QLatin1Char('/')))
            files << uri;
    }
    Answer();
    // Files were named, even if none of them can be opened: the program is
    // raised, not given a new sound.
    Program.Deliver(files, true);
}

void TApplicationInterface::ActivateAction(const QString& name, const QVariantList&,
                                           const QVariantMap&) {
    sendErrorReply(QDBusError::NotSupported,
                   QStringLiteral("Brimvale has no action \"%1\"").arg(name));
}

TRunningProgram::TRunningProgram() = default;

TRunningProgram::~TRunningProgram() {
    Release();
}

void TRunningProgram::Release() {
    if (BusName) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(QLatin1String(ProgramId));
        bus.unregisterObject(QLatin1String(ProgramObjectPath));
        BusName = false;
    }
    if (Server) {
        Server->close(); // removes the socket's name
        delete Server;
        Server = nullptr;
    }
}

QString TRunningProgram::SocketPath() {
    // The runtime folder is the user's alone (mode 0700), so no other user
    // can reach the socket, nor put one of theirs in its place.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + QLatin1String(ProgramId);
}

void TRunningProgram::Deliver(const QStringList& files, bool named) {
    QStringList existing;
    for (const QString& file : files)
        if (QFileInfo::exists(file))
            existing << file;
    if (!named) {
        if (Activate)
            Activate();
    } else if (OpenFiles) {
        OpenFiles(existing);
    }
}

TRunningProgram::TOutcome TRunningProgram::Claim(const QStringList& files) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected() && bus.interface()) {
        // The object is there before the name: a call that finds the name
        // finds the object too.
        auto* application = new TApplicationInterface(*this);
        bus.registerObject(QLatin1String(ProgramObjectPath), application,
                           QDBusConnection::ExportAllSlots);
        const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
            bus.interface()->registerService(QLatin1String(ProgramId),
                                             QDBusConnectionInterface::DontQueueService,
                                             QDBusConnectionInterface::DontAllowReplacement);
        BusName = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
        if (!BusName) {
            bus.unregisterObject(QLatin1String(ProgramObjectPath));
            delete application;
            if (HandOverByBus(files))
                return HandedOver;
        }
    }

    // The socket, for later starts that have no bus. Looking for a program
    // there and starting to listen are one step for one start at a time.
    const QString path = SocketPath();
    if (!path.isEmpty()) {
        QLockFile lock(path + QStringLiteral(".lock"));
        if (lock.tryLock(10000)) {
            if (!BusName && HandOverBySocket(files))
                return HandedOver;
            ListenOnSocket();
        }
    }
    return BusName || Server ? First : Alone;
}

bool TRunningProgram::HandOverByBus(const QStringList& files) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(ProgramId), QLatin1String(ProgramObjectPath), QLatin1String(Interface),
        files.isEmpty() ? QStringLiteral("Activate") : QStringLiteral("Open"));
    if (files.isEmpty()) {
        call << PlatformData();
    } else {
        QStringList uris;
        for (const QString& file : Absolute(files))
            uris << QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded());
        call << uris << PlatformData();
    }
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, AnswerMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool TRunningProgram::HandOverBySocket(const QStringList& files) {
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(3000))
        return false;
    QByteArray names;
    for (const QString& file : Absolute(files))
        names += file.toUtf8() + '\0';
    quint32 length = qToBigEndian(quint32(names.size()));
    socket.write(SocketTag);
    socket.write(reinterpret_cast<const char*>(&length), sizeof length);
    socket.write(names);
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(AnswerMs))
            return false;
    char answer = 0;
    return socket.waitForReadyRead(AnswerMs) && socket.getChar(&answer) && answer == SocketTaken;
}

bool TRunningProgram::ListenOnSocket() {
    const QString path = SocketPath();
    // Whatever answers there is another program (of another session bus);
    // a name nothing answers at is left over from a program that ended
    // without closing it.
    {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(3000))
            return false;
    }
    QLocalServer::removeServer(path);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        delete server;
        return false;
    }
    Server = server;
    connect(Server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = Server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Receive(socket); });
        }
    });
    return true;
}

void TRunningProgram::Receive(QLocalSocket* socket) {
    const qint64 head = SocketTag.size() + qint64(sizeof(quint32));
    if (socket->bytesAvailable() < head)
        return;
    const QByteArray start = socket->peek(head);
    const quint32 length = qFromBigEndian<quint32>(start.constData() + SocketTag.size());
    if (!start.startsWith(SocketTag) || length > SocketMaxLength) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < head + length)
        return;
    socket->skip(head);
    const QByteArray names = socket->read(length);
    QStringList files;
    for (const QByteArray& name : names.split('\0'))
        if (name.startsWith('/'))
            files << QString::fromUtf8(name);
    const bool named = !names.isEmpty();
    // Taken before anything opens, as on the bus.
    socket->putChar(SocketTaken);
    socket->flush();
    socket->disconnectFromServer();
    Deliver(files, named);
}
