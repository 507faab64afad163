#pragma once
// The device operations as a program runs them, on a real pseudo-terminal
// with the virtual controller behind it and a scripted host in front.

#include "TScriptedDeviceHost.h"
#include "core/comms/TVrexComms.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/TMsgList.h"
#include "core/model/DeviceConfig.h"
#include "sim/lib/VirtualController.h"

#include <QByteArray>

#include <memory>

struct DeviceOpsRig {
    explicit DeviceOpsRig(const SimOptions& options = {}) : sim(options), ops(document, link, queue, host)
    {
        started = sim.start();
        ops.Set_Port_Lister([this] { return ports.isEmpty() ? QStringList{sim.portName()} : ports; });
        // The pauses are the controller's; the tests keep them short.
        ops.Set_Timings({10, 20});
        ops.Allow_Placeholder_Firmware_On({sim.portName()});
        document.Project_Device_Config = New_Project_Config();
        link.PC_Cfg_PartNo = 5813;
        link.PC_Cfg_FW_Ver = 201;
    }

    VirtualController sim;
    TProjectDocument document;
    TControllerLink link;
    TMsgList queue;
    TScriptedDeviceHost host;
    TDeviceOperations ops;
    QStringList ports; // empty: the simulator's port only
    bool started = false;
};

// The controller block of a record, with fresh check bytes.
inline QByteArray Block_Bytes(TDevice_Config_v2 record)
{
    const TDeviceConfiguration block = Build_Upload_Block(record);
    return QByteArray(reinterpret_cast<const char*>(&block), sizeof block);
}
