#include "core/document/TProjectDocument.h"

#include <QFileInfo>

TProjectDocument::TProjectDocument(QObject* parent) : QObject(parent) { }

void TProjectDocument::Set_Modified(bool value)
{
    if (loading_flag)
        return;
    modified = value;
    emit modifiedChanged(value);
}

void TProjectDocument::Set_Path(const QString& fullPath)
{
    project_fullpath = fullPath;
    project_name = fullPath.isEmpty() ? QString() : QFileInfo(fullPath).completeBaseName();
    emit pathChanged(fullPath);
}

void TProjectDocument::Replace_Record(const TDevice_Config_v2& record)
{
    Project_Device_Config = record;
    emit recordReplaced();
}
