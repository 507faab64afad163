// corvane-cli new: writes the empty project that New Project starts with.
#include "CliCommand.h"
#include "CliProject.h"

#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QFileInfo>

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

    TDevice_Config_v2 rec = New_Project_Config();
    THandle_List handles;
    Create_Default_Handles(handles);
    try {
        Save_Project_File(path, rec, handles);
    } catch (const ProjectFileError& e) {
        return cliFail(e.message());
    }
    cliOut(path);
    return 0;
}

const CliRegistration newCommand{
    {"new", "FILE [--force]", "write a new, empty project file (the extension becomes .cvp)", runNew}};

} // namespace
