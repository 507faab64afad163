#include "SimReadiness.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeAllTo(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

void SimReadiness::ready(const QString& portName)
{
    if (m_fd < 0)
        return;
    (void)writeAllTo(m_fd, "PORT " + QFile::encodeName(portName) + '\n');
    ::close(m_fd);
    m_fd = -1;
}

int SimReadiness::daemonize(SimReadiness& readiness)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        std::perror("corvane-rc-sim: --daemon");
        return 1;
    }
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0) {
        std::perror("corvane-rc-sim: --daemon");
        return 1;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        ::setsid(); // no terminal's Ctrl+C or hang-up reaches it
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::close(null);
        }
        readiness = SimReadiness(pipeFds[1]);
        return -1;
    }
    ::close(pipeFds[1]);
    QByteArray line;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        line.append(buffer, n);
    }
    ::close(pipeFds[0]);
    if (line.startsWith("PORT ") && line.endsWith('\n')) {
        std::printf("%sPID %ld\n", line.constData(), long(child));
        std::fflush(stdout);
        return 0;
    }
    // It ended before it was ready; its own message is on standard error.
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) && WEXITSTATUS(status) != 0 ? WEXITSTATUS(status) : 1;
}
