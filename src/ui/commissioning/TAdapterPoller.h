#pragma once
// Keeps an eye on the serial adapters plugged in: the same search the device
// operations use (ports whose maker says FTDI), asked again every second on
// a thread of the pool, since listing ports can take a while on some
// systems and the window must not stall. Says when the list changed.

#include "core/device/CommPortList.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

class TAdapterPoller : public QObject {
    Q_OBJECT
public:
    using TLister = std::function<std::vector<TCandidatePort>()>;
    static constexpr int kIntervalMs = 1000;

    explicit TAdapterPoller(QObject* parent = nullptr);
    ~TAdapterPoller() override;

    // Tests list their own ports; the default is the FTDI adapters.
    void setLister(TLister lister) { m_lister = std::move(lister); }
    // Polls now and then every kIntervalMs until stop().
    void start();
    void stop();
    const std::vector<TCandidatePort>& adapters() const { return m_adapters; }

signals:
    void adaptersChanged();

private:
    void poll();
    void listed();

    TLister m_lister;
    QTimer m_timer;
    QFutureWatcher<std::vector<TCandidatePort>> m_watcher;
    std::vector<TCandidatePort> m_adapters;
    bool m_listedOnce = false;
};
