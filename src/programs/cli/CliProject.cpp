#include "CliProject.h"

#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include "CliOutputFiles.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

bool cliLoadProject(const QString& path, TDevice_Config_v2& rec, THandleList& handles, QString* error)
{
    rec = newProjectConfig();
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

bool cliSaveProject(const QString& path, const TDevice_Config_v2& rec, const THandleList& handles, QString* error)
{
    const QFileInfo existing(path);
    if (existing.exists() && existing.isFile() && !existing.isWritable()) {
        *error = QStringLiteral("Cannot create the project file %1: the file is read-only").arg(path);
        return false;
    }
    CliOutputFiles files;
    files.add(path, projectFileBytes(rec, handles));
    QString why;
    if (files.commit(&why))
        return true;
    *error = QStringLiteral("Cannot create the project file %1").arg(why);
    return false;
}

QString cliProjectUnwritable(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("%1: the folder %2 does not exist").arg(path, folder.filePath());
    // A new file, and the temporary a save renames over an existing one,
    // are both made in the folder.
    const QByteArray name = QFile::encodeName(folder.filePath());
    if (::access(name.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("%1: the folder %2 is read-only").arg(path, folder.filePath());
    if (file.exists() && !file.isWritable())
        return QStringLiteral("%1: the file is read-only").arg(path);
    return {};
}
