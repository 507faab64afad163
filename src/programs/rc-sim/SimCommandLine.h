#pragma once
// The options of corvane-rc-sim.

#include "programs/common/CommandLine.h"
#include "sim/lib/SimOptions.h"

#include <QString>
#include <QStringList>

struct SimCommandLine {
    SimOptions options;
    QString linkPath;              // --link
    QString dumpDir;               // --dump-dir
    int readyFd = -1;              // --ready-fd: told "PORT <path>" once the port (and link) can be opened
    bool daemon = false;           // --daemon: return once ready, keep running in the background
    QString error;                 // set when the command line cannot be used (exit 2)
    std::optional<int> exitStatus; // set when --help, --version or a usage error was answered

    // Parses arguments (program name first); checks that --link and
    // --dump-dir can be used.
    static SimCommandLine parse(const QStringList& arguments);
};
