// corvane-cli retrieve: reads the controller's configuration into a project,
// as "Retrieve Configuration" does, and saves it.
#include "CliCommand.h"
#include "CliDeviceRun.h"
#include "CliProject.h"

#include "core/document/TProjectDocument.h"
#include "core/messaging/UntrustedText.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/storage/ProjectFileLock.h"

#include <QFileInfo>

#include <limits>

namespace {

int runRetrieve(const QStringList& args)
{
    CommandLine cl
        = cliCommandLine("retrieve",
                         "The project is created when it does not exist (its extension then becomes .cvp, as with\n"
                         "new); its images are kept when it does. The file is written only after a good retrieve,\n"
                         "through a temporary file renamed over it.");
    cl.addPositional("PROJECT", "The project file to read the configuration into.");
    cl.addOption({"port", "Probe only this port (repeatable); without it, every FTDI adapter's port.", "NAME"}, true);
    cl.addOption({"verbose", "Show progress and automatic retries on stdout also when it is not a terminal."});
    if (const auto status = cl.parse(args, 1, 1))
        return *status;
    // An existing file is updated under its own name; a new one is named as
    // "new" names it.
    const QString given = cl.positional()[0];
    const QString path = QFileInfo::exists(given) ? given : cliNewProjectPath(given);

    // Checked before the controller is touched: a retrieve that cannot be saved is wasted.
    const QString unwritable = cliProjectUnwritable(path);
    if (!unwritable.isEmpty())
        return cliFail(unwritable + QStringLiteral("; nothing was read from the controller"));
    ProjectFileLock lock; // held to the save: a change made meanwhile would be lost
    QString lockError;
    if (!lock.acquire(path, ProjectFileLock::kDefaultWaitMs, &lockError))
        return cliFail(lockError);
    TProjectDocument document;
    if (QFileInfo::exists(path)) {
        QString error;
        if (!document.fill([&](TDevice_Config_v2& record, THandleList& images) {
                return cliLoadProject(path, record, images, &error);
            }))
            return cliFail(error);
    } else {
        document.fill([](TDevice_Config_v2& record, THandleList& images) {
            record = newProjectConfig();
            createDefaultHandles(images);
            return true;
        });
    }

    CliDeviceJob job;
    job.purpose = kPurposeRetrieve;
    job.ports = cl.values("port");
    job.verbose = cl.isSet("verbose");
    const CliDeviceOutcome outcome = runDeviceOperation(document, job);
    if (!outcome.ok)
        return cliFail(outcome.error);
    QString saveError;
    if (!cliSaveProject(path, document.record(), document.images(), &saveError))
        return cliFail(saveError);
    cliOut(QStringLiteral("Saved %1").arg(untrustedText(path, std::numeric_limits<int>::max())));
    return kExitOk;
}

const CliRegistration kRetrieveCommand{
    {"retrieve", "[--port NAME]... [--verbose] PROJECT",
     "read the controller's configuration into PROJECT (created if missing) and save it", runRetrieve}};

} // namespace
