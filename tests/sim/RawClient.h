#pragma once
// The system's end of the line without any of its logic: raw bytes out, raw
// bytes in. For frames the protocol code would never build.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class RawClient {
public:
    explicit RawClient(const QString& path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd >= 0) {
            termios t{};
            ::tcgetattr(m_fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(m_fd, TCSANOW, &t);
        }
    }
    ~RawClient()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool ok() const { return m_fd >= 0; }
    bool send(const QByteArray& b) { return ::write(m_fd, b.constData(), b.size()) == b.size(); }
    // Reads until a reply of `length` bytes is complete (1 for ACK or NAK,
    // 12 + count for a read reply), however it is cut into pieces; at the
    // deadline it returns what has arrived.
    QByteArray receive(int length = 1, int timeoutMs = 10000)
    {
        QByteArray out;
        QDeadlineTimer deadline(timeoutMs);
        char buf[1024];
        while (out.size() < length) {
            pollfd p{m_fd, POLLIN, 0};
            const int r = ::poll(&p, 1, static_cast<int>(deadline.remainingTime()));
            if (r <= 0)
                return out;
            const auto want = std::min<qsizetype>(sizeof buf, length - out.size());
            const ssize_t n = ::read(m_fd, buf, static_cast<size_t>(want));
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (n <= 0)
                return out;
            out.append(buf, static_cast<int>(n));
        }
        return out;
    }
    // Bytes that have arrived and not been read, without waiting.
    QByteArray pending()
    {
        QByteArray out;
        char buf[1024];
        ssize_t n;
        while ((n = ::read(m_fd, buf, sizeof buf)) > 0)
            out.append(buf, static_cast<int>(n));
        return out;
    }

private:
    int m_fd = -1;
};
