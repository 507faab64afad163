#include "core/comms/QtSerialOutbox.h"

#include <algorithm>

std::ptrdiff_t QtSerialOutbox::put(const uint8_t* data, std::size_t length, bool* wake)
{
    std::lock_guard lock(m_mutex);
    *wake = false;
    if (m_failed)
        return -1;
    const qint64 room = kWindow - m_inPort - m_waiting.size();
    if (room <= 0 || length == 0)
        return 0;
    const auto n = static_cast<qsizetype>(std::min<qint64>(room, static_cast<qint64>(length)));
    m_waiting.append(reinterpret_cast<const char*>(data), n);
    *wake = !std::exchange(m_wakeQueued, true);
    return n;
}

bool QtSerialOutbox::hasRoom() const
{
    std::lock_guard lock(m_mutex);
    return m_failed || m_inPort + m_waiting.size() < kWindow;
}

QByteArray QtSerialOutbox::takeForPort()
{
    std::lock_guard lock(m_mutex);
    m_wakeQueued = false;
    m_inPort += m_waiting.size();
    return std::exchange(m_waiting, QByteArray());
}

void QtSerialOutbox::written(qint64 count)
{
    std::lock_guard lock(m_mutex);
    m_inPort = std::max<qint64>(0, m_inPort - count);
}

void QtSerialOutbox::fail()
{
    std::lock_guard lock(m_mutex);
    m_failed = true;
    m_waiting.clear();
}

void QtSerialOutbox::clear()
{
    std::lock_guard lock(m_mutex);
    m_waiting.clear();
    m_inPort = 0;
}

void QtSerialOutbox::reset()
{
    std::lock_guard lock(m_mutex);
    m_waiting.clear();
    m_inPort = 0;
    m_failed = false;
    m_wakeQueued = false;
}
