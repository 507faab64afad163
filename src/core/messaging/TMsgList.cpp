#include "core/messaging/TMsgList.h"

#include "core/messaging/PreciseTick.h"
#include "core/messaging/TWindowMessageEvent.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QThread>

TMsgList::TMsgList(QObject* parent) : QObject(parent), timer_(new PreciseTick(kTickMs, this))
{
    connect(timer_, &PreciseTick::timeout, this, &TMsgList::msgList_TimerTimer);
}

TMsgList::~TMsgList()
{
    QMutexLocker locker(&lock_);
    timer_->stop();
    items_.clear();
}

void TMsgList::msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam)
{
    QMutexLocker locker(&lock_);
    items_.push_back(Item{QPointer<QObject>(window), msg, wParam, lParam});
    if (QThread::currentThread() == thread()) {
        // Posting while the timer runs must not restart it: a restart would delay
        // the message already due on this tick.
        if (!timer_->isActive())
            timer_->start();
    } else {
        // A QTimer may only be started from its own thread.
        QMetaObject::invokeMethod(this, &TMsgList::startTimerIfPending, Qt::QueuedConnection);
    }
}

void TMsgList::startTimerIfPending()
{
    QMutexLocker locker(&lock_);
    if (!items_.empty() && !timer_->isActive())
        timer_->start();
}

void TMsgList::msgList_TimerTimer()
{
    QMutexLocker locker(&lock_);
    if (!items_.empty()) {
        Item item = items_.front();
        items_.pop_front();
        // A window destroyed while its message waited simply never gets it.
        if (QObject* window = item.window.data())
            QCoreApplication::postEvent(window, new TWindowMessageEvent(item.msg, item.wParam, item.lParam));
    }
    if (items_.empty())
        timer_->stop();
}

int TMsgList::pendingCount() const
{
    QMutexLocker locker(&lock_);
    return int(items_.size());
}

bool TMsgList::timerActive() const
{
    return timer_->isActive();
}

int TMsgList::timerStarts() const
{
    return timer_->startCount();
}
