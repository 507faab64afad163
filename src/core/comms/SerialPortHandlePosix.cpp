#include "core/comms/SerialPortHandlePosix.h"

#include "core/comms/CommsTrace.h"
#include "core/comms/ECommsError.h"
#include "core/comms/SerialPlatform.h"
#include "core/comms/TRxThreadPosix.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
TPortOpenFailure failureOf(int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return TPortOpenFailure::Missing;
    case EACCES:
    case EPERM: return TPortOpenFailure::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK: return TPortOpenFailure::Busy;
    default: return TPortOpenFailure::Other;
    }
}

speed_t speedOf(uint32_t baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

tcflag_t sizeOf(uint8_t bits)
{
    switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
    }
}
} // namespace

bool PosixSerialPortHandle::open(const QString& name)
{
    close();
    m_failure = TPortOpenFailure::None;
    m_error.clear();
    const QByteArray path = name.toLocal8Bit();
    // Non-blocking, so a modem line without carrier cannot hold the open.
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        m_failure = failureOf(err);
        m_error = QString::fromLocal8Bit(std::strerror(err));
        return false;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        m_failure = TPortOpenFailure::NotSerial;
        throw ECommsError(QStringLiteral("File Handle is not a Comm Handle."));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        m_failure = TPortOpenFailure::Busy;
        m_error = QString::fromLocal8Bit(std::strerror(err));
        return false;
    }
    ::ioctl(fd, TIOCEXCL);
    m_fd = fd;
    return true;
}

PosixSerialPortHandle::~PosixSerialPortHandle()
{
    close();
}

void PosixSerialPortHandle::close()
{
    if (m_fd < 0)
        return;
    stopReceiving();
    for (const QPointer<QSocketNotifier>& watch : m_roomWatches) {
        if (watch)
            watch->setEnabled(false);
    }
    m_roomWatches.clear();
    // The exclusive mode belongs to the terminal, not to this descriptor: it
    // would outlive us while another holder keeps the terminal open.
    ::ioctl(m_fd, TIOCNXCL);
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}

void PosixSerialPortHandle::applyLineSettings(uint32_t baudRate, uint8_t dataBits, int stopBits, int parity)
{
    if (m_fd < 0)
        return;
    termios t{};
    if (::tcgetattr(m_fd, &t) != 0)
        return;
    ::cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    t.c_cflag |= CREAD | CLOCAL | sizeOf(dataBits);
    if (stopBits != 0)
        t.c_cflag |= CSTOPB;
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    switch (parity) {
    case 1:
        t.c_cflag |= PARENB | PARODD;
        t.c_iflag |= INPCK;
        break;
    case 2:
        t.c_cflag |= PARENB;
        t.c_iflag |= INPCK;
        break;
    case 3:
        t.c_cflag |= PARENB | PARODD | CMSPAR;
        t.c_iflag |= INPCK;
        break;
    case 4:
        t.c_cflag |= PARENB | CMSPAR;
        t.c_iflag |= INPCK;
        break;
    default: break;
    }
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t speed = speedOf(baudRate);
    if (speed != B0)
        ::cfsetspeed(&t, speed);
    ::tcsetattr(m_fd, TCSANOW, &t);
    int dtr = TIOCM_DTR;
    ::ioctl(m_fd, TIOCMBIS, &dtr);
}

bool PosixSerialPortHandle::requestLowLatency()
{
    return m_fd >= 0 && requestLowLatencyFor(m_fd);
}

void PosixSerialPortHandle::purge()
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIOFLUSH);
}

void PosixSerialPortHandle::purgeInput()
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIFLUSH);
}

void PosixSerialPortHandle::purgeOutput()
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCOFLUSH);
}

std::ptrdiff_t PosixSerialPortHandle::writeSome(const uint8_t* data, std::size_t length)
{
    if (m_fd < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::write(m_fd, data, length);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

int PosixSerialPortHandle::setRts(bool on)
{
    if (m_fd < 0)
        return EBADF;
    int bit = TIOCM_RTS;
    return ::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bit) == 0 ? 0 : errno;
}

std::unique_ptr<QObject> PosixSerialPortHandle::watchForRoom(std::function<void()> onRoom)
{
    if (m_fd < 0)
        return std::make_unique<QObject>();
    auto notifier = std::make_unique<QSocketNotifier>(static_cast<qintptr>(m_fd), QSocketNotifier::Write);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [onRoom] { onRoom(); });
    std::erase_if(m_roomWatches, [](const QPointer<QSocketNotifier>& w) { return w.isNull(); });
    m_roomWatches.emplace_back(notifier.get());
    return notifier;
}

bool PosixSerialPortHandle::startReceiving(uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue)
{
    if (m_fd < 0 || m_thread)
        return false;
    if (::pipe2(m_closePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        m_closePipe[0] = m_closePipe[1] = -1;
        return false;
    }
    m_thread = new TRxThread(m_fd, m_closePipe[0], readIntervalMs, std::move(queue));
    m_thread->start(QThread::HighestPriority);
    if (!m_thread->isRunning() && !m_thread->isFinished()) {
        stopReceiving();
        return false;
    }
    return true;
}

void PosixSerialPortHandle::stopReceiving()
{
    if (m_thread) {
        const char wake = 1;
        if (m_closePipe[1] >= 0)
            (void)!::write(m_closePipe[1], &wake, 1);
        // The thread blocks only in poll() on the close pipe and the port, so
        // the close request always reaches it. It is never killed: a thread
        // stopped mid-way could leave the chunk queue's lock held for ever.
        if (!m_thread->wait(QDeadlineTimer(10000))) {
            qCWarning(lcComms) << "the receive thread is slow to end; still waiting for it";
            m_thread->wait();
        }
        delete m_thread;
        m_thread = nullptr;
    }
    for (int& fd : m_closePipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}
