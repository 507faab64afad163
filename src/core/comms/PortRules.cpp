#include "core/comms/PortRules.h"

QString windowsPortName(int port)
{
    if (port <= 9)
        return QStringLiteral("COM%1").arg(port);
    return QStringLiteral("\\\\.\\COM%1").arg(port);
}

uint32_t defaultReadIntervalMs(uint32_t baudRate, uint32_t interCharTime)
{
    if (interCharTime != 0)
        return interCharTime;
    if (baudRate == 0)
        baudRate = 300;
    return (115200 / baudRate) * 3 / 12 + 1;
}

QString platformPortName(int port)
{
#ifdef Q_OS_WIN
    return windowsPortName(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}
