#include "core/storage/ProjectFileLock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

ProjectFileLock::~ProjectFileLock()
{
    release();
}

#ifdef Q_OS_UNIX

namespace {

// The program that holds a lock on the file (dev, ino): the system's lock
// table names the process, its command line names the program. Empty when
// the system does not say.
QString holderOf(const struct stat& st)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return {};
    const QByteArray key = QStringLiteral("%1:%2:%3")
                               .arg(major(st.st_dev), 2, 16, QLatin1Char('0'))
                               .arg(minor(st.st_dev), 2, 16, QLatin1Char('0'))
                               .arg(quint64(st.st_ino))
                               .toLatin1();
    const pid_t self = ::getpid();
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"
        if (f.size() < 6 || f[1] != "FLOCK" || f[5] != key)
            continue;
        bool ok = false;
        const qint64 pid = f[4].toLongLong(&ok);
        if (!ok || pid <= 0 || pid == self)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        QStringList words;
        if (cmdline.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> args = cmdline.readAll().split('\0');
            if (!args.isEmpty())
                words << QString::fromLocal8Bit(args[0]).section(QLatin1Char('/'), -1);
            // A command-line program names its command next ("corvane-cli add-image").
            if (args.size() > 1 && !args[1].isEmpty() && !args[1].startsWith('-') && !args[1].contains('/'))
                words << QString::fromLocal8Bit(args[1]);
        }
        return words.isEmpty() ? QStringLiteral("process %1").arg(pid)
                               : QStringLiteral("%1, process %2").arg(words.join(QLatin1Char(' '))).arg(pid);
    }
    return {};
}

} // namespace

bool ProjectFileLock::acquire(const QString& path, int waitMs, QString* error)
{
    release();
    const QByteArray name = QFile::encodeName(path);
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                return true; // a new file: nobody else's change to lose
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        struct stat locked { };
        bool gotIt = false;
        for (;;) {
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
                gotIt = true;
                break;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                // A file system without locks: nothing to coordinate with.
                ::close(fd);
                return true;
            }
            if (clock.elapsed() >= waitMs)
                break;
            QThread::msleep(50);
        }
        if (!gotIt) {
            ::fstat(fd, &locked);
            const QString holder = holderOf(locked);
            ::close(fd);
            *error = QStringLiteral("%1 is being changed by another program%2; nothing was changed, try again when it "
                                    "has finished")
                         .arg(path, holder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder));
            return false;
        }
        // The name may lead to a new file by now (the holder renamed its
        // result over the one locked here): then that one is the project.
        struct stat now { };
        if (::fstat(fd, &locked) == 0 && ::stat(name.constData(), &now) == 0 && locked.st_dev == now.st_dev
            && locked.st_ino == now.st_ino) {
            m_fd = fd;
            return true;
        }
        ::close(fd);
    }
}

void ProjectFileLock::release()
{
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

#else

// Elsewhere the writer's own sharing rules are all there is.
bool ProjectFileLock::acquire(const QString&, int, QString*)
{
    return true;
}

void ProjectFileLock::release() { }

#endif
