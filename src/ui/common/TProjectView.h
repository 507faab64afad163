#pragma once
// What the project commands need from the window that shows the project.
// The commands change the project document; the view shows it.

#include "core/messaging/StatusCodes.h"
#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QString>

class QWidget;

class TProjectView {
public:
    virtual ~TProjectView() = default;

    // The parent of the project file dialogs.
    virtual QWidget* dialogParent() = 0;

    virtual void updateCaption() = 0;
    virtual void Show_Project_Path(const QString& path) = 0;
    virtual void Log_Activity(int code, const QString& info = QString()) = 0;
    void Log_Activity(TActivityStatus status, const QString& info = QString())
    {
        Log_Activity(static_cast<int>(status), info);
    }
    // An error entry the status codes have no text for.
    virtual void logError(const QString& description, const QString& info) = 0;
    // The project pages, or the "No Project Loaded" view.
    virtual void showProjectState(bool projectOpen) = 0;
    // "&Save Project", "Save Project &As..." and "&Close Project".
    virtual void enableProjectCommands(bool enabled) = 0;
    virtual void selectConfigurationPage() = 0;
    virtual void selectTreeTopNode() = 0;

    // A root per handle and a child per cell; cell names are normalised on
    // the way, as they are whenever an image is named.
    virtual void buildTree(const THandleList& list) = 0;
    // Every node goes; the tree keeps no pointer into the model afterwards.
    virtual void clearTree() = 0;
    virtual void showDragLabel() = 0;

    // Loads the record into every configuration page.
    virtual void Show_Device_Config(const TDevice_Config_v2& config) = 0;
    virtual void Update_Memory_Chart() = 0;
    // "Upload Configuration" and "Upload Images" both ticked.
    virtual void tickUploadBoxes() = 0;

    // The service text as it stands in its editor (the record holds it too).
    virtual QString serviceText() const = 0;
};
