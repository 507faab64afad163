#include "core/device/TRetriedCommand.h"

#include "core/comms/TVrexComms.h"
#include "core/device/DeviceTexts.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceStepContext.h"
#include "core/device/TStreamWriter.h"
#include "core/protocol/BLcomms.h"

bool runRetriedCommand(TDeviceStepContext& ops, const TRetriedCommand& c, quint32 attempt)
{
    if (linkLost(ops, BL::kAccepted)) {
        // Five more attempts on a link that is gone would fail at once.
        ops.host().Show_Message_Box(DeviceText::linkLost(c.errorText, ops.comms().openPortName(), QString()),
                                    TDeviceBoxKind::Error, TDeviceButtons::Ok, TDeviceAnswer::Ok);
        ops.post(c.msg, c.failureCode, c.failedStep);
        return false;
    }
    if (int(attempt) >= c.attempts) {
        if (ops.host().Show_Message_Box(c.errorText, TDeviceBoxKind::Error, TDeviceButtons::RetryCancel,
                                        TDeviceAnswer::Retry)
            == TDeviceAnswer::Retry)
            ops.post(c.msg, 0, c.step);
        else
            ops.post(c.msg, c.failureCode, c.failedStep);
        return false;
    }
    if (BL_Command(ops.comms(), c.command, c.address, 10) == BL::kAccepted)
        return true;
    ops.post(c.msg, attempt + 1, c.step);
    return false;
}
