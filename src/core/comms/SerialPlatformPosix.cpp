#include "core/comms/SerialPlatform.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#endif

bool requestLowLatencyFor(qintptr handle)
{
#ifdef Q_OS_LINUX
    const int fd = static_cast<int>(handle);
    serial_struct ss{};
    if (::ioctl(fd, TIOCGSERIAL, &ss) != 0)
        return false;
    ss.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &ss) == 0;
#else
    Q_UNUSED(handle);
    return false;
#endif
}

bool lockPortHandle(qintptr handle)
{
    return ::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) == 0;
}

TPortOpenFailure refusedOpenReason(const QString& name)
{
    const QByteArray path = name.toLocal8Bit();
    // With the effective rights, as the open itself was refused.
    if (::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) != 0 && (errno == EACCES || errno == EPERM))
        return TPortOpenFailure::PermissionDenied;
    return TPortOpenFailure::Busy;
}

std::optional<bool> namesNonSerialDevice(const QString& name)
{
    const QByteArray path = name.toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const bool terminal = ::isatty(fd);
    ::close(fd);
    return !terminal;
}

std::optional<QString> portSharedGroup(const QString& name)
{
    struct stat st { };
    if (::stat(name.toLocal8Bit().constData(), &st) != 0)
        return std::nullopt;
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP) || st.st_gid == 0)
        return std::nullopt;
    const struct group* g = ::getgrgid(st.st_gid);
    if (!g)
        return std::nullopt;
    const QString group = QString::fromLocal8Bit(g->gr_name);
    if (group == QLatin1String("root"))
        return std::nullopt;
    return group;
}
