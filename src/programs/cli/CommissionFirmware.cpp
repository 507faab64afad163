#include "CommissionFirmware.h"

#include "CliFirmwareUpgrade.h"

#include "core/comms/TVrexComms.h"
#include "core/device/DevicePauseScale.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/resources/CarriedData.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {

QString versionText(uint16_t version)
{
    return QString::asprintf("%d.%02d", version / 100, version % 100);
}

// A pause that keeps the event loop turning: a stop signal is handled
// while the controller restarts.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// After the 'firmware write' command the controller installs the image and
// restarts: asked once a second until it answers, at most kRestartMs.
constexpr int kRestartMs = 60000;
constexpr int kAskEveryMs = 1000;

} // namespace

bool commissionNeedsUpgrade(const TProbeResult& probe, uint16_t carriedVersion)
{
    switch (connectVerdict(probe.partNo, probe.fwVersion, kPurposeUpload)) {
    case TConnectVerdict::NeedsApplicationFirmware:
    case TConnectVerdict::NeedsFirmwareUpgrade: return true;
    case TConnectVerdict::Yes: return probe.fwVersion < carriedVersion;
    // Firmware this program does not know is left alone, as the firmware
    // window's discovery leaves it.
    case TConnectVerdict::NotCompatible: break;
    }
    return false;
}

bool commissionFirmwareStep(const TCommissionFirmwareJob& job, TVrexComms& comms, TProbeResult& probe,
                            TCommissioningRecord& record, QString* failure)
{
    if (!commissionNeedsUpgrade(probe, job.carriedVersion))
        return true;
    TFirmwareUpgradeRecord upgrade;
    upgrade.from = versionText(probe.fwVersion);
    upgrade.to = versionText(job.carriedVersion);
    record.upgrade = upgrade;
    if (job.carriedVersion == 0) {
        *failure = QStringLiteral("firmware upgrade not started, no data sent: this build carries no firmware version");
        return false;
    }
    const bool placeholderAllowed = job.allowPlaceholder || job.placeholderPorts.contains(job.port);
    if (carriedFirmwareIsPlaceholder() && !placeholderAllowed) {
        *failure = QStringLiteral("firmware upgrade refused, no data sent: %1").arg(placeholderFirmwareRefusal());
        return false;
    }
    if (job.emitEvent)
        job.emitEvent({{"event", "upgrading"}, {"from", upgrade.from}, {"to", upgrade.to}});
    int lastPercent = -1;
    CliFirmwareUpgradeJob run;
    run.ports = {job.port};
    // Claimed just before it is written: a stopped worker leaves no empty file.
    QString claimed;
    run.claimBackup = [&](QString* error) {
        claimed = claimBackupPath(job.backupFolder, error);
        return claimed;
    };
    run.allowPlaceholder = placeholderAllowed;
    run.quiet = true;
    run.onProgress = [&](TDeviceBar bar, qint64 position, qint64 maximum) {
        const int percent = int(position * 100 / maximum);
        if (bar != TDeviceBar::Firmware || percent == lastPercent || !job.emitEvent)
            return;
        lastPercent = percent;
        job.emitEvent({{"event", "progress"}, {"bar", "firmware"}, {"percent", percent}});
    };
    const CliFirmwareUpgradeOutcome outcome = runFirmwareUpgrade(run);
    // A name claimed but never written (the save failed) leaves no file.
    if (outcome.backup.isEmpty() && !claimed.isEmpty() && QFileInfo(claimed).size() == 0)
        QFile::remove(claimed);
    if (!outcome.backup.isEmpty())
        record.upgrade->backup = QFileInfo(outcome.backup).absoluteFilePath();
    if (!outcome.ok) {
        *failure = QStringLiteral("firmware upgrade failed, no data sent: %1").arg(outcome.error);
        return false;
    }

    // The controller restarts into its new firmware: only once it says it
    // runs firmware that takes an upload does the commissioning go on.
    QDeadlineTimer deadline(scaledPauseMs(kRestartMs));
    for (;;) {
        probe = probeController(comms, job.port);
        comms.CloseComm();
        if (probe.isController()
            && connectVerdict(probe.partNo, probe.fwVersion, kPurposeUpload) == TConnectVerdict::Yes)
            break;
        if (deadline.hasExpired()) {
            *failure = probe.isController()
                ? QStringLiteral("firmware upgraded, but the controller still reports firmware %1; no data sent")
                      .arg(versionText(probe.fwVersion))
                : QStringLiteral("firmware upgraded, but the controller did not answer afterwards; no data sent");
            return false;
        }
        pause(scaledPauseMs(kAskEveryMs));
    }
    record.partNumber = probe.partNo;
    record.firmware = versionText(probe.fwVersion);
    record.upgrade->to = record.firmware;
    record.upgrade->ok = true;
    if (job.emitEvent)
        job.emitEvent({{"event", "identified"}, {"part_number", probe.partNo}, {"firmware", record.firmware}});
    return true;
}
