#pragma once
// The system's end of the line without any of its logic: raw bytes out, raw
// bytes in. For frames the protocol code would never build.

#include <QByteArray>
#include <QString>

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
    // Waits up to firstMs for the first byte, then collects until the line
    // has been quiet for quietMs.
    QByteArray receive(int firstMs = 3000, int quietMs = 100)
    {
        QByteArray out;
        char buf[1024];
        for (;;) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, out.isEmpty() ? firstMs : quietMs) <= 0)
                return out;
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                return out;
            out.append(buf, static_cast<int>(n));
        }
    }

private:
    int m_fd = -1;
};
