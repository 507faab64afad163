// corvane-cli commission: one project to many controllers at once (one
// worker process per port), or, with --watch, to controller after controller
// on one port; every attempt is appended to the commissioning log.
#include "CliCommand.h"
#include "CliFirmwareUpgrade.h"
#include "CliOutputFiles.h"
#include "CliProject.h"
#include "CommissionSite.h"
#include "CommissionSummary.h"
#include "CommissionWatch.h"
#include "CommissionWorker.h"

#include "programs/common/QuietMessages.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/commissioning/TCommissioningRunner.h"
#include "core/device/CommPortList.h"
#include "core/messaging/UntrustedText.h"
#include "core/resources/CarriedData.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int kDefaultJobs = 16;

const char* const kDescription
    = "Sends PROJECT to every named port (or every FTDI adapter's port with --all), at most 16 (--jobs) at\n"
      "a time, each port through its own link in a process of its own. Without --config or --images both\n"
      "are sent. The project is read once, and its configuration and image data block are built and checked\n"
      "before any port is opened: a picture that cannot be sent stops the run before anything is written,\n"
      "naming it, and every controller gets the same bytes even if the file is edited during the run. A\n"
      "controller whose firmware cannot take an upload is skipped (without --firmware) with the reason and\n"
      "counts as failed.\n"
      "On a terminal one progress line per port (the counts and the failed ports when there are more ports\n"
      "than lines); at the end a table: port, part number, firmware, what was sent, verify result, time,\n"
      "outcome. Ports still waiting when the run is stopped are logged as not attempted.\n\n"
      "With --watch (and one --port) it waits for a controller to answer on the port (asking at most once\n"
      "a second, writing nothing before a full identification), commissions it, prints one result line\n"
      "(and rings the terminal bell), waits until the controller stops answering (the cable is moved),\n"
      "then waits for the next. Ctrl+C ends it with the summary of every controller done.\n\n"
      "With --firmware a controller whose firmware is older than the firmware this program carries, or\n"
      "cannot take an upload (also a running boot loader), is upgraded first: its configuration is read\n"
      "into a backup project (corvane-backup-<date>-<time>.cvp in --backup-dir, default the working\n"
      "directory), the firmware is sent, and once the controller answers with its new firmware the data\n"
      "follows. An upgrade that fails stops that controller with nothing sent. As for the firmware command,\n"
      "this build's stand-in firmware is sent only with --allow-placeholder.\n\n"
      "With --site SHEET each controller gets the project's record with its row of the site sheet applied:\n"
      "a CSV file (UTF-8, comma or semicolon) whose header names one key column, adapter_serial or port\n"
      "(or, with --watch, order: 1 for the first controller, 2 for the next, ...), and record fields as\n"
      "info --json names them (service_info_text, controller_type, show_setpoint_dp, theme_colour, ...); a\n"
      "name or room column labels the row. An empty cell keeps the project's value. The whole sheet is\n"
      "checked first: every problem is printed with its line and column and nothing is sent (exit 2). A\n"
      "controller without a row gets the project as it is; with --site-only it is skipped with that reason\n"
      "and counts as failed. Example:\n"
      "  adapter_serial,room,service_info_text,controller_type\n"
      "  FT4XK1A,Room 104,\"Room 104\n"
      "  Service: 0161 555 0100\",0\n"
      "  FT4XK1B,Room 105,Room 105,1\n\n"
      "Every attempt on every controller is one line of the log (JSON Lines, appended and synced):\n"
      "time, port, adapter_serial, part_number, firmware (at the end), project, project_sha256,\n"
      "config_checksum, image_block_bytes, image_block_sha256, sent, verify, seconds, outcome (ok or\n"
      "failed), message; after an upgrade also upgrade: {from, to, backup, outcome}; with --site also\n"
      "site_sheet, site_sheet_sha256, site_row (the row's key) and site_values (what it set), and\n"
      "config_checksum is that controller's own.\n\n"
      "Exit status: 0 every controller was commissioned, 1 any failed (stderr names each failed port and\n"
      "its reason), 2 usage error.";

