#include "ui/app/TSessionLock.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

TSessionLock::~TSessionLock()
{
    release();
}

#ifdef Q_OS_UNIX

bool TSessionLock::acquire(const QString& path)
{
    release();
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void TSessionLock::release()
{
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

#else

// Elsewhere a lock file naming its process: Qt tells a live owner from one
// that has gone by the process id, never by the file's age.
bool TSessionLock::acquire(const QString& path)
{
    release();
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    m_fd = 0;
    return true;
}

void TSessionLock::release()
{
    m_lock.reset();
    m_fd = -1;
}

#endif
