#include "core/messaging/TMsgList.h"

#include "core/messaging/PreciseTick.h"
#include "core/messaging/TWindowMessageEvent.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>

TMsgList::TMsgList(QObject* parent) : QObject(parent), m_timer(new PreciseTick(kTickMs, this))
{
    connect(m_timer, &PreciseTick::timeout, this, &TMsgList::msgList_TimerTimer);
}

TMsgList::~TMsgList()
{
    QMutexLocker locker(&m_lock);
    m_timer->stop();
    m_items.clear();
}

void TMsgList::msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam)
{
    QMutexLocker locker(&m_lock);
    m_items.push_back(Item{QPointer<QObject>(window), msg, wParam, lParam});
    if (QThread::currentThread() == thread()) {
        // Posting while the timer runs must not restart it: a restart would delay
        // the message already due on this tick.
        if (!m_timer->isActive())
            m_timer->start();
    } else {
        // A QTimer may only be started from its own thread.
        QMetaObject::invokeMethod(this, &TMsgList::startTimerIfPending, Qt::QueuedConnection);
    }
}

void TMsgList::startTimerIfPending()
{
    QMutexLocker locker(&m_lock);
    if (!m_items.empty() && !m_timer->isActive())
        m_timer->start();
}

void TMsgList::msgList_TimerTimer()
{
    QMutexLocker locker(&m_lock);
    if (!m_items.empty()) {
        Item item = m_items.front();
        m_items.pop_front();
        // A window destroyed while its message waited simply never gets it.
        if (QObject* window = item.window.data())
            QCoreApplication::postEvent(window, new TWindowMessageEvent(item.msg, item.wParam, item.lParam));
    }
    if (m_items.empty())
        m_timer->stop();
}

int TMsgList::pendingCount() const
{
    QMutexLocker locker(&m_lock);
    return int(m_items.size());
}

bool TMsgList::timerActive() const
{
    return m_timer->isActive();
}

int TMsgList::timerStarts() const
{
    return m_timer->startCount();
}