// Ports, controllers' answers and messages may hold bytes a terminal acts on.
QString shown(const QString& text)
{
    return untrustedText(text, 1 << 20);
}

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
    explicit StopRequests(std::function<void(int)> onStop) : m_onStop(std::move(onStop))
    {
        if (::pipe2(sPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        auto* notifier = new QSocketNotifier(sPipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            unsigned char sig = 0;
            (void)!::read(sPipe[0], &sig, 1);
            m_onStop(sig);
        });
        struct sigaction sa { };
        sa.sa_handler = [](int sig) {
            const unsigned char b = static_cast<unsigned char>(sig);
            (void)!::write(sPipe[1], &b, 1);
        };
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(SIGINT, &sa, nullptr);
        ::sigaction(SIGTERM, &sa, nullptr);
        ::sigaction(SIGHUP, &sa, nullptr);
    }

private:
    static inline int sPipe[2] = {-1, -1};
    std::function<void(int)> m_onStop;
};

int terminalRows()
{
    struct winsize size { };
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0)
        return size.ws_row;
    return 24;
}

// The block of progress lines on a terminal, redrawn in place: one per port
// while they fit the terminal, else the counts and every failed port.
class ProgressBlock {
public:
    explicit ProgressBlock(const TCommissioningRunner& run) : m_run(run) { m_clock.start(); }
    void draw(bool force = false)
    {
        if (!force && m_drawn > 0 && m_clock.elapsed() < 100)
            return;
        m_clock.restart();
        QStringList lines;
        const int rows = terminalRows() - 1;
        if (m_run.portCount() <= rows) {
            for (int i = 0; i < m_run.portCount(); ++i) {
                const TCommissioningRunner::Port& p = m_run.port(i);
                const QString state
                    = p.state == TCommissioningRunner::State::Sending ? p.activity : commissioningStateText(p.state);
                lines << QStringLiteral("  %1  %2  %3")
                             .arg(shown(p.port), p.identity.isEmpty() ? QStringLiteral("-") : shown(p.identity),
                                  shown(state));
            }
        } else {
            int ok = 0, failed = 0, running = 0, waiting = 0;
            QStringList failures;
            for (int i = 0; i < m_run.portCount(); ++i) {
                const TCommissioningRunner::Port& p = m_run.port(i);
                if (p.state == TCommissioningRunner::State::Ok)
                    ++ok;
                else if (p.done)
                    ++failed,
                        failures << QStringLiteral("  failed: %1 (%2)").arg(shown(p.port), shown(p.record.message));
                else if (p.started)
                    ++running;
                else
                    ++waiting;
            }
            lines << QStringLiteral("  %1 ports: %2 ok, %3 failed, %4 running, %5 waiting")
                         .arg(m_run.portCount())
                         .arg(ok)
                         .arg(failed)
                         .arg(running)
                         .arg(waiting);
            const int room = qMax(0, rows - 1);
            if (failures.size() > room)
                failures = failures.mid(failures.size() - room);
            lines << failures;
        }
        QString text;
        if (m_drawn > 0)
            text += QStringLiteral("\x1b[%1A").arg(m_drawn);
        for (const QString& line : lines)
            text += QStringLiteral("\r\x1b[2K") + line + QLatin1Char('\n');
        // Lines of an earlier, longer drawing are cleared.
        for (int i = int(lines.size()); i < m_drawn; ++i)
            text += QStringLiteral("\r\x1b[2K\n");
        const int drawn = qMax(m_drawn, int(lines.size()));
        if (drawn > lines.size())
            text += QStringLiteral("\x1b[%1A").arg(drawn - lines.size());
        m_drawn = int(lines.size());
        out(text);
    }

private:
    const TCommissioningRunner& m_run;
    QElapsedTimer m_clock;
    int m_drawn = 0;
};

int summarise(const std::vector<TCommissioningRecord>& records, const QStringList& logErrors, const QString& log)
{
    // Stopped before any controller answered: no table, and no log to name,
    // since nothing was written to it.
    if (records.empty() && logErrors.isEmpty()) {
        out(QStringLiteral("no controller was commissioned\n"));
        return kExitOk;
    }
    out(commissionTable(records));
    int ok = 0;
    QStringList failed;
    for (const TCommissioningRecord& r : records) {
        if (r.ok)
            ++ok;
        else
            failed << QStringLiteral("%1 (%2)").arg(
                r.watchIndex > 0 ? QStringLiteral("%1 #%2").arg(shown(r.port)).arg(r.watchIndex) : shown(r.port),
                shown(r.message));
    }
    out(QStringLiteral("%1 ok, %2 failed; log: %3\n").arg(ok).arg(failed.size()).arg(untrustedText(log, 1 << 20)));
    if (!logErrors.isEmpty())
        return cliFail(
            QStringLiteral("the commissioning log could not be written: %1").arg(logErrors.join(QStringLiteral("; "))));
    if (failed.isEmpty())
        return kExitOk;
    return cliFail(QStringLiteral("%1 of %2 %3 failed: %4")
                       .arg(failed.size())
                       .arg(records.size())
                       .arg(records.size() == 1 ? QStringLiteral("controller") : QStringLiteral("controllers"))
                       .arg(failed.join(QStringLiteral("; "))));
}

