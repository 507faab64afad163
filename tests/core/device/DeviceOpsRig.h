#pragma once
// The device operations as a program runs them, on a real pseudo-terminal
// with the virtual controller behind it and a scripted host in front.

#include "SimFixtures.h"
#include "TScriptedDeviceHost.h"
#include "core/comms/TVrexComms.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/TMsgList.h"
#include "core/model/DeviceConfig.h"

#include <QByteArray>

#include <functional>
#include <memory>

struct DeviceOpsRig {
    explicit DeviceOpsRig(const SimOptions& options = {})
        : sim(startVirtualController(options))
        , ops(document, link, queue, host)
    {
        started = sim != nullptr;
        // The pauses are the controller's; the tests keep them short.
        ops.setTimings({10, 20});
        setUp([](TDevice_Config_v2& record, THandleList&) { record = newProjectConfig(); });
        link.PC_Cfg_PartNo = 5813;
        link.PC_Cfg_FW_Ver = 201;
        if (!started)
            return;
        ops.setPortLister([this] { return ports.isEmpty() ? QStringList{sim->portName()} : ports; });
        ops.allowPlaceholderFirmwareOn({sim->portName()});
    }

    // The project a test starts from, filled in as an opened one is.
    void setUp(const std::function<void(TDevice_Config_v2&, THandleList&)>& fill)
    {
        document.fill([&](TDevice_Config_v2& record, THandleList& images) {
            fill(record, images);
            return true;
        });
    }

    std::unique_ptr<VirtualController> sim;
    TProjectDocument document;
    TControllerLink link;
    TMsgList queue;
    TScriptedDeviceHost host;
    TDeviceOperations ops;
    QStringList ports; // empty: the simulator's port only
    bool started = false;
};

// The controller block of a record, with fresh check bytes.
inline QByteArray blockBytes(const TDevice_Config_v2& record)
{
    return controllerBlock(record);
}
