#pragma once
// Configuration upload (message 1029; lParam the step, wParam the address,
// a retry count or an error code): the 1408-byte version 2 block written
// from address 0, then the image upload or the restart.

#include <QtGlobal>

class TDeviceOperations;

class TConfigUploadSteps {
public:
    enum Step : quint32 { kStart = 0, kWrite = 1, kWritten = 2, kReset = 3, kDone = 10, kFailed = 11 };

    explicit TConfigUploadSteps(TDeviceOperations& ops) : m_ops(ops) { }

    void handle(quint32 wParam, quint32 step);

private:
    TDeviceOperations& m_ops;
};
