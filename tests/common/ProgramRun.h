#pragma once
// Runs one of the programs as an installer's script would and keeps what a
// script sees: the exit status, stdout and stderr. Shared by every test that
// starts corvane-cli, corvane-rc-sim or corvane-configurator.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct ProgramRun {
    int status = -1; // exit status; -1 when the program crashed or did not end
    QByteArray out;
    QByteArray err;

    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
    QStringList outLines() const { return outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    QStringList errLines() const { return errText().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// The deadline is generous: it only keeps a hanging program from hanging the
// test, it measures nothing.
inline ProgramRun runProgram(const QString& program, const QStringList& args,
                             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                             int deadlineMs = 180000)
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(program, args);
    ProgramRun run;
    if (!p.waitForFinished(deadlineMs)) {
        p.kill();
        p.waitForFinished(10000);
        run.err = "did not end within the deadline";
        return run;
    }
    run.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

#ifdef CORVANE_CLI
inline ProgramRun runCli(const QStringList& args)
{
    return runProgram(QStringLiteral(CORVANE_CLI), args);
}
#endif
