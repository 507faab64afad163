#pragma once
// Firmware upgrade (message 1031; lParam the step, wParam the model index,
// the address, a retry count or an error code): the carried image for the
// controller's model written into the staging area from 0x37000, then the
// 'firmware write' command. An abort request is honoured by the next block
// step; a failed block leaves the connection open for another attempt.

#include <QtGlobal>

class TDeviceStepContext;

class TFirmwareSteps {
public:
    enum Step : quint32 {
        kStart = 0,
        kWrite = 1,
        kBootLoaderCommand = 2,
        kApplicationCommand = 3,
        kClose = 10,
        kFailed = 11,
        kAbortRequest = 12,
        kAborted = 13
    };
    static constexpr quint32 kStagingAddress = 0x37000;

    explicit TFirmwareSteps(TDeviceStepContext& ops) : m_ops(ops) { }

    void handle(quint32 wParam, quint32 step);

private:
    void command(quint32 retries, quint32 step);

    TDeviceStepContext& m_ops;
    // "Cancel" answered Yes: the next block step ends the transfer.
    bool fw_upg_abort_flag = false;
};
