#pragma once
// The few things about a serial port that only the operating system can
// tell, for code that is otherwise portable (Qt's backend, the open-failure
// texts). SerialPlatformPosix.cpp answers them on Unix systems;
// SerialPlatformOther.cpp gives the neutral answers elsewhere.

#include "core/comms/PortOpenFailure.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// Asks the driver of an open port (by its native handle) to hand over
// received bytes at once. False when refused or not applicable.
bool requestLowLatencyFor(qintptr handle);
// The advisory lock the POSIX backend takes, so that programs using either
// backend exclude each other. False when another holder has it.
bool lockPortHandle(qintptr handle);
// Why an open that Qt reported as refused was refused: the user lacks the
// right to the device, or someone else holds it.
TPortOpenFailure refusedOpenReason(const QString& name);
// Whether the name opens something that is not a serial device (a terminal
// on Unix); nothing when that cannot be told.
std::optional<bool> namesNonSerialDevice(const QString& name);
// The group whose members may open the port: the device node's group when
// that group may read and write the node and is not the superuser's (joining
// root is never the answer). Nothing otherwise, and where groups do not
// decide it.
std::optional<QString> portSharedGroup(const QString& name);
