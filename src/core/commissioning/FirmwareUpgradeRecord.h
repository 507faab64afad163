#pragma once
// A firmware upgrade made before a controller was commissioned: the
// firmware it ran, the firmware it was given, where its configuration was
// backed up, and whether the upgrade went through. In the log line as
//   "upgrade": {"from": "1.04", "to": "2.01", "backup": "/site/corvane-backup-....cvp", "outcome": "ok"}
// absent when no upgrade was tried.

#include <QJsonObject>
#include <QString>

struct TFirmwareUpgradeRecord {
    QString from;   // "1.04"; for a running boot loader, its version
    QString to;     // the carried firmware's version
    QString backup; // the backup project's path; empty when nothing was backed up
    bool ok = false;

    QJsonObject toJson() const;
    // Lenient: a field of the wrong type reads as empty.
    static TFirmwareUpgradeRecord fromJson(const QJsonObject& o);
    // "1.04 -> 2.01", or "1.04 -> 2.01 failed".
    QString text() const;
};
