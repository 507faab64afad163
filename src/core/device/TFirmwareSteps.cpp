#include "core/device/TFirmwareSteps.h"

#include "core/comms/TVrexComms.h"
#include "core/device/BLcomms.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceOperations.h"
#include "core/device/TStreamWriter.h"
#include "core/messaging/WindowMessages.h"
#include "core/resources/CarriedData.h"
#include "core/session/TSession.h"

#include <exception>

namespace {
constexpr int kCommandAttempts = 5;
}

void TFirmwareSteps::handle(quint32 wParam, quint32 step)
{
    TSession& s = m_ops.session();
    TDeviceHost& host = m_ops.host();
    switch (step) {
    case kStart: {
        s.fw_upg_abort_flag = false;
        if (Carried_Firmware_Is_Placeholder() && !m_ops.Placeholder_Firmware_Allowed(m_ops.comms().openPortName())) {
            host.Show_Message_Box(DeviceText::placeholderFirmware(), TDeviceBoxKind::Error, TDeviceButtons::Ok,
                                  TDeviceAnswer::Ok);
            host.Log_Activity(TActivityStatus::Upload_Error, DeviceText::placeholderFirmwareLog());
            if (host.Firmware_Window_Showing())
                host.Firmware_Transfer_Ended();
            break;
        }
        host.Log_Activity(TActivityStatus::Uploading_Firmware);
        QByteArray image;
        try {
            if (wParam <= 1)
                image = Read_Resource_Data(wParam == 0 ? QStringLiteral("FIRMWARE_BINARY_5813")
                                                       : QStringLiteral("FIRMWARE_BINARY_5827"));
        } catch (const std::exception&) {
            image.clear();
        }
        s.upload_stream = image;
        m_ops.streamPos = 0;
        host.Set_Progress(TDeviceBar::Firmware, 0, qMax<qsizetype>(1, image.size()), false);
        if (image.isEmpty())
            m_ops.post(WM_RC_FW_UPGRADE, 0, kFailed);
        else
            m_ops.post(WM_RC_FW_UPGRADE, kStagingAddress, kWrite);
        break;
    }
    case kWrite: {
        if (s.fw_upg_abort_flag) {
            m_ops.post(WM_RC_FW_UPGRADE, 0, kAborted);
            break;
        }
        const TBlockWrite w = Write_Next_Block(m_ops, wParam, 30);
        if (w.done) {
            host.Log_Activity(TActivityStatus::Firmware_Uploaded);
            m_ops.post(WM_RC_FW_UPGRADE, 0, s.BL_Active_Flag ? kBootLoaderCommand : kApplicationCommand);
        } else if (w.result == 1) {
            m_ops.post(WM_RC_FW_UPGRADE, wParam + w.length, kWrite);
        } else {
            m_ops.post(WM_RC_FW_UPGRADE, 0, kFailed);
        }
        host.Set_Progress(TDeviceBar::Firmware, m_ops.streamPos, s.upload_stream.size(), false);
        break;
    }
    case kBootLoaderCommand:
    case kApplicationCommand: command(wParam, step); break;
    case kClose: m_ops.Close_Connection(); break;
    case kFailed: {
        const qsizetype maximum = qMax<qsizetype>(1, s.upload_stream.size());
        host.Set_Progress(TDeviceBar::Firmware, maximum, maximum, true);
        host.Log_Activity(TActivityStatus::Upload_Error, DeviceText::firmwareBlockError());
        if (host.Firmware_Window_Showing())
            host.Firmware_Transfer_Ended();
        break;
    }
    case kAbortRequest: s.fw_upg_abort_flag = true; break;
    case kAborted:
        host.Log_Activity(TActivityStatus::Upload_Aborted);
        m_ops.Close_Connection();
        break;
    default: break;
    }
}

void TFirmwareSteps::command(quint32 retries, quint32 step)
{
    TSession& s = m_ops.session();
    TDeviceHost& host = m_ops.host();
    if (int(retries) >= kCommandAttempts) {
        if (host.Show_Message_Box(DeviceText::firmwareWriteError(), TDeviceBoxKind::Error, TDeviceButtons::RetryCancel,
                                  TDeviceAnswer::Retry)
            == TDeviceAnswer::Retry)
            m_ops.post(WM_RC_FW_UPGRADE, 0, step);
        else
            m_ops.post(WM_RC_FW_UPGRADE, 0, kFailed);
        return;
    }
    const uint8_t code = step == kBootLoaderCommand ? BL::kCmdFirmwareWriteBoot : BL::kCmdFirmwareWriteApp;
    const quint32 address = quint32(s.PC_Cfg_FW_Ver) * 65536u + s.PC_Cfg_PartNo;
    if (BL_Command(m_ops.comms(), code, address, 10) == 1) {
        if (step == kApplicationCommand)
            host.Log_Activity(TActivityStatus::Writing_Firmware);
        m_ops.post(WM_RC_FW_UPGRADE, 0, kClose);
    } else {
        m_ops.post(WM_RC_FW_UPGRADE, retries + 1, step);
    }
}
