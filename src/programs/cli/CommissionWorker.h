#pragma once
// One port's commissioning, run in a process of its own (corvane-cli
// commission --worker): read the run's plan (the record and image block its
// parent built and checked), identify, refuse firmware the upload cannot
// serve, upload through the configurator's own step machines, append the
// record to the log. It tells its parent what happens as JSON lines on stdout:
//   {"event":"identified","part_number":5813,"firmware":"2.01"}
//   {"event":"upgrading","from":"1.04","to":"2.01"}   (--firmware; then
//     progress with "bar":"firmware", and "identified" again)
//   {"event":"progress","bar":"config"|"images","percent":40}
//   {"event":"result","record":{...log record...},"log_error":"..."}
// A process per port keeps links apart (nothing of one link's state is
// shared with another) and a crash on one port from touching the others.

#include "CommissionSite.h"

#include <QString>
#include <QStringList>

struct TCommissionJob {
    QString port;
    QString project;
    bool sendConfig = true;
    bool sendImages = true;
    bool verify = false;
    QString log;
    QString watchSession;
    int watchIndex = 0;
    // The plan file and the SHA-256 of its bytes, and of the project's.
    QString plan;
    QString planSha256;
    QString projectSha256;
    // --firmware: upgrade old firmware first (CommissionFirmware.h).
    bool firmware = false;
    bool allowPlaceholder = false;
    QStringList placeholderPorts;
    QString backupFolder;
    TCommissionSiteJob site;
};

// Returns the exit status: 0 the controller was commissioned, 1 not.
int runCommissionWorker(const TCommissionJob& job);
