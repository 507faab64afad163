#pragma once
// Configuration retrieve (message 1027; lParam the step, wParam the block
// address): eleven reads of 128 bytes, then the block is validated and, when
// good, becomes the project's record.

#include <QString>
#include <QtGlobal>

#include "core/model/DeviceConfigRecords.h"

class TDeviceStepContext;

class TRetrieveSteps {
public:
    enum Step : quint32 { kStart = 0, kRead = 1, kValidate = 2, kCommsError = 3 };

    explicit TRetrieveSteps(TDeviceStepContext& ops) : m_ops(ops) { }

    void handle(quint32 wParam, quint32 step);

private:
    // The result's failure, with the log entry's additional text.
    void failed(const QString& info);

    TDeviceStepContext& m_ops;
    // The controller's block as read so far.
    TDeviceConfiguration RC_DeviceConfiguration{};
};
