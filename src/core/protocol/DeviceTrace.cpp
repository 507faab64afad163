#include "core/protocol/DeviceTrace.h"

Q_LOGGING_CATEGORY(lcDevice, "corvane.device", QtInfoMsg)
