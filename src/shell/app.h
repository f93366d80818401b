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

class TApp {
public:
    explicit TApp(const TAppOptions& options = TAppOptions());
    ~TApp();

    // The start-up sequence: frame, splash, the files named (those that
    // exist), or one untitled document.
    void Start(const QStringList& files);
    TAppFrame* Frame() const { return MainFrame.get(); }

private:
    TAppOptions Options;
    std::unique_ptr<TAppFrame> MainFrame;
    QPointer<TMySplashWindow> Splash;
};
