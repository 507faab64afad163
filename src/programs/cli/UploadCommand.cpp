// corvane-cli upload: sends a project's configuration and images to the
// controller, as "Upload Data" does, and restarts it.
#include "CliCommand.h"
#include "CliDeviceRun.h"
#include "CliProject.h"

#include "core/commissioning/CommissioningPlan.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/UntrustedText.h"
#include "core/protocol/DeviceIdentity.h"

#include <limits>

namespace {

int runUpload(const QStringList& args)
{
    CommandLine cl = cliCommandLine(
        "upload",
        "Without --config or --images both are sent. The image data block is built and checked before\n"
        "the port is opened: a picture that cannot be sent fails the command, naming it, with nothing\n"
        "sent. Boxes the configurator would show are answered without asking: Retry up to three\n"
        "times, then the command fails.");
    cl.addPositional("PROJECT", "The project file to send.");
    cl.addOption({"port", "Probe only this port (repeatable); without it, every FTDI adapter's port.", "NAME"}, true);
    cl.addOption({"verbose", "Show progress and automatic retries on stdout also when it is not a terminal."});
    cl.addOption({"config", "Send the configuration."});
    cl.addOption({"images", "Send the images."});
    cl.addOption({"verify",
                  "Read the configuration back before the restart and compare it; a read-back that fails "
                  "and one that differs are both errors, each named. It checks the configuration: with --images, "
                  "give --config too."});
    if (const auto status = cl.parse(args, 1, 1))
        return *status;
    const bool config = cl.isSet("config");
    const bool images = cl.isSet("images");
    if (cl.isSet("verify") && images && !config)
        return cl.usageError(QStringLiteral("--verify checks the configuration: give --config too"));

    TProjectDocument document;
    QString error;
    if (!document.fill([&](TDevice_Config_v2& record, THandleList& images) {
            return cliLoadProject(cl.positional()[0], record, images, &error);
        }))
        return cliFail(error);

    CliDeviceJob job;
    job.purpose = kPurposeUpload;
    job.ports = cl.values("port");
    job.verbose = cl.isSet("verbose");
    job.sendConfig = config || !images;
    job.sendImages = images || !config;
    // Everything is built and checked before the port is opened: a picture
    // that cannot be sent must not leave the controller half changed.
    if (job.sendImages && !buildCheckedImageBlock(document.images(), job.imageBlock, &error))
        return cliFail(QStringLiteral("%1: %2 Nothing was sent.").arg(cl.positional()[0], error));
    job.verify = cl.isSet("verify");
    const CliDeviceOutcome outcome = runDeviceOperation(document, job);
    if (!outcome.ok)
        return cliFail(outcome.error);
    const QString sent = job.sendConfig && job.sendImages ? QStringLiteral("configuration and images")
        : job.sendConfig                                  ? QStringLiteral("configuration")
                                                          : QStringLiteral("images");
    cliOut(QStringLiteral("Uploaded the %1 of %2%3")
               .arg(sent, untrustedText(cl.positional()[0], std::numeric_limits<int>::max()),
                    job.verify ? QStringLiteral("; the configuration was read back and is identical") : QString()));
    return kExitOk;
}

const CliRegistration kUploadCommand{{"upload", "[--port NAME]... [--verbose] PROJECT [--config] [--images] [--verify]",
                                      "send PROJECT's configuration and images to the controller and restart it",
                                      runUpload}};

} // namespace
