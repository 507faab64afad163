#pragma once
// Why a port could not be opened, kept so that callers can tell the user
// what to do about it.

#include <QString>

enum class TPortOpenFailure { None, Missing, Busy, PermissionDenied, NotSerial, Other };

// One line for the user, e.g. "/dev/ttyUSB0: permission denied".
QString portOpenFailureText(TPortOpenFailure failure, const QString& port, const QString& detail = {});
// Where the package installs the rule that opens the serial adapters to the
// user at the computer.
inline constexpr const char* kPortAccessRule = "/usr/lib/udev/rules.d/70-corvane-serial.rules";

// What fixes it, or empty. For permission denied: membership of the device
// node's group when that group may read and write it and is not root;
// otherwise the udev rule above.
QString portOpenFailureFix(TPortOpenFailure failure, const QString& port);
