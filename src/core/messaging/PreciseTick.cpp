#include "core/messaging/PreciseTick.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

PreciseTick::PreciseTick(int intervalMs, QObject* parent) : QObject(parent), m_intervalMs(intervalMs)
{
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(static_cast<qintptr>(m_fd), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &PreciseTick::fired);
        return;
    }
#endif
    // No timerfd: Qt's own precise timer, a little late now and then.
    m_timer = new QTimer(this);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(m_intervalMs);
    connect(m_timer, &QTimer::timeout, this, &PreciseTick::fired);
}

PreciseTick::~PreciseTick()
{
#ifdef Q_OS_LINUX
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void PreciseTick::start()
{
    m_active = true;
    ++m_starts;
    if (m_timer) {
        m_timer->start();
        return;
    }
#ifdef Q_OS_LINUX
    const long ns = static_cast<long>(m_intervalMs) * 1000000L;
    itimerspec spec{};
    spec.it_interval.tv_sec = ns / 1000000000L;
    spec.it_interval.tv_nsec = ns % 1000000000L;
    spec.it_value = spec.it_interval;
    ::timerfd_settime(m_fd, 0, &spec, nullptr);
#endif
}

void PreciseTick::stop()
{
    m_active = false;
    if (m_timer) {
        m_timer->stop();
        return;
    }
#ifdef Q_OS_LINUX
    const itimerspec off{};
    ::timerfd_settime(m_fd, 0, &off, nullptr);
#endif
}

void PreciseTick::fired()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        // Ticks missed while the thread was busy are not made up for: one
        // wake-up is one tick.
        uint64_t expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations)
            return;
    }
#endif
    if (m_active)
        emit timeout();
}
