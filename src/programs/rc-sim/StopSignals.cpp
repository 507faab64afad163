#include "StopSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

int StopSignals::sPipe[2] = {-1, -1};

StopSignals::StopSignals(QObject* parent) : QObject(parent)
{
    if (::pipe2(sPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(sPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char sig = 0;
        if (::read(sPipe[0], &sig, 1) == 1)
            emit stopRequested(sig);
    });
    struct sigaction sa { };
    sa.sa_handler = &StopSignals::onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    // A closed terminal window must not leave a dangling link and no dump.
    ::sigaction(SIGHUP, &sa, nullptr);
}

void StopSignals::onSignal(int signalNumber)
{
    // Only async-signal-safe work here: the event loop does the rest.
    const unsigned char sig = static_cast<unsigned char>(signalNumber);
    (void)!::write(sPipe[1], &sig, 1);
}
