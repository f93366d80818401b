#pragma once
// One running program per user: a later start hands the files it was given
// to the program that runs already and ends. The desktop's way comes first
// (the org.freedesktop.Application interface on the session bus, under the
// program's id, which a DBusActivatable desktop entry also uses to start
// it); where no session bus runs, a local socket in the user's own runtime
// folder; where neither can be had, the later start is a program of its own.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <memory>

#include <QDBusContext>

class QLocalServer;
class QLocalSocket;

// The program's id: its bus name, its desktop entry's name and its
// metadata's id.
inline constexpr const char* ProgramId = "io.github.hollin.brimvale";
// The object the desktop calls, the id as a path.
inline constexpr const char* ProgramObjectPath = "/io/github/hollin/brimvale";

class TRunningProgram : public QObject {
    Q_OBJECT
public:
    enum TOutcome {
        // Another program took the files: this one ends (status 0).
        HandedOver,
        // This is the running program: later starts reach it by the bus,
        // the socket or both.
        First,
        // No way to reach another program or to be reached: a program of
        // its own.
        Alone,
    };

    TRunningProgram();
    ~TRunningProgram() override;

    // Hands the files (names as given on the command line, taken relative to
    // the current folder) to the program that runs, or becomes the one that
    // later starts reach. Needs the application object.
    TOutcome Claim(const QStringList& files);
    // Lets go of the bus name and the socket: a program on its way out
    // takes no more files.
    void Release();
    bool OnBus() const { return BusName; }
    bool OnSocket() const { return Server != nullptr; }

    // What files from later starts do (absolute names, those that do not
    // exist skipped), and what a start without files does. Calls that come
    // before these are set are dropped.
    std::function<void(const QStringList&)> OpenFiles;
    std::function<void()> Activate;

    // The socket's name, in the user's runtime folder; empty when there is
    // no such folder.
    static QString SocketPath();

private:
    bool HandOverByBus(const QStringList& files);
    bool HandOverBySocket(const QStringList& files);
    bool ListenOnSocket();
    void Receive(QLocalSocket* socket);
    // Files named (those that exist are opened), or none (named false).
    void Deliver(const QStringList& files, bool named);

    bool BusName = false;
    QLocalServer* Server = nullptr;
    friend class TApplicationInterface;
};

// The org.freedesktop.Application interface as the desktop calls it.
class TApplicationInterface : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit TApplicationInterface(TRunningProgram& program);

public slots:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    void Answer();
    TRunningProgram& Program;
};
