#include "core/device/DevicePauseScale.h"

#include "core/device/TDeviceOperations.h"

#include <QByteArray>

double pauseScale()
{
    bool ok = false;
    const double scale = qEnvironmentVariable(kPauseScaleVariable).toDouble(&ok);
    return ok && scale >= 0.0 && scale < 1.0 ? scale : 1.0;
}

int scaledPauseMs(int ms)
{
    return int(ms * pauseScale());
}

void applyPauseScale(TDeviceOperations& operations)
{
    TDeviceOperations::TTimings timings = operations.timings();
    timings.scanDelayMs = scaledPauseMs(timings.scanDelayMs);
    timings.pauseMs = scaledPauseMs(timings.pauseMs);
    operations.setTimings(timings);
}
