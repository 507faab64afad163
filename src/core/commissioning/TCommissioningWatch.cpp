#include "core/commissioning/TCommissioningWatch.h"

#include "core/comms/TVrexComms.h"
#include "core/device/ControllerProbe.h"
#include "core/device/DevicePauseScale.h"
#include "core/protocol/CommsSetup.h"

#include <QDateTime>

TCommissioningWatch::TCommissioningWatch(const QString& port, const TCommissioningPlan& plan,
                                         const TCommissioningOptions& options, QObject* parent)
    : QObject(parent)
    , m_port(port)
    , m_comms(Initialise_Comms_Vars(nullptr))
{
    TCommissioningOptions watchOptions = options;
    watchOptions.watchSession = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
    m_run = std::make_unique<TCommissioningRunner>(plan, watchOptions);
    connect(m_run.get(), &TCommissioningRunner::portChanged, this, &TCommissioningWatch::portChanged);
    connect(m_run.get(), &TCommissioningRunner::portFinished, this,
            [this](int index, const TCommissioningRecord& record) {
                m_records.push_back(record);
                if (!m_run->port(index).logError.isEmpty())
                    m_logErrors << m_run->port(index).logError;
                emit controllerFinished(record);
            });
    connect(m_run.get(), &TCommissioningRunner::allFinished, this, [this] {
        if (m_state != State::Commissioning)
            return;
        m_answers = 0;
        m_lastIdentity.clear();
        if (m_stopping) {
            finish();
            return;
        }
        setState(State::Leaving);
        schedule(scaledPauseMs(kRestartGraceMs));
    });
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
}

TCommissioningWatch::~TCommissioningWatch() = default;

bool TCommissioningWatch::start(QString* error)
{
    if (!m_run->preparePlanFile(error))
        return false;
    schedule(0);
    return true;
}

void TCommissioningWatch::setState(State state)
{
    m_state = state;
    emit stateChanged();
}

void TCommissioningWatch::schedule(int delayMs)
{
    m_timer.start(qMax(0, delayMs));
}

void TCommissioningWatch::poll()
{
    if (m_stopping) {
        finish();
        return;
    }
    m_sincePoll.start();
    m_probing = true;
    const TProbeResult r = probeController(*m_comms, m_port);
    m_comms->CloseComm();
    m_probing = false;
    if (m_stopping) {
        finish();
        return;
    }
    const int next = scaledPauseMs(kPollMs) - int(m_sincePoll.elapsed());
    const QString identity = r.isController() ? QStringLiteral("%1/%2").arg(r.partNo).arg(r.fwVersion) : QString();
    if (m_state == State::Leaving) {
        if (!r.isController()) {
            m_answers = 0;
            setState(State::Waiting);
            emit controllerRemoved();
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

void TCommissioningWatch::commission()
{
    ++m_index;
    // The port is in the run before anyone hears the watch is commissioning.
    m_run->addPort(m_port, m_index);
    setState(State::Commissioning);
    m_run->start(1);
}

void TCommissioningWatch::stop(int signalNumber)
{
    if (m_state == State::Stopped)
        return;
    m_stopping = true;
    if (m_state == State::Commissioning) {
        m_run->stop(signalNumber);
        return;
    }
    // A probe under way ends first; its poll then finishes the watch.
    if (!m_probing)
        finish();
}

void TCommissioningWatch::finish()
{
    m_timer.stop();
    setState(State::Stopped);
    emit stopped();
}
