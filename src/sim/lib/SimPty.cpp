#include "sim/lib/SimPty.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
QString errnoText(const char* what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

void makeRaw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return;
    ::cfmakeraw(&t);
    ::cfsetspeed(&t, B230400);
    ::tcsetattr(fd, TCSANOW, &t);
}
} // namespace

bool SimPty::open(QString* error)
{
    close();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        if (error)
            *error = errnoText("cannot create a pseudo-terminal");
        close();
        return false;
    }
    char name[128] = {};
    if (::ptsname_r(m_master, name, sizeof name) != 0) {
        if (error)
            *error = errnoText("cannot name the pseudo-terminal");
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        if (error)
            *error = errnoText("cannot open the pseudo-terminal");
        close();
        return false;
    }
    makeRaw(m_slave);
    makeRaw(m_master);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

void SimPty::close()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

bool SimPty::writeAll(const QByteArray& bytes)
{
    return writeAll(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
}

bool SimPty::writeAll(const uint8_t* data, std::size_t n)
{
    std::size_t done = 0;
    while (done < n && m_master >= 0) {
        const ssize_t w = ::write(m_master, data + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
        } else if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{m_master, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0)
                return false;
        } else {
            return false;
        }
    }
    return done == n;
}

QByteArray SimPty::read(int timeoutMs)
{
    QByteArray out;
    char buf[4096];
    while (m_master >= 0) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0 || !(p.revents & POLLIN))
            break;
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, static_cast<int>(n));
    }
    return out;
}

bool SimPty::makeLink(const QString& linkPath, QString* error)
{
    const QFileInfo info(linkPath);
    if (info.exists() && !info.isSymLink()) {
        if (error)
            *error = QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath);
        return false;
    }
    if (info.isSymLink())
        QFile::remove(linkPath);
    if (!QFile::link(m_slavePath, linkPath)) {
        if (error)
            *error = QStringLiteral("cannot create the link %1").arg(linkPath);
        return false;
    }
    return true;
}
