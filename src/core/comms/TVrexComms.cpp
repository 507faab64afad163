#include "core/comms/TVrexComms.h"

#include "core/comms/CommsTrace.h"
#include "core/comms/ECommsError.h"
#include "core/comms/PortRules.h"
#include "core/comms/RxChunkQueue.h"
#include "core/comms/SerialBackend.h"
#include "core/comms/SerialPortHandle.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QtDebug>

#include <algorithm>

TVrexComms::TVrexComms(QObject* owner) : QObject(owner)
{
    Timer.setInterval(m_tickMs);
    Timer.setSingleShot(false);
    connect(&Timer, &QTimer::timeout, this, &TVrexComms::TimerTick);
}

TVrexComms::~TVrexComms()
{
    if (isOpen())
        CloseComm();
    Timer.stop();
    RxCond = nullptr;
    wakeWaiters();
}

bool TVrexComms::isOpen() const
{
    return m_port && m_port->isOpen();
}

QString TVrexComms::portNameToOpen() const
{
    return portName.isEmpty() ? platformPortName(CommPort) : portName;
}

bool TVrexComms::OpenComm()
{
    if (isOpen())
        throw ECommsError(QStringLiteral("Already have a Comm File Open"));
    const QString name = portNameToOpen();
    m_openFailure = TPortOpenFailure::None;
    m_openError.clear();
    m_lost = false;
    // The backend is chosen at each open, so a port handle never outlives
    // the choice it was made under.
    QString backendError;
    m_port = makeSerialPortHandle(&backendError);
    if (!m_port) {
        m_openFailure = TPortOpenFailure::Other;
        m_openError = backendError;
        return false;
    }
    try {
        if (!m_port->open(name)) {
            m_openFailure = m_port->lastFailure();
            m_openError = m_port->lastError();
            return false;
        }
    } catch (const ECommsError&) {
        m_openFailure = TPortOpenFailure::NotSerial;
        throw;
    }
    m_openName = name;
    m_openedAt.start();
    qCDebug(lcComms).noquote() << QStringLiteral("%1 opened at %2 bit/s").arg(name).arg(BaudRate);
    m_port->purge();
    m_readInterval = defaultReadIntervalMs(BaudRate, InterCharTimeOut);
    m_port->applyLineSettings(BaudRate, DataBits, static_cast<int>(StopBits), static_cast<int>(Parity));
    m_lowLatency = m_port->requestLowLatency();

    m_rxBuffHead = m_rxBuffTail = 0;
    RxBuffer.assign(std::max<uint16_t>(RxBufferSize, 1), 0);
    m_rxResult = -1;

    m_eventsExist = true;
    hPollEvent = hPollTimeoutEvent = hCloseEvent = false;

    m_queue = std::make_shared<RxChunkQueue>(
        this, [this] { commWndProcRxData(); }, [this] { portLost(); });
    if (!m_port->startReceiving(m_readInterval, m_queue)) {
        m_queue.reset();
        releaseEvents();
        m_port->close();
        m_openFailure = TPortOpenFailure::Other;
        m_openError = QStringLiteral("Unable To Create Rx Thread");
        return false;
    }
    return true;
}

void TVrexComms::StopRxThread()
{
    hCloseEvent = true;
    // The receive thread is asked to end and never killed: a thread stopped
    // mid-way could leave the chunk queue's lock held for ever.
    m_port->stopReceiving();
}

void TVrexComms::releaseEvents()
{
    m_eventsExist = false;
    hPollEvent = hPollTimeoutEvent = hCloseEvent = false;
}

void TVrexComms::CloseComm()
{
    Timer.stop();
    m_rxResult = -2;
    setPollEvent();
    CommTimout = 0;
    if (!isOpen())
        return;
    DetachCond();
    m_port->purge();
    StopRxThread();
    if (m_queue)
        m_queue->clear();
    m_queue.reset();
    releaseEvents();
    m_port->close();
    RxBuffer.clear();
    m_rxBuffHead = m_rxBuffTail = 0;
    m_rxResult = -1;
    qCDebug(lcComms).noquote() << QStringLiteral("%1 closed").arg(m_openName);
    wakeWaiters();
}

void TVrexComms::UpdateDCB()
{
    if (isOpen())
        m_port->applyLineSettings(BaudRate, DataBits, static_cast<int>(StopBits), static_cast<int>(Parity));
}

void TVrexComms::setPollEvent()
{
    if (!m_eventsExist)
        return;
    hPollEvent = true;
    wakeWaiters();
}

void TVrexComms::setPollTimeoutEvent()
{
    if (!m_eventsExist)
        return;
    hPollTimeoutEvent = true;
    wakeWaiters();
}

void TVrexComms::wakeWaiters()
{
    for (QEventLoop* loop : m_waitLoops)
        loop->quit();
}

void TVrexComms::TimerTick()
{
    if (!Timer.isActive() || m_rxResult != -1) {
        Timer.stop();
        return;
    }
    if (TimerMult >= 1) {
        if (CommTimout > 0 && CommTimout < kNoTimeLimit)
            --CommTimout;
        TimerMult = 0;
    }
    if (CommTimout == 0 && m_rxResult == -1) {
        Timer.stop();
        setPollTimeoutEvent();
        if (OnTimeOut)
            OnTimeOut();
    }
    ++TimerMult;
}

