#include "core/comms/PortOpenFailure.h"

#include "core/comms/SerialPlatform.h"

QString portOpenFailureText(TPortOpenFailure failure, const QString& port, const QString& detail)
{
    switch (failure) {
    case TPortOpenFailure::None: return {};
    case TPortOpenFailure::Missing: return QStringLiteral("%1: no such port").arg(port);
    case TPortOpenFailure::Busy: return QStringLiteral("%1: port is in use by another program").arg(port);
    case TPortOpenFailure::PermissionDenied: return QStringLiteral("%1: permission denied").arg(port);
    case TPortOpenFailure::NotSerial: return QStringLiteral("%1: not a serial port").arg(port);
    case TPortOpenFailure::Other: break;
    }
    return detail.isEmpty() ? QStringLiteral("%1: cannot be opened").arg(port)
                            : QStringLiteral("%1: cannot be opened (%2)").arg(port, detail);
}

QString portOpenFailureFix(TPortOpenFailure failure, const QString& port)
{
    if (failure != TPortOpenFailure::PermissionDenied)
        return {};
    if (const std::optional<QString> group = portSharedGroup(port))
        return QStringLiteral("add your user to the group \"%1\" (sudo usermod -aG %1 $USER) and log in again")
            .arg(*group);
#ifdef Q_OS_LINUX
    // No group to join that would not give away more than the port: the
    // package's rule hands the adapter to whoever sits at the computer.
    return QStringLiteral("the udev rule %1 that comes with the package (or a rule like it) grants access to the "
                          "adapter; install it, then unplug the adapter and plug it in again")
        .arg(QLatin1String(kPortAccessRule));
#else
    return {};
#endif
}
