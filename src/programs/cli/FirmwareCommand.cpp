// corvane-cli firmware: backs the controller's configuration up, then
// upgrades its firmware with the image this program carries for its model.
#include "CliCommand.h"
#include "CliDeviceRun.h"
#include "CliProject.h"

#include "core/device/DeviceTexts.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/UntrustedText.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/resources/CarriedData.h"

#include "CliDeviceHost.h"

#include <QDateTime>
#include <QDir>

namespace {

int runFirmware(const QStringList& args)
{
    CommandLine cl
        = cliCommandLine("firmware",
                         "An upgrade may lose the controller's configuration, so it is first retrieved into a backup\n"
                         "project: FILE, or corvane-backup-<date>-<time>.cvp in the working directory. A controller\n"
                         "running its boot loader has nothing to back up; the upgrade goes on. This build's firmware\n"
                         "images may be stand-ins: they are sent only with --allow-placeholder.");
    cl.addOption({"port", "Probe only this port (repeatable); without it, every FTDI adapter's port.", "NAME"}, true);
    cl.addOption({"verbose", "Show progress and automatic retries on stdout also when it is not a terminal."});
    cl.addOption({"backup", "Where to save the configuration before the upgrade.", "FILE"});
    cl.addOption({"allow-placeholder", "Send stand-in firmware (for the virtual controller)."});
    if (const auto status = cl.parse(args, 0, 0))
        return *status;
    const QString backup = cl.isSet("backup")
        ? cl.value("backup")
        : QDir::current().filePath(QStringLiteral("corvane-backup-%1.cvp")
                                       .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"))));

    // What can be refused without the controller is refused before the
    // port is opened: nothing connects, nothing is written.
    const bool allowPlaceholder = cl.isSet("allow-placeholder");
    if (carriedFirmwareIsPlaceholder() && !allowPlaceholder)
        return cliFail(boxTextLine(DeviceText::placeholderFirmware())
                       + QStringLiteral(" (--allow-placeholder sends it, for the virtual controller)"));

    TProjectDocument document;
    document.fill([](TDevice_Config_v2& record, THandleList& images) {
        record = newProjectConfig();
        createDefaultHandles(images);
        return true;
    });
    CliDeviceJob job;
    job.ports = cl.values("port");
    job.verbose = cl.isSet("verbose");
    job.purpose = kPurposeRetrieve;
    const CliDeviceOutcome saved = runDeviceOperation(document, job);
    // A controller running its boot loader refuses a retrieve: nothing to back up.
    const bool bootLoader = !saved.ok && saved.result.failedPhase == TDevicePhase::Identification
        && isBootLoaderPart(saved.result.partNumber);
    if (!saved.ok && !bootLoader)
        return cliFail(QStringLiteral("the configuration could not be read for a backup, so the firmware was left "
                                      "alone: %1")
                           .arg(saved.error));
    if (bootLoader)
        cliOut(QStringLiteral("The controller runs its boot loader: no configuration to back up"));

    job.purpose = kPurposeFirmwareUpgrade;
    job.allowPlaceholder = allowPlaceholder;
    // The backup is written once the upgrade goes ahead, before its first
    // byte: a refused upgrade leaves no file, a sent one always has its backup.
    job.beforeFirmware = [&]() -> QString {
        if (bootLoader)
            return {};
        QString error;
        if (!cliSaveProject(backup, document.record(), document.images(), &error))
            return QStringLiteral("the configuration could not be backed up, so the firmware was left alone: %1")
                .arg(error);
        cliOut(QStringLiteral("Configuration backed up to %1").arg(untrustedText(backup, 1 << 20)));
        return {};
    };
    const CliDeviceOutcome upgraded = runDeviceOperation(document, job);
    if (upgraded.ok) {
        // Said at the end, whatever progress went before: the one line a
        // script or a person looks for.
        QString version;
        try {
            const quint16 carried = Read_Resource_Word(QStringLiteral("FW_VER"));
            version = QString::asprintf(" to version %d.%02d", carried / 100, carried % 100);
        } catch (const std::exception&) {
            // Every build carries it; the line names the port all the same.
        }
        cliOut(QStringLiteral("Firmware upgraded on %1%2").arg(untrustedText(upgraded.result.port, 1 << 20), version));
        return kExitOk;
    }
    if (upgraded.result.failedPhase == TDevicePhase::FirmwareRefused)
        return cliFail(boxTextLine(DeviceText::placeholderFirmware())
                       + QStringLiteral(" (--allow-placeholder sends it, for the virtual controller)"));
    return cliFail(upgraded.error);
}

const CliRegistration kFirmwareCommand{
    {"firmware", "[--port NAME]... [--verbose] [--backup FILE] [--allow-placeholder]",
     "back the configuration up, then upgrade the controller's firmware", runFirmware}};

} // namespace
