#pragma once
// Which code reaches the serial port: the POSIX terminal interface (Linux and
// other Unix systems) or Qt's serial port (every platform Qt supports). The
// environment variable CORVANE_SERIAL_BACKEND picks one at run time ("posix"
// or "qt"); without it Unix systems use posix and the others qt.

#include "core/comms/SerialPortHandle.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

enum class TSerialBackend { Posix, Qt };

inline constexpr char kSerialBackendVariable[] = "CORVANE_SERIAL_BACKEND";

// The backends this build has, by their names.
QStringList serialBackendNames();
QString serialBackendName(TSerialBackend backend);
TSerialBackend defaultSerialBackend();
// The backend CORVANE_SERIAL_BACKEND names (the default when it is unset or
// empty). Nothing, with one line naming the unknown value in *error, when
// this build has no backend of that name.
std::optional<TSerialBackend> serialBackendFromEnvironment(QString* error = nullptr);
// A closed handle of the given backend, or of the one the environment names;
// nothing, with the error line, for an unknown name.
std::unique_ptr<SerialPortHandle> makeSerialPortHandle(TSerialBackend backend);
std::unique_ptr<SerialPortHandle> makeSerialPortHandle(QString* error = nullptr);
