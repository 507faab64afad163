#pragma once
// The run-time state of one configurator session: the open project, its
// configuration record, what is known about the attached controller and the
// blocks exchanged with it. The main window owns one; the project commands,
// the pages and the device operations share it, and so can a program without
// a window.

#include "core/model/DeviceConfigRecords.h"
#include "core/model/ProjectModel.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class TSession : public QObject {
    Q_OBJECT
public:
    explicit TSession(QObject* parent = nullptr);

    // Ignored while a project is being shown (loading_flag): filling the
    // pages runs their change handlers, which must not mark it modified.
    void Set_Modified(bool value);

    bool closing_flag = false;
    bool loading_flag = false;
    quint16 RC_PartNo = 0;
    quint16 RC_FW_Ver = 0;
    quint16 PC_Cfg_PartNo = 0;
    quint16 PC_Cfg_FW_Ver = 0;
    bool fw_upg_abort_flag = false;
    bool BL_Active_Flag = false;
    TDeviceConfiguration RC_DeviceConfiguration{};
    TDevice_Config_v2 Project_Device_Config{};
    TDeviceConfiguration RC_Upload_DeviceConfiguration{};
    QString project_name;
    QString project_fullpath;
    bool modified = false;
    THandle_List Handle_List;
    int Visible_Handle_Idx = -1;
    int cell_frame_counter = 0;
    QByteArray upload_stream;
    // Ports named on the command line (or the demo controller's), offered to
    // device operations before any discovered port.
    QStringList explicitPorts;

signals:
    // Each Set_Modified that takes effect, changed or not, so a display
    // following it is always in step.
    void modifiedChanged(bool modified);
};
