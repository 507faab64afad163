#include "core/device/TConfigUploadSteps.h"

#include "core/comms/TVrexComms.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceStepContext.h"
#include "core/device/TRetriedCommand.h"
#include "core/device/TStreamWriter.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/WindowMessages.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/BLcomms.h"

namespace {
QString failureDetail(quint32 code)
{
    switch (code) {
    case 1: return QStringLiteral("Configuration data");
    case 2: return QStringLiteral("Reset command");
    case 3: return QStringLiteral("Configuration read back differs");
    // The memory may hold the right bytes: only the check could not be made.
    case 4: return QStringLiteral("Configuration could not be read back: no reply");
    case 5:
        return QStringLiteral("Configuration could not be read back: the reply failed its length or check-sum test");
    case 6: return QStringLiteral("Configuration could not be read back: the read was refused");
    default: return QStringLiteral("Unknown error");
    }
}
} // namespace

void TConfigUploadSteps::handle(quint32 wParam, quint32 step)
{
    TControllerLink& link = m_ops.link();
    TDeviceHost& host = m_ops.host();
    switch (step) {
    case kStart: {
        m_ops.result().phase = TDevicePhase::ConfigWrite;
        // The record keeps the check bytes it is sent with, as it always has.
        m_ops.document().writeCheckBytes();
        TDevice_Config_v2 record = m_ops.document().record();
        RC_Upload_DeviceConfiguration = buildUploadBlock(record);
        link.upload_stream = QByteArray(reinterpret_cast<const char*>(&RC_Upload_DeviceConfiguration),
                                        sizeof RC_Upload_DeviceConfiguration);
        link.streamPos = 0;
        host.setProgress(TDeviceBar::Config, 0, link.upload_stream.size(), false);
        m_ops.post(WM_RC_UPLOAD_CFG, 0, kWrite);
        break;
    }
    case kWrite: {
        const TBlockWrite w = writeNextBlock(m_ops, wParam, 100);
        if (w.done) {
            m_ops.post(WM_RC_UPLOAD_CFG, 0, kWritten);
        } else if (w.result == BL::kAccepted) {
            m_ops.post(WM_RC_UPLOAD_CFG, wParam + w.length, kWrite);
        } else {
            m_ops.result().fault = transferFault(m_ops.comms(), w.result);
            if (linkLost(m_ops, w.result)) {
                host.Show_Message_Box(DeviceText::linkLost(DeviceText::configWriteError(), m_ops.comms().openPortName(),
                                                           QStringLiteral("configuration")),
                                      TDeviceBoxKind::Error, TDeviceButtons::Ok, TDeviceAnswer::Ok);
                m_ops.post(WM_RC_UPLOAD_CFG, 1, kFailed);
            } else if (host.Show_Message_Box(DeviceText::configWriteError(), TDeviceBoxKind::Error,
                                             TDeviceButtons::RetryCancel, TDeviceAnswer::Retry)
                       == TDeviceAnswer::Retry) {
                m_ops.post(WM_RC_UPLOAD_CFG, 0, kStart);
            } else {
                m_ops.post(WM_RC_UPLOAD_CFG, 1, kFailed);
            }
        }
        host.setProgress(TDeviceBar::Config, link.streamPos, link.upload_stream.size(), false);
        break;
    }
    case kWritten: {
        // Every block acknowledged: the configuration has reached the
        // controller, whatever the check or the restart find later.
        DeviceOperationResult& result = m_ops.result();
        result.configSent = true;
        result.configChecksum = uploadBlockChecksum(link.upload_stream);
        result.fault = TTransferFault::None;
        if (verify) {
            result.phase = TDevicePhase::ConfigVerify;
            m_readBack = QByteArray(int(sizeof RC_Upload_DeviceConfiguration), '\0');
            m_ops.post(WM_RC_UPLOAD_CFG, 0, kVerifyRead);
            break;
        }
        [[fallthrough]];
    }
    case kVerified:
        if (step == kVerified)
            m_ops.result().verify = TVerifyOutcome::Passed;
        host.Log_Activity(TActivityStatus::ConfigurationUploaded,
                          step == kVerified ? QStringLiteral("verified: read back and identical") : QString());
        if (host.uploadImagesTicked()) {
            m_ops.post(WM_RC_UPLOAD_IMG, 0, 0);
        } else {
            host.Log_Activity(TActivityStatus::DataUploaded);
            m_ops.post(WM_RC_UPLOAD_CFG, 0, kReset);
        }
        break;
    case kVerifyRead: verifyRead(wParam); break;
    case kReset:
        m_ops.result().phase = TDevicePhase::Reset;
        if (runRetriedCommand(m_ops, {WM_RC_UPLOAD_CFG, kReset, kFailed, 2, BL::kCmdReset, 0, DeviceText::resetError()},
                              wParam)) {
            host.Log_Activity(TActivityStatus::RestartingRc);
            m_ops.result().outcome = TOperationOutcome::Ok;
            m_ops.result().message = statusCodeText(int(TActivityStatus::DataUploaded));
            m_ops.post(WM_RC_UPLOAD_CFG, 0, kDone);
        }
        break;
    case kDone: m_ops.Close_Connection(); break;
    case kFailed:
        host.setProgress(TDeviceBar::Config, link.streamPos, qMax<qsizetype>(1, link.upload_stream.size()), true);
        host.Log_Activity(
            TActivityStatus::UploadError,
            QStringLiteral("(%1) %2").arg(wParam).arg(failureDetail(wParam))
                + (m_ops.comms().portWasLost() ? QStringLiteral(": ") + DeviceText::linkLostLog() : QString()));
        failed(wParam);
        m_ops.Close_Connection();
        break;
    default: break;
    }
}

