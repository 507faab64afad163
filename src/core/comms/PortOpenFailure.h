#pragma once
// Why a port could not be opened, kept so that callers can tell the user
// what to do about it.

#include <QString>

enum class TPortOpenFailure { None, Missing, Busy, PermissionDenied, NotSerial, Other };

// One line for the user, e.g. "/dev/ttyUSB0: permission denied".
QString Port_Open_Failure_Text(TPortOpenFailure failure, const QString& port, const QString& detail = {});
// What fixes it, or empty. For permission denied: membership of the group
// that owns the device node (usually dialout).
QString Port_Open_Failure_Fix(TPortOpenFailure failure, const QString& port);
