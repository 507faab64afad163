#include "core/device/ControllerProbe.h"

#include "core/comms/ECommsError.h"
#include "core/comms/TVrexComms.h"
#include "core/protocol/DeviceIdentity.h"

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

QString Probe_Failure_Text(const TProbeResult& r)
{
    if (r.isController())
        return {};
    if (!r.opened)
        return r.failureFix.isEmpty() ? r.failureText : QStringLiteral("%1 (fix: %2)").arg(r.failureText, r.failureFix);
    if (r.badReply)
        return QStringLiteral("%1: the answer failed its length or check-sum test").arg(r.port);
    if (!r.answered)
        return QStringLiteral("%1: no answer").arg(r.port);
    return QStringLiteral("%1: part number %2 is not a Corvane R/C").arg(r.port).arg(r.part_no);
}
