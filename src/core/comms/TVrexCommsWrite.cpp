// The sending side of TVrexComms. A write never blocks the event loop: when
// the adapter takes no more bytes, the rest waits for room in a nested loop
// that keeps dispatching events, as WaitForResult does.
#include "core/comms/CommsTrace.h"
#include "core/comms/RxChunkQueue.h"
#include "core/comms/SerialPortHandle.h"
#include "core/comms/TRxCondition.h"
#include "core/comms/TVrexComms.h"

#include <QEventLoop>
#include <QPointer>

#include <algorithm>
#include <utility>

bool TVrexComms::SendCommData(const uint8_t* txstr, uint16_t txstrlen, uint16_t tim)
{
    if (m_rxResult == -2)
        return false;
    if (!isOpen()) {
        // A closed port cannot be written; the wait that follows returns at once.
        m_rxResult = -1;
        return false;
    }
    ClearRxBuffer();
    chooseReceiveHandOver();
    hPollEvent = false;
    hPollTimeoutEvent = false;
    CommTimout = tim;
    m_rxResult = -1;
    TimerMult = 0;
    Timer.start();
    if (txstrlen == 0)
        return true;
    return writeBytes(txstr, txstrlen);
}

bool TVrexComms::PutChar(uint8_t b)
{
    if (!isOpen())
        return false;
    ClearFlags();
    chooseReceiveHandOver();
    hPollEvent = false;
    hPollTimeoutEvent = false;
    CommTimout = kNoTimeLimit;
    m_rxResult = -1;
    TimerMult = 0;
    Timer.start();
    return writeBytes(&b, 1);
}

void TVrexComms::chooseReceiveHandOver()
{
    // A reply that ends on the byte that meets its condition (ACK, NAK) is
    // complete the moment that byte is read: waiting for the line to go quiet
    // after it would only add the read interval to every block. A reply that
    // counts bytes after its end (a read's frame) still waits for the quiet
    // line, so that it is seen whole and one longer than asked for is refused
    // rather than cut to the expected length.
    if (m_queue)
        m_queue->setHandOverAtOnce(RxCond && RxCond->endsOnItsLastByte());
}

bool TVrexComms::writeBytes(const uint8_t* data, std::size_t length)
{
    trace("tx", data, length);
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    std::size_t done = 0;
    while (done < length) {
        const std::ptrdiff_t n = m_port->writeSome(data + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            sinceProgress.restart();
            continue;
        }
        if (n == 0) {
            const int left = static_cast<int>(std::max<qint64>(0, kWriteStallMs - sinceProgress.elapsed()));
            const RoomWait w = waitForRoom(left);
            if (w == RoomWait::Room)
                continue;
            if (w == RoomWait::Gone)
                return false; // a handler destroyed the component during the wait
        }
        abandonWrite(done, length);
        return false;
    }
    return true;
}

void TVrexComms::abandonWrite(std::size_t done, std::size_t length)
{
    qCDebug(lcComms).noquote() << QStringLiteral("%1 write failed or stalled after %2 of %3 bytes; the rest is dropped")
                                      .arg(m_openName)
                                      .arg(done)
                                      .arg(length);
    // Bytes left in the driver would reach the controller as the head of
    // whatever is sent next: a frame that cannot go out whole is dropped.
    if (isOpen())
        m_port->purgeOutput();
    // No reply can come to a frame that was not sent: the transaction ends
    // now with 0, as it would once the reply time had run out, also when
    // that time has no limit. A port closed meanwhile keeps its own result.
    if (m_rxResult == -1 && m_eventsExist) {
        Timer.stop();
        m_rxResult = 0;
        setPollTimeoutEvent();
    }
}

TVrexComms::RoomWait TVrexComms::waitForRoom(int stallMs)
{
    auto ended = [this] { return !isOpen() || !m_eventsExist || hCloseEvent || m_rxResult == -2 || hPollTimeoutEvent; };
    if (ended())
        return RoomWait::Ended;
    if (stallMs <= 0)
        return RoomWait::Stalled;
    QPointer<TVrexComms> self(this);
    QEventLoop loop;
    QTimer stall;
    stall.setSingleShot(true);
    bool room = false;
    bool stalled = false;
    const std::unique_ptr<QObject> watch = m_port->watchForRoom([&] {
        room = true;
        loop.quit();
    });
    connect(&stall, &QTimer::timeout, &loop, [&] {
        stalled = true;
        loop.quit();
    });
    stall.start(stallMs);
    m_waitLoops.push_back(&loop);
    loop.exec();
    if (!self)
        return RoomWait::Gone;
    m_waitLoops.erase(std::find(m_waitLoops.begin(), m_waitLoops.end(), &loop));
    if (room)
        return RoomWait::Room;
    if (stalled)
        return RoomWait::Stalled;
    if (ended())
        return RoomWait::Ended;
    // A reply condition met while bytes were still going out does not cut the
    // frame short: try again (the stall clock keeps running).
    return hPollEvent ? RoomWait::Room : RoomWait::Quit;
}
