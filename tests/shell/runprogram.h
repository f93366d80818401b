#pragma once
// Runs a program to its end and keeps what it said and its exit status.

#include <QProcess>
#include <QString>
#include <QStringList>

namespace NSShellTest {

struct TRun {
    int Status = -1;
    QString Out;
    QString Err;
};

// Runs a program to its end (a minute at most, for a loaded machine).
inline TRun
RunProgram(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    TRun run;
    if (!process.waitForStarted() || !process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.Err = QStringLiteral("did not run: ") + process.errorString();
        return run;
    }
    run.Status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.Err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

} // namespace NSShellTest
