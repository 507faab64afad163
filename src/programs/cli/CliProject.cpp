#include "CliProject.h"

#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

bool cliLoadProject(const QString& path, TDevice_Config_v2& rec, THandle_List& handles, QString* error)
{
    rec = New_Project_Config();
    try {
        if (Load_Project_File(path, rec, handles))
            return true;
        *error = QStringLiteral("%1: not a project file this program can read (unknown version, or a configuration "
                                "record cut short)")
                     .arg(path);
    } catch (const ProjectFileError& e) {
        *error = e.message();
    }
    return false;
}

QString cliNewProjectPath(const QString& path)
{
    const qsizetype nameStart = qMax(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1;
    const qsizetype dot = path.lastIndexOf('.');
    return (dot >= nameStart ? path.left(dot) : path) + ".cvp";
}
