#include "shell/app.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include "platform/msgbox.h"
#include "shell/recovery.h"
#include "shell/splash.h"
#include "util/opstatus.h"
#include "wave/capture.h"

namespace {

// Qt's own options, taken out of the arguments by QApplication: those that
// take a value (also written "-name=value") and those that stand alone.
const QSet<QString>& QtValueOptions() {
    static const QSet<QString> names = {"platform",
                                        "platformpluginpath",
                                        "platformtheme",
                                        "plugin",
                                        "qwindowgeometry",
                                        "geometry",
                                        "qwindowtitle",
                                        "title",
                                        "qwindowicon",
                                        "icon",
                                        "session",
                                        "display",
                                        "name",
                                        "visual",
                                        "style",
                                        "stylesheet",
                                        "qmljsdebugger"};
    return names;
}

const QSet<QString>& QtFlagOptions() {
    static const QSet<QString> names = {"reverse", "testability", "nograb",
                                        "dograb",  "sync",        "widgetcount"};
    return names;
}

// The arguments without Qt's own options.
QStringList WithoutQtOptions(const QStringList& arguments) {
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (i == 0 || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            kept << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            kept << arguments.mid(i);
            break;
        }
        QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            if (QtValueOptions().contains(name.left(equals)))
                continue;
        } else if (QtValueOptions().contains(name)) {
            ++i; // and its value
            continue;
        } else if (QtFlagOptions().contains(name)) {
            continue;
        }
        kept << arg;
    }
    return kept;
}

} // namespace

QString VersionText() {
    return QStringLiteral("Brimvale 1.0, Alpha");
}

TCommandLine ParseCommandLine(const QStringList& arguments) {
    const QString program =
        arguments.isEmpty() ? QStringLiteral("brimvale") : QFileInfo(arguments[0]).fileName();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "Brimvale, a sound editor. Opens each sound file named (names "
                       "of files that do not exist are skipped), or a new untitled "
                       "sound."));
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("CommandLine", "Shows this help and ends."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("CommandLine", "Shows the version and ends."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QCoreApplication::translate("CommandLine", "Sound files to open."),
                                 QStringLiteral("[files...]"));

    TCommandLine line;
    const bool parsed = parser.parse(WithoutQtOptions(arguments));
    if (parsed && parser.isSet(help)) {
        // The usage line is ours: without an application object the parser
        // does not know the program's name.
        QString text = parser.helpText();
        const qsizetype end = text.indexOf(QLatin1Char('\n'));
        text = QCoreApplication::translate("CommandLine", "Usage: %1 [options] [files...]")
                   .arg(program) +
               (end >= 0 ? text.mid(end) : QString());
        line.Action = TCommandLine::Help;
        line.Text = text;
    } else if (parsed && parser.isSet(version)) {
        line.Action = TCommandLine::Version;
        line.Text = VersionText() + QLatin1Char('\n');
    } else if (!parsed) {
        line.Action = TCommandLine::Error;
        line.Text =
            program + QStringLiteral(": ") + parser.errorText() + QLatin1Char('\n') +
            QCoreApplication::translate("CommandLine", "Try '%1 --help' for more information.")
                .arg(program) +
            QLatin1Char('\n');
    } else {
        line.Files = parser.positionalArguments();
    }
    return line;
}

TApp::TApp(const TAppOptions& options) : Options(options) {}

TApp::~TApp() {
    if (Splash)
        Splash->close();
}

void TApp::Start(const QStringList& files) {
    QElapsedTimer started;
    started.start();
    QStringList existing;
    {
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
        for (const QString& file : files)
            if (QFileInfo::exists(file))
                existing.append(file);
        const TMaximise maximise = existing.size() == 1 ? TMaximise::Yes : TMaximise::No;
        for (const QString& file : existing)
            MainFrame->OpenDocument(file.toStdString(), maximise);
    }

    // Recordings that an earlier run never took into a document. Only a
    // person decides about them: without a message box there is no one to
    // ask, and they stay for a later start.
    int recovered = 0;
    if (TMessageBoxService::Current()) {
        const std::vector<NSWave::TLostCapture> lost = NSWave::LostCaptures();
        if (!lost.empty()) {
            if (Splash)
                Splash->close();
            recovered = OfferLostRecordings(*MainFrame, lost);
        }
    }
    if (existing.isEmpty() && recovered == 0)
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

void TApp::OpenHandedOver(const QStringList& files) {
    if (!MainFrame)
        return;
    for (const QString& file : files)
        MainFrame->OpenDocument(file.toStdString(), TMaximise::Decide);
    // The list is kept at once: a program that stays up for a whole session
    // is often ended with it rather than closed.
    if (!files.isEmpty())
        MainFrame->Recent().Save();
    Raise();
}

void TApp::Raise() {
    if (!MainFrame)
        return;
    MainFrame->setWindowState(MainFrame->windowState() & ~Qt::WindowMinimized);
    MainFrame->show();
    MainFrame->raise();
    MainFrame->activateWindow();
}
