#include "core/device/TFirmwareSteps.h"

#include "core/comms/TVrexComms.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceStepContext.h"
#include "core/device/TRetriedCommand.h"
#include "core/device/TStreamWriter.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/WindowMessages.h"
#include "core/protocol/BLcomms.h"
#include "core/resources/CarriedData.h"

#include <exception>

void TFirmwareSteps::handle(quint32 wParam, quint32 step)
{
    TControllerLink& link = m_ops.link();
    TDeviceHost& host = m_ops.host();
    switch (step) {
    case kStart: {
        fw_upg_abort_flag = false;
        {
            // A transfer asked for again on the same link starts afresh.
            DeviceOperationResult& result = m_ops.result();
            result.outcome = TOperationOutcome::Failed;
            result.phase = TDevicePhase::FirmwareWrite;
            result.failedPhase = TDevicePhase::None;
            result.fault = TTransferFault::None;
            result.firmwareSent = false;
            result.message.clear();
        }
        if (carriedFirmwareIsPlaceholder() && !m_ops.placeholderFirmwareAllowed(m_ops.comms().openPortName())) {
            host.Show_Message_Box(DeviceText::placeholderFirmware(), TDeviceBoxKind::Error, TDeviceButtons::Ok,
                                  TDeviceAnswer::Ok);
            host.Log_Activity(TActivityStatus::UploadError, DeviceText::placeholderFirmwareLog());
            m_ops.result().failedPhase = TDevicePhase::FirmwareRefused;
            m_ops.result().message = oneLine(DeviceText::placeholderFirmware());
            if (host.firmwareWindowShowing())
                host.firmwareTransferEnded();
            break;
        }
        host.Log_Activity(TActivityStatus::UploadingFirmware);
        QByteArray image;
        try {
            if (wParam <= 1)
                image = readResourceData(wParam == 0 ? QStringLiteral("FIRMWARE_BINARY_5813")
                                                     : QStringLiteral("FIRMWARE_BINARY_5827"));
        } catch (const std::exception&) {
            image.clear();
        }
        link.upload_stream = image;
        link.streamPos = 0;
        host.setProgress(TDeviceBar::Firmware, 0, qMax<qsizetype>(1, image.size()), false);
        if (image.isEmpty())
            m_ops.post(WM_RC_FW_UPGRADE, 0, kFailed);
        else
            m_ops.post(WM_RC_FW_UPGRADE, kStagingAddress, kWrite);
        break;
    }
    case kWrite: {
        if (fw_upg_abort_flag) {
            m_ops.post(WM_RC_FW_UPGRADE, 0, kAborted);
            break;
        }
        const TBlockWrite w = writeNextBlock(m_ops, wParam, 30);
        if (w.done) {
            m_ops.result().firmwareSent = true;
            host.Log_Activity(TActivityStatus::FirmwareUploaded);
            m_ops.post(WM_RC_FW_UPGRADE, 0, link.BL_Active_Flag ? kBootLoaderCommand : kApplicationCommand);
        } else if (w.result == BL::kAccepted) {
            m_ops.post(WM_RC_FW_UPGRADE, wParam + w.length, kWrite);
        } else {
            m_ops.result().fault = transferFault(m_ops.comms(), w.result);
            m_ops.post(WM_RC_FW_UPGRADE, 0, kFailed);
        }
        host.setProgress(TDeviceBar::Firmware, link.streamPos, link.upload_stream.size(), false);
        break;
    }
    case kBootLoaderCommand:
    case kApplicationCommand: command(wParam, step); break;
    case kClose: m_ops.Close_Connection(); break;
    case kFailed: {
        const qsizetype maximum = qMax<qsizetype>(1, link.upload_stream.size());
        host.setProgress(TDeviceBar::Firmware, maximum, maximum, true);
        host.Log_Activity(TActivityStatus::UploadError, DeviceText::firmwareBlockError());
        DeviceOperationResult& result = m_ops.result();
        // Every block acknowledged: it was the 'firmware write' command that failed.
        result.failedPhase = result.firmwareSent ? TDevicePhase::FirmwareCommand : TDevicePhase::FirmwareWrite;
        result.message = QStringLiteral("%1: %2").arg(statusCodeText(int(TActivityStatus::UploadError)),
                                                      DeviceText::firmwareBlockError());
        if (host.firmwareWindowShowing())
            host.firmwareTransferEnded();
        break;
    }
    case kAbortRequest: fw_upg_abort_flag = true; break;
    case kAborted:
        host.Log_Activity(TActivityStatus::UploadAborted);
        m_ops.result().outcome = TOperationOutcome::Cancelled;
        m_ops.result().failedPhase = TDevicePhase::FirmwareWrite;
        m_ops.result().message = statusCodeText(int(TActivityStatus::UploadAborted));
        m_ops.Close_Connection();
        break;
    default: break;
    }
}

void TFirmwareSteps::command(quint32 retries, quint32 step)
{
    const TControllerLink& link = m_ops.link();
    m_ops.result().phase = TDevicePhase::FirmwareCommand;
    const uint8_t code = step == kBootLoaderCommand ? BL::kCmdFirmwareWriteBoot : BL::kCmdFirmwareWriteApp;
    const quint32 address = quint32(link.PC_Cfg_FW_Ver) * 65536u + link.PC_Cfg_PartNo;
    if (!runRetriedCommand(m_ops, {WM_RC_FW_UPGRADE, step, kFailed, 0, code, address, DeviceText::firmwareWriteError()},
                           retries))
        return;
    if (step == kApplicationCommand)
        m_ops.host().Log_Activity(TActivityStatus::WritingFirmware);
    m_ops.result().outcome = TOperationOutcome::Ok;
    m_ops.result().message = statusCodeText(int(TActivityStatus::FirmwareUploaded));
    m_ops.post(WM_RC_FW_UPGRADE, 0, kClose);
}
