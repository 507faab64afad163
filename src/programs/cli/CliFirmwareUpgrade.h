#pragma once
// The firmware upgrade as corvane-cli does it, for the firmware command and
// for commission --firmware alike: the controller's configuration is read
// into a backup project first, the backup written once the upgrade goes
// ahead (before its first byte), then the carried image is sent.

#include "CliDeviceRun.h"

#include <QString>
#include <QStringList>

#include <functional>

struct CliFirmwareUpgradeJob {
    QStringList ports;
    QString backup; // where the configuration is saved before the upgrade
    // Or, when set, asked for the path just before the backup is written
    // (empty with *error: no backup, and the firmware is left alone).
    std::function<QString(QString* error)> claimBackup;
    bool allowPlaceholder = false;
    bool verbose = false;
    bool quiet = false; // see CliDeviceJob::quiet
    std::function<void(TDeviceBar bar, qint64 position, qint64 maximum)> onProgress;
    // A line for the user ("Configuration backed up to ...").
    std::function<void(const QString& line)> say;
};

struct CliFirmwareUpgradeOutcome {
    bool ok = false;
    QString error;                // one line: why the firmware was left alone, or how the upgrade failed
    bool bootLoader = false;      // the boot loader ran: nothing was backed up
    QString backup;               // the backup file written, empty when none was
    bool refused = false;         // the carried firmware is a stand-in and was not sent
    DeviceOperationResult result; // of the upgrade, once it was tried
};

CliFirmwareUpgradeOutcome runFirmwareUpgrade(const CliFirmwareUpgradeJob& job);

// corvane-backup-<date>-<time>.cvp in folder, the firmware command's name
// for a backup.
QString defaultBackupPath(const QString& folder);
// The same name, claimed in folder by creating it empty and exclusively
// ("-2", "-3", ... appended when taken): workers upgrading controllers in
// the same second never write one backup over another. Empty with *error
// when no file can be made there.
QString claimBackupPath(const QString& folder, QString* error);

// The refusal of stand-in firmware, one line, as every command gives it.
QString placeholderFirmwareRefusal();
// The carried firmware's version ("2.01"), empty if the build carries none.
QString carriedFirmwareVersion();
