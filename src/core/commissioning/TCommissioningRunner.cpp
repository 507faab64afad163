#include "core/commissioning/TCommissioningRunner.h"

#include "core/commissioning/CommissioningLog.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>

#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

TCommissioningRunner::TCommissioningRunner(TCommissioningPlan plan, TCommissioningOptions options, QObject* parent)
    : QObject(parent)
    , m_plan(std::move(plan))
    , m_options(std::move(options))
{
}

TCommissioningRunner::~TCommissioningRunner()
{
    // A worker outliving its run would go on unwatched.
    for (const auto& p : m_ports) {
        if (p->process && p->process->state() != QProcess::NotRunning) {
            p->process->disconnect(this);
            p->process->kill();
            p->process->waitForFinished(5000);
        }
    }
}

bool TCommissioningRunner::preparePlanFile(QString* error)
{
    if (!m_planFile.isEmpty())
        return true;
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) {
        *error = QStringLiteral("no private folder for the run's plan: %1").arg(m_dir->errorString());
        return false;
    }
    const QByteArray bytes = planFileBytes(m_plan);
    QFile f(m_dir->filePath(QStringLiteral("plan")));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush()) {
        *error = QStringLiteral("%1: %2").arg(f.fileName(), f.errorString());
        return false;
    }
    f.close();
    m_planFile = f.fileName();
    m_planSha256 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    return true;
}

int TCommissioningRunner::addPort(const QString& port, int watchIndex)
{
    auto p = std::make_unique<Port>();
    p->port = port;
    p->watchIndex = watchIndex;
    p->record.port = port;
    m_ports.push_back(std::move(p));
    const int index = portCount() - 1;
    m_finishedSignalled = false;
    emit portAdded(index);
    if (m_started)
        startMore();
    return index;
}

void TCommissioningRunner::start(int atOnce)
{
    m_atOnce = qMax(1, atOnce);
    m_started = true;
    QString error;
    if (!preparePlanFile(&error)) {
        for (int i = 0; i < portCount(); ++i) {
            Port& p = *m_ports[size_t(i)];
            putOnRecord(p, error);
            emit portFinished(i, p.record);
        }
        checkFinished();
        return;
    }
    startMore();
    checkFinished();
}

void TCommissioningRunner::startMore()
{
    if (m_stopped)
        return;
    int running = 0;
    for (const auto& p : m_ports)
        running += p->started && !p->done ? 1 : 0;
    for (int i = 0; i < portCount() && running < m_atOnce; ++i) {
        if (!m_ports[size_t(i)]->started) {
            launch(i);
            ++running;
        }
    }
}

QStringList TCommissioningRunner::workerArguments(const Port& p) const
{
    QStringList args = m_options.workerArguments;
    args << p.port << m_plan.project << QStringLiteral("--log") << m_options.log << QStringLiteral("--plan")
         << m_planFile << QStringLiteral("--plan-sha256") << m_planSha256 << QStringLiteral("--project-sha256")
         << m_plan.projectSha256;
    if (m_plan.sendConfig)
        args << QStringLiteral("--config");
    if (m_plan.sendImages)
        args << QStringLiteral("--images");
    if (m_options.verify)
        args << QStringLiteral("--verify");
    if (p.watchIndex > 0)
        args << QStringLiteral("--watch-session") << m_options.watchSession << QStringLiteral("--watch-index")
             << QString::number(p.watchIndex);
    return args;
}

void TCommissioningRunner::launch(int index)
{
    Port& p = *m_ports[size_t(index)];
    p.started = true;
    p.state = State::Connecting;
    p.clock.start();
    p.process = std::make_unique<QProcess>();
    QProcess* proc = p.process.get();
    // Its own process group: a Ctrl+C at the terminal reaches the parent,
    // which stops the workers so each puts its attempt on record. And a
    // worker whose parent died stops too, rather than go on unwatched.
    proc->setChildProcessModifier([] {
        ::setpgid(0, 0);
#ifdef __linux__
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
#endif
    });
    proc->setProcessChannelMode(QProcess::SeparateChannels);
    connect(proc, &QProcess::readyReadStandardOutput, this, [this, index] { readEvents(index); });
    // The retries a worker reports on stderr are in its record's message.
    connect(proc, &QProcess::readyReadStandardError, this, [proc] { proc->readAllStandardError(); });
    connect(proc, &QProcess::finished, this,
            [this, index](int code, QProcess::ExitStatus status) { ended(index, code, status); });
    connect(proc, &QProcess::errorOccurred, this, [this, index](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            ended(index, -1, QProcess::CrashExit);
    });
    proc->start(m_options.workerProgram, workerArguments(p));
    emit portChanged(index);
}

