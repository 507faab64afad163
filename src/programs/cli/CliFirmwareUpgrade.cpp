#include "CliFirmwareUpgrade.h"

#include "CliDeviceHost.h"
#include "CliProject.h"

#include "core/device/DeviceTexts.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/UntrustedText.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/resources/CarriedData.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <exception>

#include <fcntl.h>
#include <unistd.h>

QString defaultBackupPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("corvane-backup-%1.cvp")
                                     .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

QString claimBackupPath(const QString& folder, QString* error)
{
    const QString first = defaultBackupPath(folder);
    for (int n = 1; n < 1000; ++n) {
        const QString path = n == 1 ? first : first.chopped(4) + QStringLiteral("-%1.cvp").arg(n);
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return {};
        }
    }
    *error = QStringLiteral("%1: too many backups of the same second").arg(first);
    return {};
}

QString placeholderFirmwareRefusal()
{
    return boxTextLine(DeviceText::placeholderFirmware())
        + QStringLiteral(" (--allow-placeholder sends it, for the virtual controller)");
}

QString carriedFirmwareVersion()
{
    try {
        const quint16 carried = Read_Resource_Word(QStringLiteral("FW_VER"));
        return QString::asprintf("%d.%02d", carried / 100, carried % 100);
    } catch (const std::exception&) {
        return {};
    }
}

CliFirmwareUpgradeOutcome runFirmwareUpgrade(const CliFirmwareUpgradeJob& upgrade)
{
    CliFirmwareUpgradeOutcome out;
    auto say = [&upgrade](const QString& line) {
        if (upgrade.say)
            upgrade.say(line);
    };
    TProjectDocument document;
    document.fill([](TDevice_Config_v2& record, THandleList& images) {
        record = newProjectConfig();
        createDefaultHandles(images);
        return true;
    });
    CliDeviceJob job;
    job.ports = upgrade.ports;
    job.verbose = upgrade.verbose;
    job.quiet = upgrade.quiet;
    job.onProgress = upgrade.onProgress;
    job.purpose = kPurposeRetrieve;
    const CliDeviceOutcome saved = runDeviceOperation(document, job);
    // A controller running its boot loader refuses a retrieve: nothing to back up.
    out.bootLoader = !saved.ok && saved.result.failedPhase == TDevicePhase::Identification
        && isBootLoaderPart(saved.result.partNumber);
    if (!saved.ok && !out.bootLoader) {
        out.result = saved.result;
        out.error = QStringLiteral("the configuration could not be read for a backup, so the firmware was left "
                                   "alone: %1")
                        .arg(saved.error);
        return out;
    }
    if (out.bootLoader)
        say(QStringLiteral("The controller runs its boot loader: no configuration to back up"));

    job.purpose = kPurposeFirmwareUpgrade;
    job.allowPlaceholder = upgrade.allowPlaceholder;
    // The backup is written once the upgrade goes ahead, before its first
    // byte: a refused upgrade leaves no file, a sent one always has its backup.
    job.beforeFirmware = [&]() -> QString {
        if (out.bootLoader)
            return {};
        QString error;
        const QString backup = upgrade.claimBackup ? upgrade.claimBackup(&error) : upgrade.backup;
        if (backup.isEmpty() || !cliSaveProject(backup, document.record(), document.images(), &error))
            return QStringLiteral("the configuration could not be backed up, so the firmware was left alone: %1")
                .arg(error);
        out.backup = backup;
        say(QStringLiteral("Configuration backed up to %1").arg(untrustedText(backup, 1 << 20)));
        return {};
    };
    const CliDeviceOutcome upgraded = runDeviceOperation(document, job);
    out.result = upgraded.result;
    out.ok = upgraded.ok;
    out.refused = upgraded.result.failedPhase == TDevicePhase::FirmwareRefused;
    if (out.refused)
        out.error = placeholderFirmwareRefusal();
    else if (!upgraded.ok)
        out.error = upgraded.error;
    return out;
}
