#include "core/device/ControllerProbe.h"

#include "core/comms/ECommsError.h"
#include "core/comms/TVrexComms.h"
#include "core/protocol/DeviceIdentity.h"

TProbeResult probeController(TVrexComms& comms, const QString& port)
{
    TProbeResult r;
    r.port = port;
    if (comms.isOpen())
        comms.CloseComm();
    comms.portName = port;
    try {
        r.opened = comms.OpenComm();
    } catch (const ECommsError&) {
        r.opened = false;
    }
    if (!r.opened) {
        r.failure = comms.lastOpenFailure();
        r.failureText = portOpenFailureText(r.failure, port, comms.lastOpenError());
        r.failureFix = portOpenFailureFix(r.failure, port);
        comms.CloseComm();
        return r;
    }
    r.answered = GetAppInfo(comms, r.partNo, r.fwVersion, r.blPartNo, r.blVersion, &r.badReply);
    r.model = Model_Index(r.partNo);
    if (!r.isController())
        comms.CloseComm();
    return r;
}

QString probeFailureText(const TProbeResult& r)
{
    if (r.isController())
        return {};
    if (!r.opened)
        return r.failureFix.isEmpty() ? r.failureText : QStringLiteral("%1 (fix: %2)").arg(r.failureText, r.failureFix);
    if (r.badReply)
        return QStringLiteral("%1: the answer failed its length or check-sum test").arg(r.port);
    if (!r.answered)
        return QStringLiteral("%1: no answer").arg(r.port);
    return QStringLiteral("%1: part number %2 is not a Corvane R/C").arg(r.port).arg(r.partNo);
}
