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
    stop();
}

bool TDemoSimulator::start(const QString& programDir, int timeoutMs)
{
    const QString program = QDir(programDir).filePath(programName());
    if (!QFileInfo(program).isExecutable()) {
        m_error = QStringLiteral("The virtual controller %1 was not found.").arg(program);
        return false;
    }
    // Its diagnostics go to the configurator's own stderr; stdout carries
    // the port line.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#if defined(Q_OS_LINUX)
    // Should the configurator be killed outright, the simulator goes with it
    // instead of holding its terminal open.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    // A controller that has been in service: "Retrieve Configuration" finds a
    // record to read, not the blank memory of a factory-fresh board.
    m_process.start(program, {QStringLiteral("--new-project-config")});
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("The virtual controller could not be started: %1").arg(m_process.errorString());
        return false;
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running || deadline.hasExpired()
            || !m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))) {
            if (m_process.canReadLine())
                break;
            m_error = QStringLiteral("The virtual controller did not report its port.");
            stop();
            return false;
        }
    }
    const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
    const QString prefix = QStringLiteral("PORT ");
    if (!line.startsWith(prefix) || line.size() == prefix.size()) {
        m_error = QStringLiteral("The virtual controller reported \"%1\" instead of its port.").arg(line);
        stop();
        return false;
    }
    m_port = line.mid(prefix.size());
    // Anything it prints later is not needed; reading it keeps the pipe from
    // filling up.
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] { m_process.readAllStandardOutput(); });
    return true;
}

void TDemoSimulator::onEnded(std::function<void()> ended)
{
    QObject::connect(&m_process, &QProcess::finished, [ended = std::move(ended)] {
        if (ended)
            ended();
    });
}

void TDemoSimulator::stop()
{
    // Ending it on purpose is no news to report.
    QObject::disconnect(&m_process, &QProcess::finished, nullptr, nullptr);
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}
