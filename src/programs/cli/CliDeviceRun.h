#pragma once
// Runs one device operation of the configurator (the same step machines)
// under corvane-cli's event loop until its link is closed.

#include "core/device/DeviceOperationResult.h"
#include "core/device/TDeviceHost.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class TProjectDocument;

struct CliDeviceJob {
    int purpose = 0;   // kPurposeRetrieve, kPurposeUpload, kPurposeFirmwareUpgrade
    QStringList ports; // the named ports, the only ones probed; none: the FTDI adapters' ports
    bool sendConfig = true;
    bool sendImages = true;
    bool verify = false;
    bool allowPlaceholder = false;
    bool verbose = false; // progress and retries even when stdout is not a terminal
    // Nothing printed (a commissioning worker's stdout carries its events);
    // progress, if wanted, through onProgress.
    bool quiet = false;
    std::function<void(TDeviceBar bar, qint64 position, qint64 maximum)> onProgress;
    // Built and checked before any port is opened; empty: none (built from
    // the project when images are sent).
    QByteArray imageBlock;
    // Called once the firmware upgrade goes ahead, before its first byte is
    // sent; a non-empty answer says why it must not, and nothing is sent.
    std::function<QString()> beforeFirmware;
};

struct CliDeviceOutcome {
    bool ok = false;
    QString error; // one line: how it failed
    DeviceOperationResult result;
};

// Over a link of its own, made for this operation.
CliDeviceOutcome runDeviceOperation(TProjectDocument& document, const CliDeviceJob& job);
