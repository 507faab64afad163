#pragma once
// Small rules of the serial link that do not need an open port.

#include <QString>

#include <cstdint>

// Windows needs the device namespace prefix for ports above 9: COM9, \\.\COM10.
QString windowsPortName(int port);

// Read interval in milliseconds: the explicit inter-character time when set,
// otherwise derived from the line speed (1 ms at 230400 and 115200, 2 at
// 19200, 4 at 9600). A speed of 0 is treated as the slowest common rate.
uint32_t defaultReadIntervalMs(uint32_t baudRate, uint32_t interCharTime);

// The platform's own name for a port given by number (COMn on Windows,
// /dev/ttySn-1 elsewhere); used when a component is given only a number.
QString platformPortName(int port);
