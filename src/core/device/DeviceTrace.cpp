#include "core/device/DeviceTrace.h"

Q_LOGGING_CATEGORY(lcDevice, "corvane.device", QtInfoMsg)