void TConfigUploadSteps::verifyRead(quint32 address)
{
    constexpr quint32 kBlock = 128;
    auto* raw = reinterpret_cast<uint8_t*>(m_readBack.data());
    bool copied = false;
    const int result
        = BL_ReadBlock(m_ops.comms(), BL::kCmdReadMemory, address, nullptr, 0, raw, int(address), kBlock, 30, &copied);
    if (result != BL::kAccepted || !copied) {
        const TTransferFault fault = transferFault(m_ops.comms(), result);
        m_ops.result().fault = fault;
        m_ops.result().verify = result == BL::kAccepted ? TVerifyOutcome::BadReply
            : fault == TTransferFault::Refused          ? TVerifyOutcome::Refused
                                                        : TVerifyOutcome::NoReply;
        m_ops.post(WM_RC_UPLOAD_CFG, result == BL::kAccepted ? 5 : result == BL::kRefused ? 6 : 4, kFailed);
        return;
    }
    if (address + kBlock < quint32(m_readBack.size())) {
        m_ops.post(WM_RC_UPLOAD_CFG, address + kBlock, kVerifyRead);
        return;
    }
    const QByteArray written(reinterpret_cast<const char*>(&RC_Upload_DeviceConfiguration),
                             sizeof RC_Upload_DeviceConfiguration);
    if (m_readBack != written)
        m_ops.result().verify = TVerifyOutcome::Differs;
    m_ops.post(WM_RC_UPLOAD_CFG, m_readBack == written ? 0 : 3, m_readBack == written ? kVerified : kFailed);
}

void TConfigUploadSteps::failed(quint32 code)
{
    DeviceOperationResult& result = m_ops.result();
    result.failedPhase = code == 1 ? TDevicePhase::ConfigWrite
        : code == 2                ? TDevicePhase::Reset
                                   : TDevicePhase::ConfigVerify;
    QString message = QStringLiteral("%1: (%2) %3")
                          .arg(statusCodeText(int(TActivityStatus::UploadError)))
                          .arg(code)
                          .arg(failureDetail(code));
    if (code == 1 && result.fault != TTransferFault::None)
        message += QStringLiteral(": ") + transferFaultText(result.fault);
    result.message = message;
}
