#pragma once
// The application: start-up with its splash picture, the main frame and the
// documents named on the command line.

#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "shell/appframe.h"

class TMySplashWindow;

struct TAppOptions {
    // How long the splash picture stays up at start-up, in all; 0 shows none.
    int SplashMs = 2000;
};

// What the command line asks for.
struct TCommandLine {
    enum TAction { Run, Help, Version, Error };
    TAction Action = Run;
    // The help or version text (for standard output), or the error message
    // (for standard error).
    QString Text;
    // The sound files named, in order.
    QStringList Files;
};

// Reads the arguments (the program's name first): --help, --version, the
// files to open. Qt's own options (-platform, -style, …) are passed over,
// for QApplication to take. Needs no application object, so help and
// version are answered before anything reaches the window system.
TCommandLine ParseCommandLine(const QStringList& arguments);

// "Brimvale 1.0, Alpha".
QString VersionText();

class TApp {
public:
    explicit TApp(const TAppOptions& options = TAppOptions());
    ~TApp();

    // The start-up sequence: frame, splash, the files named (those that
    // exist), the recordings that earlier runs left unsaved, or else one
    // untitled document.
    void Start(const QStringList& files);
    TAppFrame* Frame() const { return MainFrame.get(); }
    // Files a later start of the program handed over: each opens in a new
    // window (or the untouched one) and the frame comes to the front.
    void OpenHandedOver(const QStringList& files);
    // Brings the frame to the front (a later start without files).
    void Raise();

private:
    TAppOptions Options;
    std::unique_ptr<TAppFrame> MainFrame;
    QPointer<TMySplashWindow> Splash;
};
