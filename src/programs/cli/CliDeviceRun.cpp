#include "CliDeviceRun.h"

#include "CliDeviceHost.h"

#include "core/comms/TVrexComms.h"
#include "core/device/CommPortList.h"
#include "core/device/CommsSetup.h"
#include "core/device/DeviceIdentity.h"
#include "core/device/DevicePauseScale.h"
#include "core/device/TDeviceOperations.h"
#include "core/messaging/TMsgList.h"
#include "core/resources/CarriedData.h"
#include "core/session/TSession.h"

#include <QCoreApplication>

#include <exception>
#include <memory>

namespace {

bool Succeeded(int purpose, const QList<int>& codes)
{
    if (purpose == kPurposeRetrieve)
        return codes.contains(8);
    if (purpose == kPurposeUpload)
        return codes.contains(20) && !codes.contains(11);
    // A failed transfer may be followed by a good one on the same link.
    return codes.lastIndexOf(23) > codes.lastIndexOf(11) && !codes.contains(26);
}

} // namespace

CliDeviceOutcome Run_Device_Operation(TSession& session, const CliDeviceJob& job)
{
    // What the window reads at start-up: the carried firmware's version and part number.
    if (session.PC_Cfg_FW_Ver == 0) {
        try {
            session.PC_Cfg_PartNo = Read_Resource_Word(QStringLiteral("FW_PARTNO"));
            session.PC_Cfg_FW_Ver = Read_Resource_Word(QStringLiteral("FW_VER"));
        } catch (const std::exception&) {
            // Both are always carried; without them no firmware step is reached.
        }
    }
    std::unique_ptr<TVrexComms> comms(Initialise_Comms_Vars(nullptr));
    TMsgList queue;
    TDeviceOperations* ops = nullptr;
    CliDeviceHost host(session, ops);
    host.sendConfig = job.sendConfig;
    host.sendImages = job.sendImages;
    TDeviceOperations operations(session, *comms, queue, host);
    ops = &operations;
    Apply_Pause_Scale(operations);
    const QStringList named = job.ports;
    operations.Set_Port_Lister([named] { return Get_CommPort_List(QStringLiteral("FTDI"), named); });
    operations.Set_Verify_Upload(job.verify);
    operations.Allow_Placeholder_Firmware_Everywhere(job.allowPlaceholder);

    bool started = true;
    if (job.purpose == kPurposeRetrieve)
        operations.retrieve_cfg_ButtonClick();
    else if (job.purpose == kPurposeUpload)
        started = operations.upload_data_BitBtnClick();
    else
        operations.fw_upg_ButtonClick();
    if (started && !host.ended)
        QCoreApplication::exec();

    CliDeviceOutcome out;
    out.codes = host.codes;
    out.boxes = host.boxes;
    out.ok = started && Succeeded(job.purpose, host.codes);
    if (!out.ok) {
        if (!host.boxes.isEmpty() && (host.errors.isEmpty() || !started))
            out.error = host.boxes.last();
        else if (!host.errors.isEmpty())
            out.error = host.errors.last();
        else
            out.error = QStringLiteral("the operation did not finish");
    }
    return out;
}
