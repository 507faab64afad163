#include "core/device/TImageUploadSteps.h"

#include "core/comms/TVrexComms.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceStepContext.h"
#include "core/device/TImageBlockBuilder.h"
#include "core/device/TRetriedCommand.h"
#include "core/device/TStreamWriter.h"
#include "core/document/TProjectDocument.h"
#include "core/messaging/WindowMessages.h"
#include "core/protocol/BLcomms.h"

#include <QCryptographicHash>

namespace {
QString failureDetail(quint32 code)
{
    switch (code) {
    case 1: return QStringLiteral("Image data");
    case 2: return QStringLiteral("Reset command");
    default: return QStringLiteral("Unknown error");
    }
}
} // namespace

TImageUploadSteps::TImageUploadSteps(TDeviceStepContext& ops) : m_ops(ops), m_builder(new TImageBlockBuilder(this))
{
    connect(m_builder, &TImageBlockBuilder::finished, this, &TImageUploadSteps::built);
}

void TImageUploadSteps::handle(quint32 wParam, quint32 step)
{
    TControllerLink& link = m_ops.link();
    TDeviceHost& host = m_ops.host();
    switch (step) {
    case kStart:
        m_ops.result().phase = TDevicePhase::ImageBuild;
        link.upload_stream.clear();
        link.streamPos = 0;
        if (const QByteArray* prepared = m_ops.preparedImageBlock()) {
            built(*prepared, QString());
            break;
        }
        // The next step is posted once the block is built (built()).
        m_builder->start(m_ops.document().images());
        break;
    case kWrite: {
        const TBlockWrite w = writeNextBlock(m_ops, wParam, 30);
        if (w.done) {
            m_ops.result().imagesSent = true;
            m_ops.result().fault = TTransferFault::None;
            host.Log_Activity(TActivityStatus::ImagesUploaded);
            m_ops.post(WM_RC_UPLOAD_IMG, 0, kReset);
        } else if (w.result == BL::kAccepted) {
            m_ops.post(WM_RC_UPLOAD_IMG, wParam + w.length, kWrite);
        } else {
            m_ops.result().fault = transferFault(m_ops.comms(), w.result);
            if (linkLost(m_ops, w.result)) {
                host.Show_Message_Box(DeviceText::linkLost(DeviceText::imageWriteError(), m_ops.comms().openPortName(),
                                                           QStringLiteral("set of images")),
                                      TDeviceBoxKind::Error, TDeviceButtons::Ok, TDeviceAnswer::Ok);
                m_ops.post(WM_RC_UPLOAD_IMG, 1, kFailed);
            } else if (host.Show_Message_Box(DeviceText::imageWriteError(), TDeviceBoxKind::Error,
                                             TDeviceButtons::RetryCancel, TDeviceAnswer::Retry)
                       == TDeviceAnswer::Retry) {
                m_ops.post(WM_RC_UPLOAD_IMG, 0, kStart);
            } else {
                m_ops.post(WM_RC_UPLOAD_IMG, 1, kFailed);
            }
        }
        host.setProgress(TDeviceBar::Images, link.streamPos, qMax<qsizetype>(1, link.upload_stream.size()), false);
        break;
    }
    case kReset:
        m_ops.result().phase = TDevicePhase::Reset;
        if (runRetriedCommand(m_ops, {WM_RC_UPLOAD_IMG, kReset, kFailed, 2, BL::kCmdReset, 0, DeviceText::resetError()},
                              wParam)) {
            host.Log_Activity(TActivityStatus::DataUploaded);
            m_ops.result().outcome = TOperationOutcome::Ok;
            m_ops.result().message = statusCodeText(int(TActivityStatus::DataUploaded));
            m_ops.post(WM_RC_UPLOAD_IMG, 0, kDone);
        }
        break;
    case kDone:
        host.Log_Activity(TActivityStatus::RestartingRc);
        m_ops.Close_Connection();
        break;
    case kFailed: {
        host.setProgress(TDeviceBar::Images, link.streamPos, qMax<qsizetype>(1, link.upload_stream.size()), true);
        host.Log_Activity(
            TActivityStatus::UploadError,
            QStringLiteral("(%1) %2").arg(wParam).arg(failureDetail(wParam))
                + (m_ops.comms().portWasLost() ? QStringLiteral(": ") + DeviceText::linkLostLog() : QString()));
        DeviceOperationResult& result = m_ops.result();
        result.failedPhase = wParam == 1 ? TDevicePhase::ImageWrite : TDevicePhase::Reset;
        result.message = QStringLiteral("%1: (%2) %3")
                             .arg(statusCodeText(int(TActivityStatus::UploadError)))
                             .arg(wParam)
                             .arg(failureDetail(wParam));
        if (wParam == 1 && result.fault != TTransferFault::None)
            result.message += QStringLiteral(": ") + transferFaultText(result.fault);
        m_ops.Close_Connection();
        break;
    }
    default: break;
    }
}

void TImageUploadSteps::built(const QByteArray& block, const QString& error)
{
    TControllerLink& link = m_ops.link();
    TDeviceHost& host = m_ops.host();
    if (!error.isEmpty()) {
        // A block that cannot be built is not half sent: the upload ends here,
        // saying why, and the link is closed.
        host.setProgress(TDeviceBar::Images, 0, 1, true);
        host.Log_Activity(TActivityStatus::UploadError, QStringLiteral("(1) Image data: %1").arg(error));
        m_ops.result().failedPhase = TDevicePhase::ImageBuild;
        m_ops.result().message
            = QStringLiteral("%1: (1) Image data: %2").arg(statusCodeText(int(TActivityStatus::UploadError)), error);
        m_ops.Close_Connection();
        return;
    }
    DeviceOperationResult& result = m_ops.result();
    result.phase = TDevicePhase::ImageWrite;
    result.imageBlockBytes = block.size();
    result.imageBlockSha256 = QString::fromLatin1(QCryptographicHash::hash(block, QCryptographicHash::Sha256).toHex());
    link.upload_stream = block;
    link.streamPos = 0;
    host.setProgress(TDeviceBar::Images, 0, qMax<qsizetype>(1, block.size()), false);
    m_ops.post(WM_RC_UPLOAD_IMG, kImageStoreAddress, kWrite);
}
