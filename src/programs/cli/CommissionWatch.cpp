#include "CommissionWatch.h"

#include "CommissionSummary.h"

#include "core/comms/TVrexComms.h"
#include "core/device/CommsSetup.h"
#include "core/device/ControllerProbe.h"
#include "core/device/DevicePauseScale.h"

#include "core/messaging/UntrustedText.h"

#include <QCoreApplication>
#include <QDateTime>
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
    : m_port(port)
    , m_comms(Initialise_Comms_Vars(nullptr))
{
    TCommissioningOptions watchOptions = options;
    watchOptions.watchSession = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    m_run = std::make_unique<TCommissioningRunner>(plan, watchOptions);
    connect(m_run.get(), &TCommissioningRunner::portChanged, this, [this](int index) {
        if (!m_terminal || m_state != State::Commissioning)
            return;
        const TCommissioningRunner::Port& p = m_run->port(index);
        const QString state
            = p.state == TCommissioningRunner::State::Sending ? p.activity : Commissioning_State_Text(p.state);
        say(QStringLiteral("\r\x1b[2K  #%1 %2  %3  %4")
                .arg(m_index)
                .arg(Untrusted_Text(p.port, 1 << 20),
                     p.identity.isEmpty() ? QStringLiteral("-") : Untrusted_Text(p.identity, 1 << 20),
                     Untrusted_Text(state, 1 << 20)));
    });
    connect(m_run.get(), &TCommissioningRunner::portFinished, this,
            [this](int index, const TCommissioningRecord& record) {
                m_records.push_back(record);
                if (!m_run->port(index).logError.isEmpty())
                    m_logErrors << m_run->port(index).logError;
                say(QStringLiteral("%1#%2 %3\n%4")
                        .arg(m_terminal ? QStringLiteral("\r\x1b[2K") : QString())
                        .arg(m_index)
                        .arg(Commission_Result_Line(record), m_terminal ? QStringLiteral("\a") : QString()));
            });
    connect(m_run.get(), &TCommissioningRunner::allFinished, this, [this] {
        if (m_state != State::Commissioning)
            return;
        m_state = State::Leaving;
        m_answers = 0;
        m_lastIdentity.clear();
        if (m_stopping)
            finish();
        else
            schedule(Scaled_Pause_Ms(kRestartGraceMs));
    });
    m_terminal = ::isatty(STDOUT_FILENO) == 1;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
}

CommissionWatch::~CommissionWatch() = default;

std::vector<TCommissioningRecord> CommissionWatch::run()
{
    QString error;
    if (!m_run->preparePlanFile(&error)) {
        say(error + QLatin1Char('\n'));
        return m_records;
    }
    say(QStringLiteral("waiting for a controller on %1 (Ctrl+C ends)\n").arg(Untrusted_Text(m_port, 1 << 20)));
    schedule(0);
    QCoreApplication::exec();
    return m_records;
}

void CommissionWatch::schedule(int delayMs)
{
    m_timer.start(qMax(0, delayMs));
}

void CommissionWatch::poll()
{
    if (m_stopping) {
        finish();
        return;
    }
    m_sincePoll.start();
    m_probing = true;
    const TProbeResult r = Probe_Controller(*m_comms, m_port);
    m_comms->CloseComm();
    m_probing = false;
    if (m_stopping) {
        finish();
        return;
    }
    const int next = Scaled_Pause_Ms(kPollMs) - int(m_sincePoll.elapsed());
    const QString identity = r.isController() ? QStringLiteral("%1/%2").arg(r.part_no).arg(r.fw_version) : QString();
    if (m_state == State::Leaving) {
        if (!r.isController()) {
            m_state = State::Waiting;
            m_answers = 0;
            say(QStringLiteral("controller removed; waiting for the next one on %1\n")
                    .arg(Untrusted_Text(m_port, 1 << 20)));
        }
        schedule(next);
        return;
    }
    // A cable being plugged in may make contact, lose it and make it again:
    // the controller has to answer in full twice in a row, a second apart.
    m_answers = identity.isEmpty() ? 0 : (identity == m_lastIdentity ? m_answers + 1 : 1);
    m_lastIdentity = identity;
    if (m_answers >= kAnswersBeforeCommissioning)
        commission();
    else
        schedule(next);
}

void CommissionWatch::commission()
{
    m_state = State::Commissioning;
    ++m_index;
    m_run->addPort(m_port, m_index);
    m_run->start(1);
}

void CommissionWatch::stop(int signalNumber)
{
    m_stopping = true;
    if (m_state == State::Commissioning) {
        m_run->stop(signalNumber);
        return;
    }
    if (!m_probing)
        finish();
}

void CommissionWatch::finish()
{
    m_timer.stop();
    QCoreApplication::exit(0);
}
