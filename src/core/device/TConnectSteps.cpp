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
        host.Enable_Project_Area(false);
        host.Enable_Device_Buttons(false);
        host.Set_Scan_Progress(0, 1);
        host.Show_Scan_Panel(true);
        // A pause the user sees the panel in; the loop keeps running meanwhile.
        QTimer::singleShot(m_ops.Timings().scanDelayMs, this, [this, purpose] { listPorts(purpose); });
        break;
    }
    case kNextPort:
        ++scan_index;
        host.Set_Scan_Progress(scan_index + 1, qMax(1, int(port_list.size())));
        probe(purpose);
        break;
    case kConnected:
        if (purpose == kPurposeRetrieve) {
            m_ops.post(WM_RC_RETRIEVE, 0, 0);
        } else if (purpose == kPurposeUpload) {
            data_upload_pause_Timer.setInterval(m_ops.Timings().pauseMs);
            data_upload_pause_Timer.start();
        } else if (purpose == kPurposeFirmwareUpgrade) {
            fw_upload_pause_Timer.setInterval(m_ops.Timings().pauseMs);
            fw_upload_pause_Timer.start();
        }
        break;
    case kAfterDataPause:
        host.Log_Activity(TActivityStatus::Uploading_Data);
        if (host.Upload_Config_Ticked())
            m_ops.post(WM_RC_UPLOAD_CFG, 0, 0);
        else if (host.Upload_Images_Ticked())
            m_ops.post(WM_RC_UPLOAD_IMG, 0, 0);
        else
            // Nothing to send: the link is not left open with the buttons disabled.
            m_ops.Close_Connection();
        break;
    case kAfterFirmwarePause:
        host.Set_Progress(TDeviceBar::Firmware, 0, 1, false);
        host.Show_Firmware_Window();
        break;
    default: break;
    }
}

void TConnectSteps::listPorts(quint32 purpose)
{
    scan_index = 0;
    m_reasons.clear();
    port_list = m_ops.List_Ports();
    m_ops.host().Set_Scan_Progress(1, qMax(1, int(port_list.size())));
    probe(purpose);
}

void TConnectSteps::probe(quint32 purpose)
{
    if (scan_index >= port_list.size()) {
        notFound();
        return;
    }
    const TProbeResult r = Probe_Controller(m_ops.comms(), port_list.at(scan_index));
    m_ops.result().portsTried << TPortTried{r.port, Probe_Failure_Text(r)};
    if (!r.isController()) {
        m_reasons << Probe_Failure_Text(r);
        m_ops.comms().CloseComm();
        m_ops.post(WM_RC_CONNECT, kNextPort, purpose);
        return;
    }
    TControllerLink& link = m_ops.link();
    link.RC_PartNo = r.part_no;
    link.RC_FW_Ver = r.fw_version;
    DeviceOperationResult& result = m_ops.result();
    result.identified = true;
    result.port = r.port;
    result.partNumber = r.part_no;
    result.firmware = r.fw_version;
    accept(purpose);
}

void TConnectSteps::accept(quint32 purpose)
{
    TControllerLink& link = m_ops.link();
    TDeviceHost& host = m_ops.host();
    host.Log_Activity(TActivityStatus::Connected, Firmware_Text(link.RC_PartNo, link.RC_FW_Ver));
    // The same decision corvane-cli identify reports, in the same order:
    // boot loader, unknown version, then what the purpose needs.
    switch (Connect_Verdict(link.RC_PartNo, link.RC_FW_Ver, int(purpose))) {
    case TConnect_Verdict::Yes: m_ops.post(WM_RC_CONNECT, kConnected, purpose); break;
    case TConnect_Verdict::Needs_Application_Firmware: refuse(DeviceText::needsApplication()); break;
    case TConnect_Verdict::Not_Compatible: refuse(DeviceText::notCompatible()); break;
    case TConnect_Verdict::Needs_Firmware_Upgrade: refuse(DeviceText::needsUpgrade()); break;
    }
    // Deliberately the first model's boot loader only: the second model's boot
    // loader is finished with the application's command, and controllers rely on it.
    link.BL_Active_Flag = link.RC_PartNo == RC_Model_Table[0].bl_part_no;
    host.Show_Scan_Panel(false);
    host.Enable_Project_Area(true);
}

void TConnectSteps::refuse(const QString& text)
{
    m_ops.result().failedPhase = TDevicePhase::Identification;
    m_ops.result().message = One_Line(text);
    m_ops.host().Show_Message_Box(text, TDeviceBoxKind::Warning, TDeviceButtons::Ok, TDeviceAnswer::Ok);
    m_ops.Close_Connection();
}

void TConnectSteps::notFound()
{
    TDeviceHost& host = m_ops.host();
    const int maximum = qMax(1, int(port_list.size()));
    host.Set_Scan_Progress(maximum, maximum);
    // Missing, busy, denied and silent ports each need something else done.
    const QString why = m_reasons.isEmpty() ? QStringLiteral("no serial port of an FTDI adapter was found")
                                            : m_reasons.join(QStringLiteral("; "));
    host.Log_Activity(TActivityStatus::RC_Not_Found, why);
    m_ops.result().failedPhase = TDevicePhase::Discovery;
    m_ops.result().message = Status_Code_Text(int(TActivityStatus::RC_Not_Found)) + QStringLiteral(": ") + why;
    // The search is over before the box says so: the panel does not linger behind it.
    host.Show_Scan_Panel(false);
    host.Show_Message_Box(DeviceText::notFoundWithPorts(m_reasons), TDeviceBoxKind::Warning, TDeviceButtons::Ok,
                          TDeviceAnswer::Ok);
    host.Enable_Project_Area(true);
    m_ops.setBusy(false);
    host.Enable_Device_Buttons(true);
    m_ops.Operation_Finished();
    host.Operation_Ended();
}
