#include "ui/app/TDemoSimulator.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#if defined(Q_OS_LINUX)
#include <csignal>
#include <sys/prctl.h>
#endif

TDemoSimulator::~TDemoSimulator()
{
    Stop();
}

bool TDemoSimulator::Start(const QString& programDir, int timeoutMs)
{
    const QString program = QDir(programDir).filePath(Program_Name());
    if (!QFileInfo(program).isExecutable()) {
        error = QStringLiteral("The virtual controller %1 was not found.").arg(program);
        return false;
    }
    // Its diagnostics go to the configurator's own stderr; stdout carries
    // the port line.
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#if defined(Q_OS_LINUX)
    // Should the configurator be killed outright, the simulator goes with it
    // instead of holding its terminal open.
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    // A controller that has been in service: "Retrieve Configuration" finds a
    // record to read, not the blank memory of a factory-fresh board.
    process.start(program, {QStringLiteral("--new-project-config")});
    if (!process.waitForStarted(timeoutMs)) {
        error = QStringLiteral("The virtual controller could not be started: %1").arg(process.errorString());
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!process.canReadLine()) {
        if (process.state() != QProcess::Running || deadline.hasExpired()
            || !process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            if (process.canReadLine())
                break;
            error = QStringLiteral("The virtual controller did not report its port.");
            Stop();
            return false;
        }
    }
    const QString line = QString::fromUtf8(process.readLine()).trimmed();
    const QString prefix = QStringLiteral("PORT ");
    if (!line.startsWith(prefix) || line.size() == prefix.size()) {
        error = QStringLiteral("The virtual controller reported \"%1\" instead of its port.").arg(line);
        Stop();
        return false;
    }
    port = line.mid(prefix.size());
    // Anything it prints later is not needed; reading it keeps the pipe from
    // filling up.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { process.readAllStandardOutput(); });
    return true;
}

void TDemoSimulator::On_Ended(std::function<void()> ended)
{
    QObject::connect(&process, &QProcess::finished, [ended = std::move(ended)] {
        if (ended)
            ended();
    });
}

void TDemoSimulator::Stop()
{
    // Ending it on purpose is no news to report.
    QObject::disconnect(&process, &QProcess::finished, nullptr, nullptr);
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(2000)) {
        process.kill();
        process.waitForFinished(2000);
    }
}
