// corvane-cli new: writes the empty project that New Project starts with.
#include "CliCommand.h"
#include "CliProject.h"

#include "core/messaging/UntrustedText.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/ProjectFileLock.h"

#include <QFileInfo>

#include <limits>

namespace {

int runNew(const QStringList& args)
{
    CommandLine cl = cliCommandLine("new");
    cl.addPositional("FILE", "The project file to write; its extension becomes .cvp.");
    cl.addOption({"force", "Replace a file of that name."});
    if (const auto status = cl.parse(args, 1, 1))
        return *status;

    const QString path = cliNewProjectPath(cl.positional()[0]);
    if (QFileInfo::exists(path) && !cl.isSet("force"))
        return cliFail(QString("%1 already exists (use --force to replace it)").arg(path));

    // A replaced project may be in the middle of another program's change.
    ProjectFileLock lock;
    QString error;
    if (!lock.acquire(path, ProjectFileLock::kDefaultWaitMs, &error))
        return cliFail(error);
    TDevice_Config_v2 rec = newProjectConfig();
    THandleList handles;
    createDefaultHandles(handles);
    if (!cliSaveProject(path, rec, handles, &error))
        return cliFail(error);
    cliOut(untrustedText(path, std::numeric_limits<int>::max()));
    return 0;
}

const CliRegistration kNewCommand{
    {"new", "FILE [--force]", "write a new, empty project file (the extension becomes .cvp)", runNew}};

} // namespace
