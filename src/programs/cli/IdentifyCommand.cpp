// corvane-cli identify: finds the first port where a controller answers and
// shows what it reports and what the configurator may do with it.
#include "CliCommand.h"

#include "core/comms/TVrexComms.h"
#include "core/device/CommPortList.h"
#include "core/device/ControllerProbe.h"
#include "core/protocol/CommsSetup.h"
#include "core/protocol/DeviceIdentity.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {
struct Purpose {
    const char* text;
    const char* key;
    int code;
};
constexpr Purpose kPurposes[] = {{"retrieve", "retrieve", kPurposeRetrieve},
                                 {"upload", "upload", kPurposeUpload},
                                 {"firmware upgrade", "firmware_upgrade", kPurposeFirmwareUpgrade}};

void printText(const TProbeResult& r)
{
    cliOut(QStringLiteral("Port: %1").arg(r.port));
    cliOut(QStringLiteral("Model: %1").arg(modelName(r.model)));
    cliOut(QStringLiteral("Part number: %1").arg(r.partNo));
    cliOut(firmwareVersionText(r.partNo, r.fwVersion));
    cliOut(QStringLiteral("Boot loader running: %1").arg(isBootLoaderPart(r.partNo) ? "yes" : "no"));
    QStringList verdicts;
    for (const Purpose& p : kPurposes)
        verdicts << QStringLiteral("%1: %2").arg(p.text,
                                                 connectVerdictText(connectVerdict(r.partNo, r.fwVersion, p.code)));
    cliOut(verdicts.join(QStringLiteral(", ")));
}

void printJson(const TProbeResult& r)
{
    QJsonObject verdicts;
    for (const Purpose& p : kPurposes)
        verdicts[p.key] = connectVerdictText(connectVerdict(r.partNo, r.fwVersion, p.code));
    QJsonObject o;
    o["port"] = r.port;
    o["model"] = modelName(r.model);
    o["model_index"] = r.model;
    o["part_no"] = r.partNo;
    o["fw_version"] = r.fwVersion;
    o["firmware"] = QString::asprintf("%d.%02d", r.fwVersion / 100, r.fwVersion % 100);
    o["bl_part_no"] = r.blPartNo;
    o["bl_version"] = r.blVersion;
    o["boot_loader_running"] = isBootLoaderPart(r.partNo);
    o["verdicts"] = verdicts;
    cliOut(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)).trimmed());
}

int runIdentify(const QStringList& args)
{
    CommandLine cl
        = cliCommandLine("identify",
                         "Without --port, the serial ports of FTDI adapters are probed in turn. After the identity it\n"
                         "prints whether the firmware allows a retrieve, an upload and a firmware upgrade.");
    cl.addOption({"port", "Probe only this port (repeatable; named ports in the order given).", "NAME"}, true);
    cl.addOption({"json", "Print the identity and the verdicts as one JSON object."});
    if (const auto status = cl.parse(args, 0, 0))
        return *status;

    // A named port is the only one asked: an answer from another adapter
    // would describe a controller the user did not point at.
    const QStringList named = cl.values("port");
    const QStringList ports = named.isEmpty() ? Get_CommPort_List(QStringLiteral("FTDI")) : named;
    if (ports.isEmpty())
        return cliFail(QStringLiteral("no controller found: no serial port of an FTDI adapter (name one with --port)"));

    TVrexComms* comms = Initialise_Comms_Vars(nullptr);
    std::unique_ptr<TVrexComms> owner(comms);
    QStringList reasons;
    for (const QString& port : ports) {
        const TProbeResult r = probeController(*comms, port);
        if (!r.isController()) {
            reasons << probeFailureText(r);
            continue;
        }
        comms->CloseComm();
        if (cl.isSet("json"))
            printJson(r);
        else
            printText(r);
        return 0;
    }
    return cliFail(QStringLiteral("no controller found: %1").arg(reasons.join(QStringLiteral("; "))));
}

const CliRegistration kIdentifyCommand{
    {"identify", "[--port NAME]... [--json]", "identify the controller on the first port that answers", runIdentify}};
} // namespace
