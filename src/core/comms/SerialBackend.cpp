#include "core/comms/SerialBackend.h"

#include "core/comms/SerialPortHandleQt.h"
#ifdef Q_OS_UNIX
#include "core/comms/SerialPortHandlePosix.h"
#endif

QStringList serialBackendNames()
{
#ifdef Q_OS_UNIX
    return {QStringLiteral("posix"), QStringLiteral("qt")};
#else
    return {QStringLiteral("qt")};
#endif
}

QString serialBackendName(TSerialBackend backend)
{
    return backend == TSerialBackend::Posix ? QStringLiteral("posix") : QStringLiteral("qt");
}

TSerialBackend defaultSerialBackend()
{
#ifdef Q_OS_UNIX
    return TSerialBackend::Posix;
#else
    return TSerialBackend::Qt;
#endif
}

std::optional<TSerialBackend> serialBackendFromEnvironment(QString* error)
{
    const QString name = qEnvironmentVariable(kSerialBackendVariable).trimmed();
    if (name.isEmpty())
        return defaultSerialBackend();
    if (name == QLatin1String("qt"))
        return TSerialBackend::Qt;
#ifdef Q_OS_UNIX
    if (name == QLatin1String("posix"))
        return TSerialBackend::Posix;
#endif
    if (error) {
        *error = QStringLiteral("%1=%2: unknown serial backend (this build has: %3)")
                     .arg(QLatin1String(kSerialBackendVariable), name, serialBackendNames().join(QStringLiteral(", ")));
    }
    return std::nullopt;
}

std::unique_ptr<SerialPortHandle> makeSerialPortHandle(TSerialBackend backend)
{
#ifdef Q_OS_UNIX
    if (backend == TSerialBackend::Posix)
        return std::make_unique<PosixSerialPortHandle>();
#endif
    Q_UNUSED(backend);
    return std::make_unique<QtSerialPortHandle>();
}

std::unique_ptr<SerialPortHandle> makeSerialPortHandle(QString* error)
{
    const std::optional<TSerialBackend> backend = serialBackendFromEnvironment(error);
    if (!backend)
        return nullptr;
    return makeSerialPortHandle(*backend);
}