int TVrexComms::WaitForResult()
{
    QPointer<TVrexComms> self(this);
    for (;;) {
        if (!m_eventsExist)
            return m_rxResult; // closed, or closed by a handler during the wait
        if (hPollEvent)
            return m_rxResult;
        if (hPollTimeoutEvent) {
            m_rxResult = 0;
            return 0;
        }
        if (hCloseEvent)
            return m_rxResult;
        QEventLoop loop;
        m_waitLoops.push_back(&loop);
        loop.exec();
        if (!self)
            return -2; // the component was destroyed by a handler during the wait
        m_waitLoops.erase(std::find(m_waitLoops.begin(), m_waitLoops.end(), &loop));
        if (m_eventsExist && !hPollEvent && !hPollTimeoutEvent && !hCloseEvent) {
            // Nothing of ours ended the loop: the application is quitting.
            // QCoreApplication::exit() has already told the outer loops.
            m_rxResult = 0;
            return 0;
        }
    }
}

int TVrexComms::WaitForResult_T()
{
    if (!m_eventsExist)
        return m_rxResult;
    // No events are dispatched here, but received chunks are taken straight
    // from the receive thread, so a reply can still end the wait early.
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(m_tickMs) * CommTimout;
    for (;;) {
        QByteArray chunk;
        while (m_queue && m_queue->take(chunk))
            deliverChunk(chunk);
        if (hPollEvent || hCloseEvent)
            return m_rxResult;
        const auto now = steady_clock::now();
        if (now >= deadline || !m_queue || m_queue->isLost()) {
            m_rxResult = 0;
            return 0;
        }
        m_queue->waitForChunk(duration_cast<milliseconds>(deadline - now) + milliseconds(1));
    }
}

bool TVrexComms::GetNextChar(uint8_t& ch)
{
    if (m_rxBuffHead == m_rxBuffTail || RxBuffer.empty())
        return false;
    ch = RxBuffer[m_rxBuffHead];
    m_rxBuffHead = static_cast<uint16_t>((m_rxBuffHead + 1) % RxBuffer.size());
    return true;
}

void TVrexComms::ClearRxBuffer()
{
    m_rxBuffHead = m_rxBuffTail = 0;
}

void TVrexComms::Set_RTS()
{
    if (!isOpen())
        return;
    if (const int err = m_port->setRts(true)) {
        const QString text = QStringLiteral("Set-RTS error %1").arg(static_cast<unsigned>(err));
        reportPortError(text);
    }
}

void TVrexComms::Clear_RTS()
{
    if (!isOpen())
        return;
    if (const int err = m_port->setRts(false)) {
        const QString text = QStringLiteral("Clr-RTS error %1").arg(static_cast<unsigned>(err));
        reportPortError(text);
    }
}

void TVrexComms::reportPortError(const QString& text)
{
    if (onPortError)
        onPortError(text);
    else
        qWarning().noquote() << text;
}

bool TVrexComms::CheckPort(const QString& name)
{
    const std::unique_ptr<SerialPortHandle> port = makeSerialPortHandle();
    if (!port || !port->open(name))
        return false;
    port->close();
    return true;
}

bool TVrexComms::CheckPort(int p)
{
    return CheckPort(platformPortName(p));
}

void TVrexComms::commWndProcRxData()
{
    QByteArray chunk;
    // One wake-up per chunk is posted, but one call may find several waiting.
    if (m_queue && m_queue->take(chunk))
        deliverChunk(chunk);
}

void TVrexComms::portLost()
{
    if (m_lost || !isOpen())
        return;
    m_lost = true;
    qCWarning(lcComms).noquote() << QStringLiteral("%1: the port has gone away (adapter unplugged?)").arg(m_openName);
    // Take what arrived before the port went, then end the transaction: no
    // reply can come any more, also when the reply time has no limit.
    QByteArray chunk;
    while (m_queue && m_queue->take(chunk))
        deliverChunk(chunk);
    if (m_rxResult == -1 && m_eventsExist) {
        Timer.stop();
        m_rxResult = 0;
        setPollTimeoutEvent();
    }
}

void TVrexComms::deliverChunk(const QByteArray& chunk)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(chunk.constData());
    trace("rx", bytes, static_cast<std::size_t>(chunk.size()));
    if (OnReceiveData)
        OnReceiveData(bytes, static_cast<uint16_t>(chunk.size() & 0xFFFF));
    HandleRxChr(bytes, static_cast<int>(chunk.size()));
}

void TVrexComms::HandleRxChr(const uint8_t* bytes, int n)
{
    if (RxBuffer.empty())
        return;
    const auto size = static_cast<uint16_t>(RxBuffer.size());
    for (int i = 0; i < n; ++i) {
        const uint8_t ch = bytes[i];
        RxBuffer[m_rxBuffTail] = ch;
        m_rxBuffTail = static_cast<uint16_t>((m_rxBuffTail + 1) % size);
        if (m_rxBuffTail == m_rxBuffHead) // full: keep the first size - 1 bytes
            m_rxBuffTail = static_cast<uint16_t>(m_rxBuffTail == 0 ? size - 1 : m_rxBuffTail - 1);
        if (StartEnd_Cond == -1)
            CheckCondFlags(ch);
        else
            UpdateRxCharCounts();
        if (OnReceiveMsg) {
            const int c = GetCondition();
            if (c != -1) {
                Timer.stop();
                OnReceiveMsg(c);
                if (RxBuffer.empty())
                    return; // the handler closed the port
                ClearFlags();
                ClearRxBuffer();
            }
        }
    }
    if (m_rxResult == -1) {
        const int c = GetCondition();
        if (c != -1) {
            m_rxResult = c;
            Timer.stop();
            setPollEvent();
        }
    }
}

void TVrexComms::trace(const char* direction, const uint8_t* bytes, std::size_t length) const
{
    if (lcComms().isDebugEnabled()) {
        const double ms = static_cast<double>(m_openedAt.nsecsElapsed()) / 1e6;
        qCDebug(lcComms).noquote() << commsTraceLine(ms, m_openName, direction, bytes, length);
    }
}
