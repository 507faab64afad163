#pragma once
// Configuration upload (message 1029; lParam the step, wParam the address,
// a retry count or an error code): the 1408-byte version 2 block written
// from address 0, optionally read back and compared, then the image upload
// or the restart.

#include "core/model/DeviceConfigRecords.h"

#include <QByteArray>

class TDeviceStepContext;

class TConfigUploadSteps {
public:
    enum Step : quint32 {
        kStart = 0,
        kWrite = 1,
        kWritten = 2,
        kReset = 3,
        kVerifyRead = 4,
        kVerified = 5,
        kDone = 10,
        kFailed = 11
    };

    explicit TConfigUploadSteps(TDeviceStepContext& ops) : m_ops(ops) { }

    // Read the block back after writing it and compare before going on; a
    // difference or a read that fails ends the upload with log 11 (code 3).
    bool verify = false;

    void handle(quint32 wParam, quint32 step);

private:
    void verifyRead(quint32 address);
    // The result's failure for the failure code c of step 11.
    void failed(quint32 code);

    TDeviceStepContext& m_ops;
    // The block as sent, and as read back when verifying.
    TDeviceConfiguration RC_Upload_DeviceConfiguration{};
    QByteArray m_readBack;
};
