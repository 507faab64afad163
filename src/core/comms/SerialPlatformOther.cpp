// Systems without the POSIX terminal interface: Qt's serial port does the
// work there, and these questions have neutral answers.
#include "core/comms/SerialPlatform.h"

bool Request_Low_Latency(qintptr)
{
    return false;
}

bool Lock_Port_Handle(qintptr)
{
    return true; // the system's own open is exclusive
}

TPortOpenFailure Refused_Open_Reason(const QString&)
{
    return TPortOpenFailure::Busy; // a port held by another program is refused as access denied
}

std::optional<bool> Names_Non_Serial_Device(const QString&)
{
    return std::nullopt;
}

std::optional<QString> Port_Shared_Group(const QString&)
{
    return std::nullopt;
}
