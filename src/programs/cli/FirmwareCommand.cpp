// corvane-cli firmware: backs the controller's configuration up, then
// upgrades its firmware with the image this program carries for its model.
#include "CliCommand.h"
#include "CliFirmwareUpgrade.h"

#include "core/messaging/UntrustedText.h"
#include "core/resources/CarriedData.h"

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
    const QString backup = cl.isSet("backup") ? cl.value("backup") : defaultBackupPath(QDir::currentPath());

    // What can be refused without the controller is refused before the
    // port is opened: nothing connects, nothing is written.
    const bool allowPlaceholder = cl.isSet("allow-placeholder");
    if (carriedFirmwareIsPlaceholder() && !allowPlaceholder)
        return cliFail(placeholderFirmwareRefusal());

    CliFirmwareUpgradeJob job;
    job.ports = cl.values("port");
    job.verbose = cl.isSet("verbose");
    job.backup = backup;
    job.allowPlaceholder = allowPlaceholder;
    job.say = [](const QString& line) { cliOut(line); };
    const CliFirmwareUpgradeOutcome upgraded = runFirmwareUpgrade(job);
    if (!upgraded.ok)
        return cliFail(upgraded.error);
    // Said at the end, whatever progress went before: the one line a
    // script or a person looks for.
    const QString version = carriedFirmwareVersion();
    cliOut(QStringLiteral("Firmware upgraded on %1%2")
               .arg(untrustedText(upgraded.result.port, 1 << 20),
                    version.isEmpty() ? QString() : QStringLiteral(" to version ") + version));
    return kExitOk;
}

const CliRegistration kFirmwareCommand{
    {"firmware", "[--port NAME]... [--verbose] [--backup FILE] [--allow-placeholder]",
     "back the configuration up, then upgrade the controller's firmware", runFirmware}};

} // namespace
