#include "CommissionWatch.h"

#include "CommissionSummary.h"

#include "core/messaging/UntrustedText.h"

#include <QCoreApplication>
#include <QTextStream>

#include <unistd.h>

namespace {
void say(const QString& text)
{
    QTextStream(stdout) << text << Qt::flush;
}
} // namespace

CommissionWatch::CommissionWatch(const QString& port, const TCommissioningPlan& plan,
                                 const TCommissioningOptions& options)
    : m_watch(port, plan, options)
{
    m_terminal = ::isatty(STDOUT_FILENO) == 1;
    connect(&m_watch, &TCommissioningWatch::portChanged, this, [this](int index) {
        if (!m_terminal || m_watch.state() != TCommissioningWatch::State::Commissioning)
            return;
        const TCommissioningRunner::Port& p = m_watch.runner().port(index);
        const QString state
            = p.state == TCommissioningRunner::State::Sending ? p.activity : commissioningStateText(p.state);
        say(QStringLiteral("\r\x1b[2K  #%1 %2  %3  %4")
                .arg(m_watch.index())
                .arg(untrustedText(p.port, 1 << 20),
                     p.identity.isEmpty() ? QStringLiteral("-") : untrustedText(p.identity, 1 << 20),
                     untrustedText(state, 1 << 20)));
    });
    connect(&m_watch, &TCommissioningWatch::controllerFinished, this, [this](const TCommissioningRecord& record) {
        say(QStringLiteral("%1#%2 %3\n%4")
                .arg(m_terminal ? QStringLiteral("\r\x1b[2K") : QString())
                .arg(m_watch.index())
                .arg(commissionResultLine(record), m_terminal ? QStringLiteral("\a") : QString()));
    });
    connect(&m_watch, &TCommissioningWatch::controllerRemoved, this, [this] {
        say(QStringLiteral("controller removed; waiting for the next one on %1\n")
                .arg(untrustedText(m_watch.port(), 1 << 20)));
    });
    connect(&m_watch, &TCommissioningWatch::stopped, this, [] { QCoreApplication::exit(0); });
}

CommissionWatch::~CommissionWatch() = default;

std::vector<TCommissioningRecord> CommissionWatch::run()
{
    QString error;
    if (!m_watch.start(&error)) {
        say(error + QLatin1Char('\n'));
        return m_watch.records();
    }
    say(QStringLiteral("waiting for a controller on %1 (Ctrl+C ends)\n").arg(untrustedText(m_watch.port(), 1 << 20)));
    QCoreApplication::exec();
    return m_watch.records();
}
