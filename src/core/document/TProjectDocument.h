#pragma once
// The open project: its configuration record, its image groups, where it is
// stored and whether it differs from the stored file. The pages, the project
// commands, the device operations and corvane-cli all edit this one object;
// what is known about an attached controller lives in its link
// (TControllerLink), never here.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QObject>
#include <QString>

class TProjectDocument : public QObject {
    Q_OBJECT
public:
    explicit TProjectDocument(QObject* parent = nullptr);

    // Ignored while a project is being shown (loading_flag): filling the
    // pages runs their change handlers, which must not mark it modified.
    void Set_Modified(bool value);
    // Stores the path and the name shown in the caption (the file's base name).
    void Set_Path(const QString& fullPath);
    // The record replaced as a whole (a retrieve, an open): pages showing it
    // must show it again.
    void Replace_Record(const TDevice_Config_v2& record);

    TDevice_Config_v2 Project_Device_Config{};
    THandle_List Handle_List;
    QString project_name;
    QString project_fullpath;
    bool modified = false;
    // Set while a project is being shown in the pages, and while it is
    // being taken down (selection changes then are not the user's).
    bool loading_flag = false;
    bool closing_flag = false;

signals:
    // Each Set_Modified that takes effect, changed or not, so a display
    // following it is always in step.
    void modifiedChanged(bool modified);
    void pathChanged(const QString& fullPath);
    void recordReplaced();
};
