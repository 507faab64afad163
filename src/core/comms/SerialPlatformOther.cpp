// Systems without the POSIX terminal interface: Qt's serial port does the
// work there, and these questions have neutral answers.
#include "core/comms/SerialPlatform.h"

bool requestLowLatencyFor(qintptr)
{
    return false;
}

bool lockPortHandle(qintptr)
{
    return true; // the system's own open is exclusive
}

TPortOpenFailure refusedOpenReason(const QString&)
{
    return TPortOpenFailure::Busy; // a port held by another program is refused as access denied
}

std::optional<bool> namesNonSerialDevice(const QString&)
{
    return std::nullopt;
}

std::optional<QString> portSharedGroup(const QString&)
{
    return std::nullopt;
}
