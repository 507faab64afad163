#include "CommissionWatch.h"

#include "CommissionRun.h"

#include "core/comms/TVrexComms.h"
#include "core/device/CommsSetup.h"
#include "core/device/DevicePauseScale.h"
#include "core/device/ControllerProbe.h"

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

CommissionWatch::CommissionWatch(const TCommissionJob& base)
    : m_base(base)
    , m_comms(Initialise_Comms_Vars(nullptr))
{
    m_base.watchSession = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    m_terminal = ::isatty(STDOUT_FILENO) == 1;
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
}

CommissionWatch::~CommissionWatch() = default;

std::vector<TCommissioningRecord> CommissionWatch::run()
{
    say(QStringLiteral("waiting for a controller on %1 (Ctrl+C ends)\n").arg(m_base.port));
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
    const TProbeResult r = Probe_Controller(*m_comms, m_base.port);
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
            say(QStringLiteral("controller removed; waiting for the next one on %1\n").arg(m_base.port));
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
    TCommissionJob job = m_base;
    job.watchIndex = ++m_index;
    m_run = std::make_unique<CommissionRun>();
    if (m_terminal) {
        m_run->onChanged = [this](const CommissionRun::Port& p) {
            say(QStringLiteral("\r\x1b[2K  #%1 %2  %3  %4")
                    .arg(m_index)
                    .arg(p.job.port, p.identity.isEmpty() ? QStringLiteral("-") : p.identity, p.state));
        };
    }
    m_run->onDone = [this](const CommissionRun::Port& p) {
        m_records.push_back(p.record);
        if (!p.logError.isEmpty())
            m_logErrors << p.logError;
        say(QStringLiteral("%1#%2 %3\n%4")
                .arg(m_terminal ? QStringLiteral("\r\x1b[2K") : QString())
                .arg(m_index)
                .arg(Commission_Result_Line(p.record), m_terminal ? QStringLiteral("\a") : QString()));
    };
    m_run->onFinished = [this] {
        m_state = State::Leaving;
        m_answers = 0;
        m_lastIdentity.clear();
        // Deleting the run from inside its own call back is not safe.
        QTimer::singleShot(0, this, [this] { m_run.reset(); });
        if (m_stopping)
            finish();
        else
            schedule(Scaled_Pause_Ms(kRestartGraceMs));
    };
    m_run->start({job}, 1);
}

void CommissionWatch::stop()
{
    m_stopping = true;
    if (m_state == State::Commissioning && m_run) {
        m_run->interrupt();
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
