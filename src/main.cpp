// Brimvale: a sound editor.

#include <QApplication>
#include <cstdio>

#include "dlg/artwork.h"
#include "dlg/services.h"
#include "print/printservice.h"
#include "shell/app.h"
#include "shell/instance.h"
#include "shell/translation.h"

int main(int argc, char** argv) {
    // Help, version and mistakes in the options are answered before any
    // window system or sound card is reached.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const TCommandLine line = ParseCommandLine(arguments);
    switch (line.Action) {
    case TCommandLine::Help:
    case TCommandLine::Version:
        std::fputs(line.Text.toLocal8Bit().constData(), stdout);
        return 0;
    case TCommandLine::Error:
        std::fputs(line.Text.toLocal8Bit().constData(), stderr);
        return 2;
    case TCommandLine::Run:
        break;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brimvale"));
    QApplication::setOrganizationName(QStringLiteral("Hollin"));
    // The task bar matches the window to the installed desktop entry and
    // shows its icon.
    QGuiApplication::setDesktopFileName(QLatin1String(ProgramId));
    // Texts in the user's language from the first window on; the help and
    // version texts above stay English.
    InstallTranslations();
    // When the program runs already, it opens the files and this start ends.
    TRunningProgram running;
    if (running.Claim(line.Files) == TRunningProgram::HandedOver)
        return 0;
    QApplication::setWindowIcon(NSArt::AppIcon());
    InstallQtServices();
    NSPrint::TQtPrintService printing;
    TApp app;
    running.OpenFiles = [&app](const QStringList& files) { app.OpenHandedOver(files); };
    running.Activate = [&app] { app.Raise(); };
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &running,
                     &TRunningProgram::Release);
    app.Start(line.Files);
    return application.exec();
}
