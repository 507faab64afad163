#include "core/comms/TRxThreadPosix.h"

#include "core/comms/RxChunkQueue.h"
#include "core/comms/SerialPortHandle.h"

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

TRxThread::TRxThread(int portFd, int closeFd, uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue,
                     QObject* parent)
    : QThread(parent)
    , m_portFd(portFd)
    , m_closeFd(closeFd)
    , m_interval(readIntervalMs)
    , m_queue(std::move(queue))
{
}

TRxThread::Wait TRxThread::waitForData(int timeoutMs)
{
    pollfd fds[2] = {{m_closeFd, POLLIN, 0}, {m_portFd, POLLIN, 0}};
    for (;;) {
        const int r = ::poll(fds, 2, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return Wait::Failed;
        if (fds[0].revents)
            return Wait::Close;
        if (r == 0)
            return Wait::Data; // timed out: the caller sees no bytes
        if (fds[1].revents & POLLIN)
            return Wait::Data;
        return Wait::Failed; // hang-up or error without data: the port is gone
    }
}

int TRxThread::gapMs() const
{
    // 0xFFFFFFFF asks for what has arrived without waiting for more; any
    // other interval is kept short of poll's "wait for ever".
    if (m_interval == 0xFFFFFFFFu)
        return 0;
    return static_cast<int>(std::min<uint32_t>(m_interval, std::numeric_limits<int>::max()));
}

void TRxThread::run()
{
    constexpr int kReadSize = SerialPortHandle::kReadSize;
    QByteArray buffer(kReadSize, Qt::Uninitialized);
    bool running = true;
    bool lost = false;
    while (running) {
        const Wait first = waitForData(-1);
        if (first != Wait::Data) {
            lost = first == Wait::Failed;
            break;
        }
        // One read: it completes when the buffer is full or when the line stays
        // quiet for longer than the read interval after a received byte (or at
        // once, when the component has asked for that).
        int filled = 0;
        for (;;) {
            const ssize_t n = ::read(m_portFd, buffer.data() + filled, static_cast<size_t>(kReadSize - filled));
            if (n > 0) {
                filled += static_cast<int>(n);
                if (filled == kReadSize)
                    break;
            } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                running = false;
                lost = true;
                break;
            } else if (filled == 0) {
                break; // woke without data; wait again
            }
            if (m_queue->handOverAtOnce())
                break; // the reply's end is known from its bytes: no gap to wait for
            const Wait w = waitForData(gapMs());
            if (w == Wait::Close) {
                running = false;
                break;
            }
            if (w == Wait::Failed)
                break;
            pollfd p{m_portFd, POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
                break; // the gap exceeded the interval
        }
        if (filled > 0 && !m_queue->post(QByteArray(buffer.constData(), filled)))
            running = false;
    }
    if (lost)
        m_queue->postLost();
    ::tcflush(m_portFd, TCIFLUSH);
}
