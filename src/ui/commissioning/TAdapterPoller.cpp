#include "ui/commissioning/TAdapterPoller.h"

#include <QtConcurrent/QtConcurrentRun>

namespace {
bool sameAdapters(const std::vector<TCandidatePort>& a, const std::vector<TCandidatePort>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TCandidatePort& x, const TCandidatePort& y) {
        return x.name == y.name && x.serialNumber == y.serialNumber;
    });
}
} // namespace

TAdapterPoller::TAdapterPoller(QObject* parent)
    : QObject(parent)
    , m_lister([] { return getCommPortCandidates(QStringLiteral("FTDI")); })
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &TAdapterPoller::poll);
    connect(&m_watcher, &QFutureWatcher<std::vector<TCandidatePort>>::finished, this, &TAdapterPoller::listed);
}

TAdapterPoller::~TAdapterPoller()
{
    m_timer.stop();
    m_watcher.waitForFinished();
}

void TAdapterPoller::start()
{
    m_timer.start();
    poll();
}

void TAdapterPoller::stop()
{
    m_timer.stop();
}

void TAdapterPoller::poll()
{
    // One listing at a time: a slow one is not queued behind itself.
    if (m_watcher.isRunning())
        return;
    m_watcher.setFuture(QtConcurrent::run(m_lister));
}

void TAdapterPoller::listed()
{
    std::vector<TCandidatePort> now = m_watcher.result();
    if (m_listedOnce && sameAdapters(now, m_adapters))
        return;
    m_listedOnce = true;
    m_adapters = std::move(now);
    emit adaptersChanged();
}
