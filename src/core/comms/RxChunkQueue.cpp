#include "core/comms/RxChunkQueue.h"

#include <QMetaObject>

bool RxChunkQueue::post(QByteArray chunk)
{
    {
        std::lock_guard lock(m_mutex);
        m_chunks.push_back(std::move(chunk));
    }
    m_cv.notify_all();
    return m_context && QMetaObject::invokeMethod(m_context, m_arrived, Qt::QueuedConnection);
}

bool RxChunkQueue::take(QByteArray& chunk)
{
    std::lock_guard lock(m_mutex);
    if (m_chunks.empty())
        return false;
    chunk = std::move(m_chunks.front());
    m_chunks.pop_front();
    return true;
}

bool RxChunkQueue::waitForChunk(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, timeout, [this] { return !m_chunks.empty() || m_isLost; });
}

void RxChunkQueue::clear()
{
    std::lock_guard lock(m_mutex);
    m_chunks.clear();
}

void RxChunkQueue::postLost()
{
    {
        std::lock_guard lock(m_mutex);
        m_isLost = true;
    }
    m_cv.notify_all();
    if (m_context && m_lost)
        QMetaObject::invokeMethod(m_context, m_lost, Qt::QueuedConnection);
}

bool RxChunkQueue::isLost() const
{
    std::lock_guard lock(m_mutex);
    return m_isLost;
}
