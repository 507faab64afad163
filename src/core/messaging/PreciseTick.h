#pragma once
// A periodic tick that fires on time. Qt's timers end a wait of the event
// loop through a poll timeout, which the kernel may stretch by its timer
// slack (50 us) and the GLib dispatcher rounds up to whole milliseconds; on
// a 2 ms tick that added about a tenth of a millisecond to every step of a
// device operation. On Linux the tick is a timerfd watched by the event loop
// (the kernel wakes it at the expiry itself); elsewhere a precise QTimer.

#include <QObject>

class QSocketNotifier;
class QTimer;

class PreciseTick : public QObject {
    Q_OBJECT
public:
    explicit PreciseTick(int intervalMs, QObject* parent = nullptr);
    ~PreciseTick() override;

    int interval() const { return m_intervalMs; }
    bool isActive() const { return m_active; }
    // Starts the tick (the first one an interval from now); while it runs,
    // start() restarts it.
    void start();
    void stop();
    // How many times the tick has been started: a running tick that is not
    // restarted keeps its count.
    int startCount() const { return m_starts; }

signals:
    void timeout();

private:
    void fired();

    int m_intervalMs;
    bool m_active = false;
    int m_starts = 0;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_timer = nullptr;
};
