#pragma once
// The device operations as a program runs them, on a real pseudo-terminal
// with the virtual controller behind it and a scripted host in front.

#include "TScriptedDeviceHost.h"
#include "core/comms/TVrexComms.h"
#include "core/device/CommsSetup.h"
#include "core/device/TDeviceOperations.h"
#include "core/messaging/TMsgList.h"
#include "core/model/DeviceConfig.h"
#include "core/session/TSession.h"
#include "sim/lib/VirtualController.h"

#include <QByteArray>

#include <memory>

struct DeviceOpsRig {
    explicit DeviceOpsRig(const SimOptions& options = {})
        : sim(options)
        , comms(Initialise_Comms_Vars(nullptr))
        , ops(session, *comms, queue, host)
    {
        started = sim.start();
        ops.Set_Port_Lister([this] { return ports.isEmpty() ? QStringList{sim.portName()} : ports; });
        // The pauses are the controller's; the tests keep them short.
        ops.Set_Timings({10, 20});
        ops.Allow_Placeholder_Firmware_On({sim.portName()});
        session.Project_Device_Config = New_Project_Config();
        session.PC_Cfg_PartNo = 5813;
        session.PC_Cfg_FW_Ver = 201;
    }

    VirtualController sim;
    TSession session;
    std::unique_ptr<TVrexComms> comms;
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
