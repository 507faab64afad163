#pragma once

#include "core/messaging/WindowMessages.h"

#include <QMutex>
#include <QObject>
#include <QPointer>

#include <deque>

// The posted-message queue: messages wait here and a 2 ms timer releases one
// per tick to its target window, so between two steps of a device operation
// the window handles its input and repaints. Posting is safe from any thread;
// the queue itself lives on the thread that created it.
class PreciseTick;

class TMsgList : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 2;

    explicit TMsgList(QObject* parent = nullptr);
    // Messages still queued are dropped without being dispatched.
    ~TMsgList() override;

    void msgList_Post(QObject* window, int msg, quint32 wParam, quint32 lParam);

    int pendingCount() const;
    bool timerActive() const;
    // How many times the tick has been started so far.
    int timerStarts() const;

private slots:
    void msgList_TimerTimer();
    void startTimerIfPending();

private:
    struct Item {
        QPointer<QObject> window;
        int msg;
        quint32 wParam;
        quint32 lParam;
    };

    mutable QMutex m_lock;
    std::deque<Item> m_items;
    PreciseTick* m_timer;
};
