#pragma once
// The program that commissions one port for the window: corvane-cli, run as
// a worker ("commission --worker"), from the folder the configurator itself
// was started from. The window never looks for it on PATH: a different
// build there could send different bytes.

#include <QString>

// The worker beside programDir; empty with *error (one line saying where it
// was looked for) when it is missing or cannot be run.
QString commissionWorkerProgram(const QString& programDir, QString* error);
