#include "CommissionRun.h"

#include "core/commissioning/CommissioningLog.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <csignal>

#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {
QStringList workerArguments(const TCommissionJob& job)
{
    QStringList args{QStringLiteral("commission"), QStringLiteral("--worker"), job.port, job.project,
                     QStringLiteral("--log"), job.log};
    if (job.sendConfig)
        args << QStringLiteral("--config");
    if (job.sendImages)
        args << QStringLiteral("--images");
    if (job.verify)
        args << QStringLiteral("--verify");
    if (job.watchIndex > 0)
        args << QStringLiteral("--watch-session") << job.watchSession << QStringLiteral("--watch-index")
             << QString::number(job.watchIndex);
    return args;
}

QString sentText(const TCommissioningRecord& r)
{
    return r.sent.isEmpty() ? QStringLiteral("nothing") : r.sent.join(QStringLiteral(", "));
}

QString secondsText(double s)
{
    return QString::number(s, 'f', 1) + QStringLiteral(" s");
}
} // namespace

void CommissionRun::start(const std::vector<TCommissionJob>& jobs, int atOnce)
{
    m_atOnce = atOnce;
    for (const TCommissionJob& job : jobs) {
        auto p = std::make_unique<Port>();
        p->job = job;
        p->record.port = job.port;
        m_ports.push_back(std::move(p));
    }
    startMore();
}

void CommissionRun::startMore()
{
    int running = 0;
    for (const auto& p : m_ports)
        running += p->started && !p->done ? 1 : 0;
    for (const auto& p : m_ports) {
        if (m_interrupted || (m_atOnce > 0 && running >= m_atOnce))
            break;
        if (!p->started) {
            launch(*p);
            ++running;
        }
    }
}

void CommissionRun::launch(Port& p)
{
    p.started = true;
    p.state = QStringLiteral("connecting");
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
    connect(proc, &QProcess::readyReadStandardOutput, this, [this, &p] { readEvents(p); });
    // The retries a worker reports on stderr are in its record's message.
    connect(proc, &QProcess::readyReadStandardError, this, [proc] { proc->readAllStandardError(); });
    connect(proc, &QProcess::finished, this,
            [this, &p](int code, QProcess::ExitStatus status) { ended(p, code, status); });
    connect(proc, &QProcess::errorOccurred, this, [this, &p](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            ended(p, -1, QProcess::CrashExit);
    });
    proc->start(QCoreApplication::applicationFilePath(), workerArguments(p.job));
    if (onChanged)
        onChanged(p);
}

void CommissionRun::readEvents(Port& p)
{
    p.pending += p.process->readAllStandardOutput();
    qsizetype nl;
    while ((nl = p.pending.indexOf('\n')) >= 0) {
        const QByteArray line = p.pending.left(nl);
        p.pending.remove(0, nl + 1);
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        const QString event = o["event"].toString();
        if (event == QLatin1String("identified")) {
            p.identity = QStringLiteral("%1 v%2").arg(o["part_number"].toInt()).arg(o["firmware"].toString());
            p.state = QStringLiteral("connected");
        } else if (event == QLatin1String("progress")) {
            p.state = QStringLiteral("%1 %2 %").arg(o["bar"].toString() == QLatin1String("config")
                                                        ? QStringLiteral("configuration")
                                                        : QStringLiteral("images"))
                          .arg(o["percent"].toInt());
        } else if (event == QLatin1String("result")) {
            if (auto r = TCommissioningRecord::fromJson(o["record"].toObject()))
                p.record = *r;
            p.logError = o["log_error"].toString();
            p.state = p.record.ok ? QStringLiteral("ok") : QStringLiteral("failed");
            p.done = true;
        }
        if (onChanged)
            onChanged(p);
    }
}

void CommissionRun::ended(Port& p, int exitCode, QProcess::ExitStatus status)
{
    if (p.process)
        readEvents(p);
    const bool hadResult = p.done;
    if (!hadResult) {
        // The worker went without a word (it crashed or was killed): its
        // attempt goes on record all the same.
        p.done = true;
        p.record.time = QDateTime::currentDateTimeUtc();
        p.record.project = p.job.project;
        p.record.watchSession = p.job.watchSession;
        p.record.watchIndex = p.job.watchIndex;
        p.record.ok = false;
        p.record.message = status == QProcess::CrashExit
                               ? QStringLiteral("the port's worker process crashed or was killed")
                               : QStringLiteral("the port's worker process ended (status %1) without a result")
                                     .arg(exitCode);
        QString error;
        if (!Append_Commissioning_Record(p.job.log, p.record, &error))
            p.logError = error;
        p.state = QStringLiteral("failed");
    }
    if (onDone)
        onDone(p);
    startMore();
    if (finished() && onFinished)
        onFinished();
}

void CommissionRun::interrupt()
{
    m_interrupted = true;
    for (const auto& p : m_ports) {
        if (p->started && !p->done && p->process && p->process->state() != QProcess::NotRunning)
            ::kill(pid_t(p->process->processId()), SIGTERM);
    }
    if (finished() && onFinished)
        onFinished();
}

bool CommissionRun::finished() const
{
    return std::all_of(m_ports.begin(), m_ports.end(),
                       [this](const auto& p) { return p->done || (!p->started && m_interrupted); });
}

QString Commission_Result_Line(const TCommissioningRecord& r)
{
    QStringList parts{r.port};
    if (r.partNumber)
        parts << QStringLiteral("%1 v%2").arg(*r.partNumber).arg(r.firmware);
    parts << QStringLiteral("sent %1").arg(sentText(r)) << QStringLiteral("verify %1").arg(Verify_Result_Text(r.verify))
          << secondsText(r.seconds) << (r.ok ? QStringLiteral("ok") : QStringLiteral("failed: ") + r.message);
    return parts.join(QStringLiteral("  "));
}

QString Commission_Table(const std::vector<TCommissioningRecord>& records)
{
    const QStringList header{QStringLiteral("port"),     QStringLiteral("part number"), QStringLiteral("firmware"),
                             QStringLiteral("sent"),     QStringLiteral("verify"),      QStringLiteral("time"),
                             QStringLiteral("outcome")};
    std::vector<QStringList> rows{header};
    for (const TCommissioningRecord& r : records) {
        rows.push_back({r.watchIndex > 0 ? QStringLiteral("%1 #%2").arg(r.port).arg(r.watchIndex) : r.port,
                        r.partNumber ? QString::number(*r.partNumber) : QStringLiteral("-"),
                        r.firmware.isEmpty() ? QStringLiteral("-") : r.firmware, sentText(r),
                        Verify_Result_Text(r.verify), secondsText(r.seconds),
                        r.ok ? QStringLiteral("ok") : QStringLiteral("failed: ") + r.message});
    }
    std::vector<qsizetype> width(header.size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            width[size_t(i)] = std::max(width[size_t(i)], row[i].size());
    QString text;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(width[size_t(i)] + 2) : row[i];
        text += line + QLatin1Char('\n');
    }
    return text;
}
