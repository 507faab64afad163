#include "core/device/ControllerProbe.h"

#include "core/comms/ECommsError.h"
#include "core/comms/TVrexComms.h"
#include "core/device/DeviceIdentity.h"

TProbeResult Probe_Controller(TVrexComms& comms, const QString& port)
{
    TProbeResult r;
    r.port = port;
    if (comms.isOpen())
        comms.CloseComm();
    comms.PortName = port;
    try {
        r.opened = comms.OpenComm();
    } catch (const ECommsError&) {
        r.opened = false;
    }
    if (!r.opened) {
        r.failure = comms.LastOpenFailure();
        r.failureText = Port_Open_Failure_Text(r.failure, port, comms.LastOpenError());
        r.failureFix = Port_Open_Failure_Fix(r.failure, port);
        comms.CloseComm();
        return r;
    }
    r.answered = GetAppInfo(comms, r.part_no, r.fw_version, r.bl_part_no, r.bl_version, &r.badReply);
    r.model = Model_Index(r.part_no);
    if (!r.isController())
        comms.CloseComm();
    return r;
}
