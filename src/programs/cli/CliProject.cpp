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
