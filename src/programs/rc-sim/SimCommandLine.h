#pragma once
// The options of corvane-rc-sim.

#include "sim/lib/SimOptions.h"

#include <QString>
#include <QStringList>

struct SimCommandLine {
    SimOptions options;
    QString linkPath; // --link
    QString dumpDir;  // --dump-dir
    QString error;    // set when the command line cannot be used

    // Parses arguments (program name first). --help prints and exits.
    static SimCommandLine parse(const QStringList& arguments);
};