int runParallel(TCommissioningPlan plan, const TCommissioningOptions& options, const QStringList& ports, int atOnce)
{
    TCommissioningRunner run(std::move(plan), options);
    QString error;
    if (!run.preparePlanFile(&error))
        return cliFail(error);
    for (const QString& port : ports)
        run.addPort(port);
    const bool terminal = stdoutIsTerminal();
    ProgressBlock progress(run);
    if (terminal) {
        QObject::connect(&run, &TCommissioningRunner::portChanged, &run, [&] { progress.draw(); });
        QObject::connect(&run, &TCommissioningRunner::portFinished, &run, [&] { progress.draw(true); });
    }
    QObject::connect(&run, &TCommissioningRunner::allFinished, &run, [] { QCoreApplication::exit(0); });
    StopRequests stop([&run](int sig) { run.stop(sig); });
    run.start(atOnce);
    if (!run.isFinished())
        QCoreApplication::exec();
    if (terminal)
        progress.draw(true);
    std::vector<TCommissioningRecord> records;
    QStringList logErrors;
    for (int i = 0; i < run.portCount(); ++i) {
        records.push_back(run.port(i).record);
        if (!run.port(i).logError.isEmpty())
            logErrors << run.port(i).logError;
    }
    return summarise(records, logErrors, options.log);
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
    cl.addOption({"jobs", "Commission at most N ports at a time (default: 16).", "N"});
    cl.addOption({"watch", "Commission controller after controller on one --port, until Ctrl+C."});
    cl.addOption({"firmware", "Upgrade old firmware first (after a backup of the configuration)."});
    cl.addOption({"allow-placeholder", "With --firmware: send stand-in firmware (for the virtual controller)."});
    cl.addOption({"backup-dir", "With --firmware: where the backups go (default: the working directory).", "DIR"});
    // The window's virtual controller: stand-in firmware may go to it alone.
    QCommandLineOption placeholderPort(QStringLiteral("placeholder-port"), QString(), QStringLiteral("NAME"));
    placeholderPort.setFlags(QCommandLineOption::HiddenFromHelp);
    cl.addOption(placeholderPort);
    addCommissionSiteOptions(cl);
    QCommandLineOption worker(QStringLiteral("worker"), QStringLiteral("One port, for a parent commission."));
    worker.setFlags(QCommandLineOption::HiddenFromHelp);
    cl.addOption(worker);
    QCommandLineOption session(QStringLiteral("watch-session"), QString(), QStringLiteral("TIME"));
    session.setFlags(QCommandLineOption::HiddenFromHelp);
    cl.addOption(session);
    QCommandLineOption index(QStringLiteral("watch-index"), QString(), QStringLiteral("N"));
    index.setFlags(QCommandLineOption::HiddenFromHelp);
    cl.addOption(index);
    for (const char* name : {"plan", "plan-sha256", "project-sha256"}) {
        QCommandLineOption hidden(QString::fromLatin1(name), QString(), QStringLiteral("VALUE"));
        hidden.setFlags(QCommandLineOption::HiddenFromHelp);
        cl.addOption(hidden);
    }
    const bool isWorker = args.contains(QStringLiteral("--worker"));
    if (const auto status = cl.parse(args, isWorker ? 2 : 1, isWorker ? 2 : 1))
        return *status;

    const bool config = cl.isSet("config");
    const bool images = cl.isSet("images");
    TCommissionJob base;
    base.sendConfig = config || !images;
    base.sendImages = images || !config;
    base.verify = cl.isSet("verify");
    base.firmware = cl.isSet("firmware");
    base.allowPlaceholder = cl.isSet("allow-placeholder");
    base.placeholderPorts = cl.values("placeholder-port");
    base.backupFolder = cl.isSet("backup-dir") ? cl.value("backup-dir") : QDir::currentPath();
    if (isWorker) {
        base.port = cl.positional()[0];
        base.project = cl.positional()[1];
        base.log = cl.value("log");
        base.watchSession = cl.value("watch-session");
        base.watchIndex = cl.value("watch-index").toInt();
        base.plan = cl.value("plan");
        base.planSha256 = cl.value("plan-sha256");
        base.projectSha256 = cl.value("project-sha256");
        base.site = commissionSiteJob(cl);
        return runCommissionWorker(base);
    }
    if (cl.isSet("verify") && images && !config)
        return cl.usageError(QStringLiteral("--verify checks the configuration: give --config too"));
    if (!base.firmware && (base.allowPlaceholder || cl.isSet("backup-dir")))
        return cl.usageError(QStringLiteral("--allow-placeholder and --backup-dir go with --firmware"));
    const QStringList named = cl.values("port");
    if (named.isEmpty() == !cl.isSet("all"))
        return cl.usageError(QStringLiteral("give the ports with --port NAME..., or --all (not both)"));
    // Enough to keep a building's adapters busy, few enough that the workers
    // fit a laptop.
    int atOnce = kDefaultJobs;
    if (cl.isSet("jobs")) {
        bool ok = false;
        atOnce = cl.value("jobs").toInt(&ok);
        if (!ok || atOnce < 1)
            return cl.usageError(
                QStringLiteral("--jobs wants a number of 1 or more, not \"%1\"").arg(untrustedText(cl.value("jobs"))));
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
    // The project is read once and everything it sends is built and checked
    // here, before any port is opened: a picture that cannot be sent stops
    // the run with nothing written to any controller, and an edit of the
    // file during the run changes nothing that is sent.
    TCommissioningPlan plan;
    plan.sendConfig = base.sendConfig;
    plan.sendImages = base.sendImages;
    {
        QString error;
        if (!prepareCommissioningPlan(cl.positional()[0], plan, &error))
            return cliFail(error);
    }
    base.log = QFileInfo(cl.isSet("log") ? cl.value("log") : defaultCommissioningLog(base.project)).absoluteFilePath();
    if (const QString clash = CliOutputFiles::clash({{"--log", base.log}}, {{"the project", base.project}});
        !clash.isEmpty())
        return cl.usageError(clash);
    // The log is the point of the run: a log that cannot be written stops it
    // before any controller is touched.
    const QFileInfo logInfo(base.log);
    if (logInfo.exists() ? !logInfo.isFile() || !logInfo.isWritable() : !QFileInfo(logInfo.absolutePath()).isWritable())
        return cliFail(QStringLiteral("%1: the commissioning log cannot be written there").arg(base.log));

    // Stand-in firmware and a backup folder that cannot take a backup are
    // refused before any port is opened, as the firmware command refuses them.
    if (base.firmware) {
        if (carriedFirmwareIsPlaceholder() && !base.allowPlaceholder)
            return cliFail(placeholderFirmwareRefusal());
        base.backupFolder = QFileInfo(base.backupFolder).absoluteFilePath();
        if (const QFileInfo folder(base.backupFolder); !folder.isDir() || !folder.isWritable())
            return cliFail(QStringLiteral("%1: no backup can be written there (--backup-dir)").arg(base.backupFolder));
    }

    TCommissioningOptions options;
    options.verify = base.verify;
    options.log = base.log;
    options.workerProgram = QCoreApplication::applicationFilePath();
    options.workerArguments = QStringList{QStringLiteral("commission"), QStringLiteral("--worker")};
    if (base.firmware)
        options.workerArguments << QStringLiteral("--firmware") << QStringLiteral("--backup-dir") << base.backupFolder;
    if (base.allowPlaceholder)
        options.workerArguments << QStringLiteral("--allow-placeholder");
    CommissionSite site;
    if (const auto status = site.prepare(cl, plan, watch, &options.workerArguments))
        return *status;

    if (watch) {
        CommissionWatch w(named[0], plan, options);
        StopRequests stop([&w](int sig) { w.stop(sig); });
        const std::vector<TCommissioningRecord> records = w.run();
        return summarise(records, w.logErrors(), base.log);
    }

    const QStringList ports = cl.isSet("all") ? Get_CommPort_List(QStringLiteral("FTDI")) : named;
    if (ports.isEmpty())
        return cliFail(QStringLiteral("no serial port of an FTDI adapter found (name ports with --port)"));
    return runParallel(std::move(plan), options, ports, atOnce);
}

const CliRegistration kCommissionCommand{
    {"commission",
     "PROJECT (--port NAME... | --all) [--config] [--images] [--verify] [--log FILE] [--jobs N] [--watch] "
     "[--firmware [--allow-placeholder] [--backup-dir DIR]] [--site SHEET [--site-only]]",
     "send PROJECT to many controllers at once, or one after another with --watch, and log each", runCommission}};

} // namespace
