#pragma once
// commission --firmware in a worker: a controller whose firmware is older
// than the carried firmware, or cannot take an upload, is upgraded first
// (its configuration backed up as the firmware command backs it up), then
// identified again; the commissioning goes on only with a controller that
// now takes an upload.

#include "core/commissioning/CommissioningRecord.h"
#include "core/device/ControllerProbe.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

class TVrexComms;

struct TCommissionFirmwareJob {
    QString port;
    bool allowPlaceholder = false; // stand-in firmware may go to any port
    QStringList placeholderPorts;  // ... or to these (virtual controllers)
    QString backupFolder;          // where the backups go
    uint16_t carriedVersion = 0;   // the carried firmware's version, 0 when unknown
    std::function<void(const QJsonObject& event)> emitEvent;
};

// True when the controller would be upgraded: its firmware cannot take an
// upload, or is older than the carried firmware.
bool commissionNeedsUpgrade(const TProbeResult& probe, uint16_t carriedVersion);

// Upgrades the identified controller when it needs it. True when the
// commissioning may go on: probe is then the controller as it answers now,
// record.firmware and record.upgrade say what it runs and what was done.
// False with *failure (one line) when the upgrade was refused or failed;
// no data was sent.
bool commissionFirmwareStep(const TCommissionFirmwareJob& job, TVrexComms& comms, TProbeResult& probe,
                            TCommissioningRecord& record, QString* failure);