void TCommissioningRunner::readEvents(int index)
{
    Port& p = *m_ports[size_t(index)];
    if (!p.process)
        return;
    p.pending += p.process->readAllStandardOutput();
    qsizetype nl;
    while ((nl = p.pending.indexOf('\n')) >= 0) {
        const QByteArray line = p.pending.left(nl);
        p.pending.remove(0, nl + 1);
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString event = o["event"].toString();
        if (event == QLatin1String("identified")) {
            p.record.partNumber = o["part_number"].toInt();
            p.record.firmware = o["firmware"].toString();
            p.identity = QStringLiteral("%1 v%2").arg(o["part_number"].toInt()).arg(p.record.firmware);
            p.state = State::Connected;
        } else if (event == QLatin1String("upgrading")) {
            p.record.upgrade = TFirmwareUpgradeRecord{o["from"].toString(), o["to"].toString(), {}, false};
        } else if (event == QLatin1String("progress")) {
            p.state = State::Sending;
            p.bar = o["bar"].toString();
            p.percent = o["percent"].toInt();
            p.activity = QStringLiteral("%1 %2 %")
                             .arg(p.bar == QLatin1String("config")         ? QStringLiteral("configuration")
                                      : p.bar == QLatin1String("firmware") ? QStringLiteral("firmware")
                                                                           : QStringLiteral("images"))
                             .arg(o["percent"].toInt());
        } else if (event == QLatin1String("result")) {
            if (auto r = TCommissioningRecord::fromJson(o["record"].toObject()))
                p.record = *r;
            p.logError = o["log_error"].toString();
            p.state = p.record.ok ? State::Ok : State::Failed;
            p.done = true;
        }
        emit portChanged(index);
    }
}

void TCommissioningRunner::putOnRecord(Port& p, const QString& message)
{
    p.done = true;
    p.state = p.started ? State::Failed : State::NotAttempted;
    p.record.time = QDateTime::currentDateTimeUtc();
    p.record.port = p.port;
    p.record.project = m_plan.project;
    p.record.projectSha256 = m_plan.projectSha256;
    p.record.watchSession = p.watchIndex > 0 ? m_options.watchSession : QString();
    p.record.watchIndex = p.watchIndex;
    p.record.seconds = p.started ? double(p.clock.elapsed()) / 1000.0 : 0.0;
    p.record.ok = false;
    p.record.message = message;
    QString error;
    if (!appendCommissioningRecord(m_options.log, p.record, &error))
        p.logError = error;
}

void TCommissioningRunner::ended(int index, int exitCode, QProcess::ExitStatus status)
{
    Port& p = *m_ports[size_t(index)];
    if (p.process)
        readEvents(index);
    if (!p.done) {
        // The worker went without a word (it crashed or was killed): its
        // attempt goes on record all the same.
        putOnRecord(p,
                    status == QProcess::CrashExit
                        ? QStringLiteral("the port's worker process crashed or was killed")
                        : QStringLiteral("the port's worker process ended (status %1) without a result").arg(exitCode));
    }
    emit portChanged(index);
    emit portFinished(index, p.record);
    startMore();
    checkFinished();
}

void TCommissioningRunner::stop(int signalNumber)
{
    m_stopped = true;
    for (int i = 0; i < portCount(); ++i) {
        Port& p = *m_ports[size_t(i)];
        if (p.started && !p.done && p.process && p.process->state() != QProcess::NotRunning) {
            ::kill(pid_t(p.process->processId()), signalNumber);
        } else if (!p.started && !p.done) {
            putOnRecord(p, QStringLiteral("not attempted: the run was stopped before this port's turn"));
            emit portChanged(i);
            emit portFinished(i, p.record);
        }
    }
    checkFinished();
}

bool TCommissioningRunner::isFinished() const
{
    return std::all_of(m_ports.begin(), m_ports.end(), [](const auto& p) { return p->done; });
}

void TCommissioningRunner::checkFinished()
{
    if (m_started && !m_finishedSignalled && isFinished()) {
        m_finishedSignalled = true;
        emit allFinished();
    }
}

QString commissioningStateText(TCommissioningRunner::State state)
{
    switch (state) {
    case TCommissioningRunner::State::Waiting: return QStringLiteral("waiting");
    case TCommissioningRunner::State::Connecting: return QStringLiteral("connecting");
    case TCommissioningRunner::State::Connected: return QStringLiteral("connected");
    case TCommissioningRunner::State::Sending: return QStringLiteral("sending");
    case TCommissioningRunner::State::Ok: return QStringLiteral("ok");
    case TCommissioningRunner::State::Failed: return QStringLiteral("failed");
    case TCommissioningRunner::State::NotAttempted: return QStringLiteral("not attempted");
    }
    return {};
}
