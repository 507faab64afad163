#include "core/device/DevicePauseScale.h"

#include "core/device/TDeviceOperations.h"

#include <QByteArray>

double Pause_Scale()
{
    bool ok = false;
    const double scale = qEnvironmentVariable(kPauseScaleVariable).toDouble(&ok);
    return ok && scale >= 0.0 && scale < 1.0 ? scale : 1.0;
}

int Scaled_Pause_Ms(int ms)
{
    return int(ms * Pause_Scale());
}

void Apply_Pause_Scale(TDeviceOperations& operations)
{
    TDeviceOperations::TTimings timings = operations.Timings();
    timings.scanDelayMs = Scaled_Pause_Ms(timings.scanDelayMs);
    timings.pauseMs = Scaled_Pause_Ms(timings.pauseMs);
    operations.Set_Timings(timings);
}
