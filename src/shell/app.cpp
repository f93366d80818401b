#include "shell/app.h"

#include <QFileInfo>
#include <QTimer>

#include "shell/splash.h"
#include "util/opstatus.h"

TApp::TApp(const TAppOptions& options) : Options(options) {}

TApp::~TApp() {
    if (Splash)
        Splash->close();
}

void TApp::Start(const QStringList& files) {
    QElapsedTimer started;
    started.start();
    TTempCursor wait;

    MainFrame = std::make_unique<TAppFrame>();
    MainFrame->show();
    if (Options.SplashMs > 0) {
        Splash = new TMySplashWindow();
        Splash->ShowCentred(MainFrame.get());
        Splash->repaint();
    }

    // Names of files that do not exist are skipped; a single file opens
    // maximised.
    QStringList existing;
    for (const QString& file : files)
        if (QFileInfo::exists(file))
            existing.append(file);
    const TMaximise maximise = existing.size() == 1 ? TMaximise::Yes : TMaximise::No;
    for (const QString& file : existing)
        MainFrame->OpenDocument(file.toStdString(), maximise);
    if (existing.isEmpty())
        MainFrame->OpenUntouched();

    // The splash stays up for its time in all, without holding up the
    // program: what start-up took already counts.
    if (Splash) {
        const qint64 remaining = Options.SplashMs - started.elapsed();
        if (remaining > 0 && remaining < Options.SplashMs)
            QTimer::singleShot(int(remaining), Splash.data(), &QWidget::close);
        else
            Splash->close();
    }
}
