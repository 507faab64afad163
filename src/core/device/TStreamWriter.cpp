#include "core/device/TStreamWriter.h"

#include "core/comms/TVrexComms.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceStepContext.h"
#include "core/protocol/BLcomms.h"

TBlockWrite writeNextBlock(TDeviceStepContext& ops, quint32 address, quint16 timeout)
{
    TControllerLink& link = ops.link();
    const QByteArray& stream = link.upload_stream;
    TBlockWrite w;
    const qsizetype left = qMax<qsizetype>(0, stream.size() - link.streamPos);
    w.length = quint32(qMin<qsizetype>(left, kMaxWriteBlock));
    if (w.length == 0) {
        w.done = true;
        return w;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(stream.constData()) + link.streamPos;
    link.streamPos += w.length;
    w.result = BL_WriteBlock(ops.comms(), BL::kCmdWriteMemory, address, data, quint16(w.length), timeout);
    return w;
}

TTransferFault transferFault(const TVrexComms& comms, int result)
{
    if (result == BL::kAccepted)
        return TTransferFault::None;
    if (result < 0 || comms.portWasLost())
        return TTransferFault::PortGone;
    if (result == BL::kRefused)
        return TTransferFault::Refused;
    return TTransferFault::NoAnswer;
}

bool linkLost(TDeviceStepContext& ops, int result)
{
    return result < 0 || ops.comms().portWasLost() || !ops.comms().isOpen();
}
