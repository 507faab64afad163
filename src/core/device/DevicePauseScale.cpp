#include "core/device/DevicePauseScale.h"

#include "core/device/TDeviceOperations.h"

#include <QByteArray>

void Apply_Pause_Scale(TDeviceOperations& operations)
{
    bool ok = false;
    const double scale = qEnvironmentVariable(kPauseScaleVariable).toDouble(&ok);
    if (!ok || !(scale >= 0.0 && scale < 1.0))
        return;
    TDeviceOperations::TTimings timings = operations.Timings();
    timings.scanDelayMs = int(timings.scanDelayMs * scale);
    timings.pauseMs = int(timings.pauseMs * scale);
    operations.Set_Timings(timings);
}
