#pragma once
// The commissioning log file: JSON Lines, appended. Several processes may
// append to one log at once (one per link), so each record is one write of a
// whole line to a file opened for appending, made durable before the call
// returns; a reader never sees half a record from a writer that was killed.

#include "core/commissioning/CommissioningRecord.h"

#include <QString>

#include <functional>
#include <vector>

// False with a reason in *error when the line could not be written whole
// (nothing of it is left behind then).
bool appendCommissioningRecord(const QString& path, const TCommissioningRecord& record, QString* error = nullptr);

struct TCommissioningLogLine {
    int line = 0; // from 1
    QString problem;
};

struct TCommissioningLogContents {
    bool readable = false;
    QString error; // why the file could not be read
    std::vector<TCommissioningRecord> records;
    std::vector<TCommissioningLogLine> malformed; // skipped lines
};

TCommissioningLogContents readCommissioningLog(const QString& path);

// How a written line is made durable: fsync(fd) on the log file, and on its
// folder when the log is new. Tests put their own here to see each call (or
// to make one fail as a full or failing disk would); it returns what fsync
// returns and sets errno likewise. Returns the function it replaces; an
// empty one restores fsync.
using TCommissioningLogSync = std::function<int(int fd)>;
TCommissioningLogSync setCommissioningLogSync(TCommissioningLogSync sync);

// The log a project's commissioning goes to by default:
// "site.cvp" -> "site-commissioning.jsonl" in the same folder.
QString defaultCommissioningLog(const QString& projectPath);
