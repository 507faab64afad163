#include "CliCommand.h"

#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QFileInfo>

namespace {

// New projects are always bound to a ".cvp" name, whatever extension was
// typed: the last extension of the file name (its dot included, so "site."
// too) is replaced; a dot in a folder name is not an extension.
QString withProjectExtension(const QString& path)
{
    const qsizetype nameStart = qMax(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1;
    const qsizetype dot = path.lastIndexOf('.');
    return (dot >= nameStart ? path.left(dot) : path) + ".cvp";
}

int runNew(const QStringList& args)
{
    const QStringList files = cliPositional(args, {});
    if (files.size() != 1)
        return cliFail("usage: corvane-cli new FILE [--force]");
    const QString path = withProjectExtension(files[0]);
    if (QFileInfo::exists(path) && !cliFlag(args, "--force"))
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

const CliRegistration reg{
    {"new", "new FILE [--force]", "write a new, empty project file (the extension becomes .cvp)", runNew}};

} // namespace
