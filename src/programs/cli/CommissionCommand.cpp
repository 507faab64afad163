// corvane-cli commission: one project to many controllers at once (one
// worker process per port), or, with --watch, to controller after controller
// on one port; every attempt is appended to the commissioning log.
#include "CliCommand.h"
#include "CliOutputFiles.h"
#include "CliProject.h"
#include "CommissionRun.h"
#include "CommissionWatch.h"
#include "CommissionWorker.h"

#include "programs/common/QuietMessages.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/device/CommPortList.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/UntrustedText.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

const char* const kDescription
    = "Sends PROJECT to every named port (or every FTDI adapter's port with --all) at the same time, each\n"
      "port through its own link in a process of its own. Without --config or --images both are sent. A\n"
      "controller whose firmware cannot take an upload is skipped with the reason and counts as failed.\n"
      "On a terminal one progress line per port; at the end a table: port, part number, firmware, what\n"
      "was sent, verify result, time, outcome.\n\n"
      "With --watch (and one --port) it waits for a controller to answer on the port (asking at most once\n"
      "a second, writing nothing before a full identification), commissions it, prints one result line\n"
      "(and rings the terminal bell), waits until the controller stops answering (the cable is moved),\n"
      "then waits for the next. Ctrl+C ends it with the summary of every controller done.\n\n"
      "Every attempt on every controller is one line of the log (JSON Lines, appended and synced):\n"
      "time, port, adapter_serial, part_number, firmware, project, project_sha256, config_checksum,\n"
      "image_block_bytes, image_block_sha256, sent, verify, seconds, outcome (ok or failed), message.\n\n"
      "Exit status: 0 every controller was commissioned, 1 any failed (stderr names each failed port and\n"
      "its reason), 2 usage error.";

bool stdoutIsTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1;
}

void out(const QString& text)
{
    QTextStream(stdout) << text << Qt::flush;
}

// Ctrl+C and kill end a run through the event loop, so each attempt under
// way is put on record before the summary.
class StopRequests : public QObject {
public:
    explicit StopRequests(std::function<void()> onStop) : m_onStop(std::move(onStop))
    {
        if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        auto* notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            unsigned char sig = 0;
            (void)!::read(s_pipe[0], &sig, 1);
            m_onStop();
        });
        struct sigaction sa { };
        sa.sa_handler = [](int sig) {
            const unsigned char b = static_cast<unsigned char>(sig);
            (void)!::write(s_pipe[1], &b, 1);
        };
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGHUP, &sa, nullptr);
    }

private:
    static inline int s_pipe[2] = {-1, -1};
    std::function<void()> m_onStop;
};

// The block of progress lines on a terminal, one per port, redrawn in place.
class ProgressBlock {
public:
    explicit ProgressBlock(const CommissionRun& run) : m_run(run) { m_clock.start(); }
    void draw(bool force = false)
    {
        if (!force && m_drawn > 0 && m_clock.elapsed() < 100)
            return;
        m_clock.restart();
        QString text;
        if (m_drawn > 0)
            text += QStringLiteral("\x1b[%1A").arg(m_drawn);
        int lines = 0;
        for (const auto& p : m_run.ports()) {
            text += QStringLiteral("\r\x1b[2K  %1  %2  %3\n")
                        .arg(p->job.port, p->identity.isEmpty() ? QStringLiteral("-") : p->identity, p->state);
            ++lines;
        }
        m_drawn = lines;
        out(text);
    }

private:
    const CommissionRun& m_run;
    QElapsedTimer m_clock;
    int m_drawn = 0;
};

int summarise(const std::vector<TCommissioningRecord>& records, const QStringList& logErrors, const QString& log,
              const QStringList& notStarted = {})
{
    out(Commission_Table(records));
    int ok = 0;
    QStringList failed;
    for (const TCommissioningRecord& r : records) {
        if (r.ok)
            ++ok;
        else
            failed << QStringLiteral("%1 (%2)").arg(
                r.watchIndex > 0 ? QStringLiteral("%1 #%2").arg(r.port).arg(r.watchIndex) : r.port, r.message);
    }
    out(QStringLiteral("%1 ok, %2 failed; log: %3\n").arg(ok).arg(failed.size()).arg(Untrusted_Text(log, 1 << 20)));
    if (!logErrors.isEmpty())
        return cliFail(
            QStringLiteral("the commissioning log could not be written: %1").arg(logErrors.join(QStringLiteral("; "))));
    QString problem;
    if (!failed.isEmpty())
        problem = QStringLiteral("%1 of %2 controllers failed: %3")
                      .arg(failed.size())
                      .arg(records.size())
                      .arg(failed.join(QStringLiteral("; ")));
    if (!notStarted.isEmpty())
        problem += (problem.isEmpty() ? QString() : QStringLiteral("; "))
            + QStringLiteral("interrupted before starting %1").arg(notStarted.join(QStringLiteral(", ")));
    return problem.isEmpty() ? kExitOk : cliFail(problem);
}

int runParallel(const std::vector<TCommissionJob>& jobs, int atOnce, const QString& log)
{
    CommissionRun run;
    const bool terminal = stdoutIsTerminal();
    ProgressBlock progress(run);
    if (terminal) {
        run.onChanged = [&](const CommissionRun::Port&) { progress.draw(); };
        run.onDone = [&](const CommissionRun::Port&) { progress.draw(true); };
    }
    run.onFinished = [] { QCoreApplication::exit(0); };
    StopRequests stop([&run] { run.interrupt(); });
    run.start(jobs, atOnce);
    if (!run.finished())
        QCoreApplication::exec();
    if (terminal)
        progress.draw(true);
    std::vector<TCommissioningRecord> records;
    QStringList logErrors;
    QStringList notStarted;
    for (const auto& p : run.ports()) {
        if (!p->started) {
            notStarted << p->job.port;
            continue;
        }
        records.push_back(p->record);
        if (!p->logError.isEmpty())
            logErrors << p->logError;
    }
    return summarise(records, logErrors, log, notStarted);
}

