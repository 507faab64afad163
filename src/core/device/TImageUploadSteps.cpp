#include "core/device/TImageUploadSteps.h"

#include "core/device/BLcomms.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceOperations.h"
#include "core/device/TImageBlockBuilder.h"
#include "core/device/TStreamWriter.h"
#include "core/messaging/WindowMessages.h"
#include "core/session/TSession.h"

namespace {
constexpr int kResetAttempts = 5;

QString Failure_Detail(quint32 code)
{
    switch (code) {
    case 1: return QStringLiteral("Image data");
    case 2: return QStringLiteral("Reset command");
    default: return QStringLiteral("Unknown error");
    }
}
} // namespace

TImageUploadSteps::TImageUploadSteps(TDeviceOperations& ops) : m_ops(ops), m_builder(new TImageBlockBuilder(this))
{
    connect(m_builder, &TImageBlockBuilder::finished, this, &TImageUploadSteps::built);
}

void TImageUploadSteps::handle(quint32 wParam, quint32 step)
{
    TSession& s = m_ops.session();
    TDeviceHost& host = m_ops.host();
    switch (step) {
    case kStart:
        s.upload_stream.clear();
        m_ops.streamPos = 0;
        // The next step is posted once the block is built (built()).
        m_builder->start(s.Handle_List);
        break;
    case kWrite: {
        const TBlockWrite w = Write_Next_Block(m_ops, wParam, 30);
        if (w.done) {
            host.Log_Activity(TActivityStatus::Images_Uploaded);
            m_ops.post(WM_RC_UPLOAD_IMG, 0, kReset);
        } else if (w.result == 1) {
            m_ops.post(WM_RC_UPLOAD_IMG, wParam + w.length, kWrite);
        } else if (host.Show_Message_Box(DeviceText::imageWriteError(), TDeviceBoxKind::Error,
                                         TDeviceButtons::RetryCancel, TDeviceAnswer::Retry)
                   == TDeviceAnswer::Retry) {
            m_ops.post(WM_RC_UPLOAD_IMG, 0, kStart);
        } else {
            m_ops.post(WM_RC_UPLOAD_IMG, 1, kFailed);
        }
        host.Set_Progress(TDeviceBar::Images, m_ops.streamPos, qMax<qsizetype>(1, s.upload_stream.size()), false);
        break;
    }
    case kReset:
        if (int(wParam) >= kResetAttempts) {
            if (host.Show_Message_Box(DeviceText::resetError(), TDeviceBoxKind::Error, TDeviceButtons::RetryCancel,
                                      TDeviceAnswer::Retry)
                == TDeviceAnswer::Retry)
                m_ops.post(WM_RC_UPLOAD_IMG, 0, kReset);
            else
                m_ops.post(WM_RC_UPLOAD_IMG, 2, kFailed);
        } else if (BL_Command(m_ops.comms(), BL::kCmdReset, 0, 10) == 1) {
            host.Log_Activity(TActivityStatus::Data_Uploaded);
            m_ops.post(WM_RC_UPLOAD_IMG, 0, kDone);
        } else {
            m_ops.post(WM_RC_UPLOAD_IMG, wParam + 1, kReset);
        }
        break;
    case kDone:
        host.Log_Activity(TActivityStatus::Restarting_RC);
        m_ops.Close_Connection();
        break;
    case kFailed:
        host.Set_Progress(TDeviceBar::Images, m_ops.streamPos, qMax<qsizetype>(1, s.upload_stream.size()), true);
        host.Log_Activity(TActivityStatus::Upload_Error, QStringLiteral("(%1) %2").arg(wParam).arg(Failure_Detail(wParam)));
        m_ops.Close_Connection();
        break;
    default: break;
    }
}

void TImageUploadSteps::built(const QByteArray& block, const QString& error)
{
    TSession& s = m_ops.session();
    TDeviceHost& host = m_ops.host();
    if (!error.isEmpty()) {
        // A block that cannot be built is not half sent: the upload ends here,
        // saying why, and the link is closed.
        host.Set_Progress(TDeviceBar::Images, 0, 1, true);
        host.Log_Activity(TActivityStatus::Upload_Error, QStringLiteral("(1) Image data: %1").arg(error));
        m_ops.Close_Connection();
        return;
    }
    s.upload_stream = block;
    m_ops.streamPos = 0;
    host.Set_Progress(TDeviceBar::Images, 0, qMax<qsizetype>(1, block.size()), false);
    m_ops.post(WM_RC_UPLOAD_IMG, kImageStoreAddress, kWrite);
}
