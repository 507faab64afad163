#include "core/comms/SerialBackend.h"

#include "core/comms/SerialPortHandleQt.h"
#ifdef Q_OS_UNIX
#include "core/comms/SerialPortHandlePosix.h"
#endif

QStringList Serial_Backend_Names()
{
#ifdef Q_OS_UNIX
    return {QStringLiteral("posix"), QStringLiteral("qt")};
#else
    return {QStringLiteral("qt")};
#endif
}

QString Serial_Backend_Name(TSerialBackend backend)
{
    return backend == TSerialBackend::Posix ? QStringLiteral("posix") : QStringLiteral("qt");
}

TSerialBackend Default_Serial_Backend()
{
#ifdef Q_OS_UNIX
    return TSerialBackend::Posix;
#else
    return TSerialBackend::Qt;
#endif
}

std::optional<TSerialBackend> Serial_Backend_From_Environment(QString* error)
{
    const QString name = qEnvironmentVariable(kSerialBackendVariable).trimmed();
    if (name.isEmpty())
        return Default_Serial_Backend();
    if (name == QLatin1String("qt"))
        return TSerialBackend::Qt;
#ifdef Q_OS_UNIX
    if (name == QLatin1String("posix"))
        return TSerialBackend::Posix;
#endif
    if (error) {
        *error
            = QStringLiteral("%1=%2: unknown serial backend (this build has: %3)")
                  .arg(QLatin1String(kSerialBackendVariable), name, Serial_Backend_Names().join(QStringLiteral(", ")));
    }
    return std::nullopt;
}

std::unique_ptr<SerialPortHandle> Make_Serial_Port_Handle(TSerialBackend backend)
{
#ifdef Q_OS_UNIX
    if (backend == TSerialBackend::Posix)
        return std::make_unique<PosixSerialPortHandle>();
#endif
    Q_UNUSED(backend);
    return std::make_unique<QtSerialPortHandle>();
}

std::unique_ptr<SerialPortHandle> Make_Serial_Port_Handle(QString* error)
{
    const std::optional<TSerialBackend> backend = Serial_Backend_From_Environment(error);
    if (!backend)
        return nullptr;
    return Make_Serial_Port_Handle(*backend);
}
