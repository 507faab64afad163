#pragma once
// The block step shared by the uploads: writes the next piece (at most 512
// bytes) of the link's upload_stream, advancing the stream position
// whatever the answer, as a stream read would.

#include "core/device/DeviceOperationResult.h"

#include <QtGlobal>

class TDeviceStepContext;
class TVrexComms;

struct TBlockWrite {
    bool done = false; // nothing was left to send
    int result = 0;    // of the write transaction, when one was sent
    quint32 length = 0;
};

inline constexpr quint32 kMaxWriteBlock = 512;

TBlockWrite writeNextBlock(TDeviceStepContext& ops, quint32 address, quint16 timeout);

// Why a transaction with this result was not accepted: refused (NAK), the
// port went away under it, or nothing (complete) came back.
TTransferFault transferFault(const TVrexComms& comms, int result);
// The link itself has gone (the port closed or vanished under the
// transaction): a retry on it would fail at once, so none is offered.
bool linkLost(TDeviceStepContext& ops, int result);