int runCommission(const QStringList& args)
{
    CommandLine cl = cliCommandLine("commission", QString::fromLatin1(kDescription));
    cl.addPositional("PROJECT", "The project file to send.");
    cl.addOption({"port", "A port to commission (repeatable).", "NAME"}, true);
    cl.addOption({"all", "Every serial port of an FTDI adapter."});
    cl.addOption({"config", "Send the configuration."});
    cl.addOption({"images", "Send the images."});
    cl.addOption({"verify",
                  "Read the configuration back after writing it and compare it before the restart (with "
                  "--images, give --config too)."});
    cl.addOption({"log", "Append to this log (default: PROJECT-commissioning.jsonl beside the project).", "FILE"});
    cl.addOption({"jobs", "Commission at most N ports at a time (default: all).", "N"});
    cl.addOption({"watch", "Commission controller after controller on one --port, until Ctrl+C."});
    QCommandLineOption worker(QStringLiteral("worker"), QStringLiteral("One port, for a parent commission."));
    worker.setFlags(QCommandLineOption::HiddenFromHelp);
    cl.addOption(worker);
    QCommandLineOption session(QStringLiteral("watch-session"), QString(), QStringLiteral("TIME"));
    session.setFlags(QCommandLineOption::HiddenFromHelp);
    cl.addOption(session);
    QCommandLineOption index(QStringLiteral("watch-index"), QString(), QStringLiteral("N"));
    index.setFlags(QCommandLineOption::HiddenFromHelp);
    cl.addOption(index);
    const bool isWorker = args.contains(QStringLiteral("--worker"));
    if (const auto status = cl.parse(args, isWorker ? 2 : 1, isWorker ? 2 : 1))
        return *status;

    const bool config = cl.isSet("config");
    const bool images = cl.isSet("images");
    TCommissionJob base;
    base.sendConfig = config || !images;
    base.sendImages = images || !config;
    base.verify = cl.isSet("verify");
    if (isWorker) {
        base.port = cl.positional()[0];
        base.project = cl.positional()[1];
        base.log = cl.value("log");
        base.watchSession = cl.value("watch-session");
        base.watchIndex = cl.value("watch-index").toInt();
        return Run_Commission_Worker(base);
    }
    if (cl.isSet("verify") && images && !config)
        return cl.usageError(QStringLiteral("--verify checks the configuration: give --config too"));
    const QStringList named = cl.values("port");
    if (named.isEmpty() == !cl.isSet("all"))
        return cl.usageError(QStringLiteral("give the ports with --port NAME..., or --all (not both)"));
    int atOnce = 0;
    if (cl.isSet("jobs")) {
        bool ok = false;
        atOnce = cl.value("jobs").toInt(&ok);
        if (!ok || atOnce < 1)
            return cl.usageError(
                QStringLiteral("--jobs wants a number of 1 or more, not \"%1\"").arg(cl.value("jobs")));
    }
    const bool watch = cl.isSet("watch");
    if (watch && (named.size() != 1 || cl.isSet("jobs")))
        return cl.usageError(QStringLiteral("--watch takes exactly one --port and no --all or --jobs"));
    QStringList devices;
    for (const QString& port : named) {
        const QString device = QFileInfo(port).canonicalFilePath();
        if (devices.contains(device.isEmpty() ? port : device))
            return cl.usageError(QStringLiteral("--port %1 names a port already given").arg(port));
        devices << (device.isEmpty() ? port : device);
    }

    base.project = QFileInfo(cl.positional()[0]).absoluteFilePath();
    {
        TProjectDocument check;
        QString error;
        if (!cliLoadProject(cl.positional()[0], check.Project_Device_Config, check.Handle_List, &error))
            return cliFail(error);
    }
    base.log
        = QFileInfo(cl.isSet("log") ? cl.value("log") : Default_Commissioning_Log(base.project)).absoluteFilePath();
    if (const QString clash = CliOutputFiles::clash({{"--log", base.log}}, {{"the project", base.project}});
        !clash.isEmpty())
        return cl.usageError(clash);
    // The log is the point of the run: a log that cannot be written stops it
    // before any controller is touched.
    const QFileInfo logInfo(base.log);
    if (logInfo.exists() ? !logInfo.isFile() || !logInfo.isWritable() : !QFileInfo(logInfo.absolutePath()).isWritable())
        return cliFail(QStringLiteral("%1: the commissioning log cannot be written there").arg(base.log));

    if (watch) {
        base.port = named[0];
        CommissionWatch w(base);
        StopRequests stop([&w] { w.stop(); });
        const std::vector<TCommissioningRecord> records = w.run();
        return summarise(records, w.logErrors(), base.log);
    }

    const QStringList ports = cl.isSet("all") ? Get_CommPort_List(QStringLiteral("FTDI")) : named;
    if (ports.isEmpty())
        return cliFail(QStringLiteral("no serial port of an FTDI adapter found (name ports with --port)"));
    std::vector<TCommissionJob> jobs;
    for (const QString& port : ports) {
        TCommissionJob job = base;
        job.port = port;
        jobs.push_back(job);
    }
    return runParallel(jobs, atOnce, base.log);
}

const CliRegistration commissionCommand{
    {"commission",
     "PROJECT (--port NAME... | --all) [--config] [--images] [--verify] [--log FILE] [--jobs N] [--watch]",
     "send PROJECT to many controllers at once, or one after another with --watch, and log each", runCommission}};

} // namespace
