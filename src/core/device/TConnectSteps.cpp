#include "core/device/TConnectSteps.h"

#include "core/comms/TVrexComms.h"
#include "core/device/ControllerProbe.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceStepContext.h"
#include "core/messaging/WindowMessages.h"
#include "core/protocol/DeviceIdentity.h"

TConnectSteps::TConnectSteps(TDeviceStepContext& ops) : m_ops(ops)
{
    for (QTimer* t : {&data_upload_pause_Timer, &fw_upload_pause_Timer}) {
        t->setSingleShot(true);
        t->setInterval(1500);
    }
    connect(&data_upload_pause_Timer, &QTimer::timeout, this,
            [this] { m_ops.post(WM_RC_CONNECT, kAfterDataPause, 0); });
    connect(&fw_upload_pause_Timer, &QTimer::timeout, this,
            [this] { m_ops.post(WM_RC_CONNECT, kAfterFirmwarePause, 0); });
}

void TConnectSteps::handle(quint32 step, quint32 purpose)
{
    TDeviceHost& host = m_ops.host();
    switch (step) {
    case kStart: {
        TControllerLink& link = m_ops.link();
        link.RC_PartNo = 0;
        link.RC_FW_Ver = 0;
        m_ops.setBusy(true);
        m_ops.result().phase = TDevicePhase::Discovery;
        host.enableProjectArea(false);
        host.enableDeviceButtons(false);
        host.setScanProgress(0, 1);
        host.showScanPanel(true);
        // A pause the user sees the panel in; the loop keeps running meanwhile.
        QTimer::singleShot(m_ops.timings().scanDelayMs, this, [this, purpose] { listPorts(purpose); });
        break;
    }
    case kNextPort:
        ++scan_index;
        host.setScanProgress(scan_index + 1, qMax(1, int(port_list.size())));
        probe(purpose);
        break;
    case kConnected:
        if (purpose == kPurposeRetrieve) {
            m_ops.post(WM_RC_RETRIEVE, 0, 0);
        } else if (purpose == kPurposeUpload) {
            data_upload_pause_Timer.setInterval(m_ops.timings().pauseMs);
            data_upload_pause_Timer.start();
        } else if (purpose == kPurposeFirmwareUpgrade) {
            fw_upload_pause_Timer.setInterval(m_ops.timings().pauseMs);
            fw_upload_pause_Timer.start();
        }
        break;
    case kAfterDataPause:
        host.Log_Activity(TActivityStatus::UploadingData);
        if (host.uploadConfigTicked())
            m_ops.post(WM_RC_UPLOAD_CFG, 0, 0);
        else if (host.uploadImagesTicked())
            m_ops.post(WM_RC_UPLOAD_IMG, 0, 0);
        else
            // Nothing to send: the link is not left open with the buttons disabled.
            m_ops.Close_Connection();
        break;
    case kAfterFirmwarePause:
        host.setProgress(TDeviceBar::Firmware, 0, 1, false);
        host.showFirmwareWindow();
        break;
    default: break;
    }
}

void TConnectSteps::listPorts(quint32 purpose)
{
    scan_index = 0;
    m_reasons.clear();
    port_list = m_ops.listPorts();
    m_ops.host().setScanProgress(1, qMax(1, int(port_list.size())));
    probe(purpose);
}

void TConnectSteps::probe(quint32 purpose)
{
    if (scan_index >= port_list.size()) {
        notFound();
        return;
    }
    const TProbeResult r = probeController(m_ops.comms(), port_list.at(scan_index));
    m_ops.result().portsTried << TPortTried{r.port, probeFailureText(r)};
    if (!r.isController()) {
        m_reasons << probeFailureText(r);
        m_ops.comms().CloseComm();
        m_ops.post(WM_RC_CONNECT, kNextPort, purpose);
        return;
    }
    TControllerLink& link = m_ops.link();
    link.RC_PartNo = r.partNo;
    link.RC_FW_Ver = r.fwVersion;
    DeviceOperationResult& result = m_ops.result();
    result.identified = true;
    result.port = r.port;
    result.partNumber = r.partNo;
    result.firmware = r.fwVersion;
    accept(purpose);
}

void TConnectSteps::accept(quint32 purpose)
{
    TControllerLink& link = m_ops.link();
    TDeviceHost& host = m_ops.host();
    host.Log_Activity(TActivityStatus::Connected, firmwareVersionText(link.RC_PartNo, link.RC_FW_Ver));
    // The same decision corvane-cli identify reports, in the same order:
    // boot loader, unknown version, then what the purpose needs.
    switch (connectVerdict(link.RC_PartNo, link.RC_FW_Ver, int(purpose))) {
    case TConnectVerdict::Yes: m_ops.post(WM_RC_CONNECT, kConnected, purpose); break;
    case TConnectVerdict::NeedsApplicationFirmware: refuse(DeviceText::needsApplication()); break;
    case TConnectVerdict::NotCompatible: refuse(DeviceText::notCompatible()); break;
    case TConnectVerdict::NeedsFirmwareUpgrade: refuse(DeviceText::needsUpgrade()); break;
    }
    // Deliberately the first model's boot loader only: the second model's boot
    // loader is finished with the application's command, and controllers rely on it.
    link.BL_Active_Flag = link.RC_PartNo == RC_Model_Table[0].blPartNo;
    host.showScanPanel(false);
    host.enableProjectArea(true);
}

void TConnectSteps::refuse(const QString& text)
{
    m_ops.result().failedPhase = TDevicePhase::Identification;
    m_ops.result().message = oneLine(text);
    m_ops.host().Show_Message_Box(text, TDeviceBoxKind::Warning, TDeviceButtons::Ok, TDeviceAnswer::Ok);
    m_ops.Close_Connection();
}

void TConnectSteps::notFound()
{
    TDeviceHost& host = m_ops.host();
    const int maximum = qMax(1, int(port_list.size()));
    host.setScanProgress(maximum, maximum);
    // Missing, busy, denied and silent ports each need something else done.
    const QString why = m_reasons.isEmpty() ? QStringLiteral("no serial port of an FTDI adapter was found")
                                            : m_reasons.join(QStringLiteral("; "));
    host.Log_Activity(TActivityStatus::RcNotFound, why);
    m_ops.result().failedPhase = TDevicePhase::Discovery;
    m_ops.result().message = statusCodeText(int(TActivityStatus::RcNotFound)) + QStringLiteral(": ") + why;
    // The search is over before the box says so: the panel does not linger behind it.
    host.showScanPanel(false);
    host.Show_Message_Box(DeviceText::notFoundWithPorts(m_reasons), TDeviceBoxKind::Warning, TDeviceButtons::Ok,
                          TDeviceAnswer::Ok);
    host.enableProjectArea(true);
    m_ops.setBusy(false);
    host.enableDeviceButtons(true);
    m_ops.operationFinished();
    host.operationEnded();
}
