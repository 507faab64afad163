// corvane-rc-sim: a virtual controller on a pseudo-terminal.
#include "SimCommandLine.h"
#include "SimReadiness.h"
#include "StopSignals.h"

#include "programs/common/QuietMessages.h"

#include "sim/lib/VirtualController.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    // The command line is read before anything starts a thread: --daemon
    // forks, and only a process of one thread forks safely.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const SimCommandLine cmd = SimCommandLine::parse(arguments);
    if (cmd.exitStatus)
        return *cmd.exitStatus;
    if (!cmd.error.isEmpty()) {
        QTextStream(stderr) << "corvane-rc-sim: " << cmd.error << " (try corvane-rc-sim --help)\n";
        return kExitUsage;
    }
    SimReadiness readiness(cmd.readyFd);
    if (cmd.daemon) {
        const int status = SimReadiness::daemonize(readiness);
        if (status >= 0)
            return status;
    }

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("corvane-rc-sim");
    routeQtMessagesToDebugLog();
    QTextStream err(stderr);
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &app, [](int) { QCoreApplication::quit(); });

    VirtualController sim(cmd.options);
    sim.onVanish = [&app] {
        QMetaObject::invokeMethod(
            &app, [] { QCoreApplication::exit(3); }, Qt::QueuedConnection);
    };
    QString error;
    if (!sim.start(&error)) {
        err << "corvane-rc-sim: " << error << '\n';
        return kExitFailed;
    }
    // A link that was asked for and is missing would leave its user probing
    // nothing: no terminal is offered without it.
    if (!cmd.linkPath.isEmpty() && !sim.makeLink(cmd.linkPath, &error)) {
        sim.stop();
        err << "corvane-rc-sim: --link " << cmd.linkPath << ": " << error << " (try corvane-rc-sim --help)\n";
        return kExitUsage;
    }
    // The first line is read by whoever started us (configurator --demo, tests).
    std::fprintf(stdout, "PORT %s\n", sim.portName().toLocal8Bit().constData());
    std::fflush(stdout);
    readiness.ready(sim.portName());

    int status = app.exec();
    sim.stop();
    if (status == 3) {
        err << "corvane-rc-sim: terminal closed after frame " << sim.frameCount() << " (--vanish-after)\n";
        status = 0;
    }
    if (!cmd.linkPath.isEmpty() && QFile::symLinkTarget(cmd.linkPath) == sim.portName())
        QFile::remove(cmd.linkPath);
    if (!cmd.dumpDir.isEmpty() && !sim.writeDump(cmd.dumpDir, &error)) {
        err << "corvane-rc-sim: " << error << '\n';
        return kExitFailed;
    }
    return status;
}
