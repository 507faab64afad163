#include "core/comms/PortRules.h"

QString Windows_Port_Name(int port)
{
    if (port <= 9)
        return QStringLiteral("COM%1").arg(port);
    return QStringLiteral("\\\\.\\COM%1").arg(port);
}

uint32_t Read_Interval_Ms(uint32_t baudRate, uint32_t interCharTime)
{
    if (interCharTime != 0)
        return interCharTime;
    if (baudRate == 0)
        baudRate = 300;
    return (115200 / baudRate) * 3 / 12 + 1;
}

QString Platform_Port_Name(int port)
{
#ifdef Q_OS_WIN
    return Windows_Port_Name(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}
