// corvane-cli identify: finds the first port where a controller answers and
// shows what it reports.
#include "CliCommand.h"

#include "core/comms/TVrexComms.h"
#include "core/device/CommPortList.h"
#include "core/device/CommsSetup.h"
#include "core/device/ControllerProbe.h"
#include "core/device/DeviceIdentity.h"

#include <memory>

namespace {
QString whyNot(const TProbeResult& r)
{
    if (!r.opened)
        return r.failureFix.isEmpty() ? r.failureText : QStringLiteral("%1 (fix: %2)").arg(r.failureText, r.failureFix);
    if (r.badReply)
        return QStringLiteral("%1: the answer failed its length or check-sum test").arg(r.port);
    if (!r.answered)
        return QStringLiteral("%1: no answer").arg(r.port);
    return QStringLiteral("%1: part number %2 is not a Corvane R/C").arg(r.port).arg(r.part_no);
}

int runIdentify(const QStringList& args)
{
    QStringList named;
    for (int i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--port")
            named << args[i + 1];
    }
    const QStringList ports = Get_CommPort_List(QStringLiteral("FTDI"), named);
    if (ports.isEmpty())
        return cliFail(QStringLiteral("no controller found: no serial port of an FTDI adapter (name one with --port)"));

    TVrexComms* comms = Initialise_Comms_Vars(nullptr);
    std::unique_ptr<TVrexComms> owner(comms);
    QStringList reasons;
    for (const QString& port : ports) {
        const TProbeResult r = Probe_Controller(*comms, port);
        if (!r.isController()) {
            reasons << whyNot(r);
            continue;
        }
        comms->CloseComm();
        cliOut(QStringLiteral("Port: %1").arg(r.port));
        cliOut(QStringLiteral("Model: %1").arg(Model_Name(r.model)));
        cliOut(QStringLiteral("Part number: %1").arg(r.part_no));
        cliOut(Firmware_Text(r.part_no, r.fw_version));
        cliOut(QStringLiteral("Boot loader running: %1").arg(Is_Boot_Loader_Part(r.part_no) ? "yes" : "no"));
        return 0;
    }
    return cliFail(QStringLiteral("no controller found: %1").arg(reasons.join(QStringLiteral("; "))));
}

const CliRegistration reg{{"identify", "identify [--port NAME]...",
                           "identify the controller on the first port that answers (named ports first)", runIdentify}};
} // namespace
