#include "core/comms/QtSerialPortWorker.h"

#include "core/comms/CommsTrace.h"
#include "core/comms/QtSerialOutbox.h"
#include "core/comms/RxChunkQueue.h"
#include "core/comms/SerialPlatform.h"
#include "core/comms/SerialPortHandle.h"

#include <algorithm>
#include <limits>

QtSerialPortWorker::QtSerialPortWorker(QtSerialOutbox& outbox, std::function<void()> onRoom)
    : m_outbox(outbox)
    , m_onRoom(std::move(onRoom))
    , m_port(this)
    , m_gap(this)
{
    m_gap.setSingleShot(true);
    m_gap.setTimerType(Qt::PreciseTimer);
    connect(&m_gap, &QTimer::timeout, this, &QtSerialPortWorker::post);
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPortWorker::readArrived);
    connect(&m_port, &QSerialPort::bytesWritten, this, &QtSerialPortWorker::bytesWritten);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPortWorker::failed);
}

QtSerialPortWorker::OpenResult QtSerialPortWorker::openPort(const QString& name)
{
    OpenResult r;
    m_lost = false;
    m_outbox.reset();
    m_port.setPortName(name);
    if (!m_port.open(QIODevice::ReadWrite)) {
        r.error = m_port.error();
        r.text = m_port.errorString();
        m_port.clearError();
        return r;
    }
    r.handle = m_port.handle();
    // Qt's own lock file keeps other Qt programs out; the advisory lock keeps
    // out programs that use the POSIX backend.
    if (!lockPortHandle(r.handle)) {
        m_port.close();
        r.lockedElsewhere = true;
        r.handle = -1;
        return r;
    }
    r.ok = true;
    return r;
}

void QtSerialPortWorker::closePort()
{
    stopReceiving();
    m_port.close();
    m_port.clearError();
    m_outbox.reset();
}

void QtSerialPortWorker::applyLineSettings(uint32_t baudRate, uint8_t dataBits, int stopBits, int parity)
{
    if (!m_port.isOpen())
        return;
    m_port.setBaudRate(static_cast<qint32>(std::min<uint32_t>(baudRate, std::numeric_limits<qint32>::max())));
    m_port.setDataBits(dataBits >= 5 && dataBits <= 8 ? static_cast<QSerialPort::DataBits>(dataBits)
                                                      : QSerialPort::Data8);
    static constexpr QSerialPort::Parity kParity[]
        = {QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity, QSerialPort::MarkParity,
           QSerialPort::SpaceParity};
    m_port.setParity(parity >= 0 && parity <= 4 ? kParity[parity] : QSerialPort::NoParity);
    if (stopBits == 0) {
        m_port.setStopBits(QSerialPort::OneStop);
    } else if (stopBits == 2 || !m_port.setStopBits(QSerialPort::OneAndHalfStop)) {
        m_port.setStopBits(QSerialPort::TwoStop); // where one and a half is not offered, as on POSIX
    }
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setDataTerminalReady(true);
    // A setting the driver refuses still leaves a usable port.
    m_port.clearError();
}

void QtSerialPortWorker::clear(QSerialPort::Directions directions)
{
    if (directions & QSerialPort::Output)
        m_outbox.clear();
    if (!m_port.isOpen())
        return;
    m_port.clear(directions);
    if (directions & QSerialPort::Input)
        m_pending.clear();
    if (m_onRoom && (directions & QSerialPort::Output))
        m_onRoom();
}

int QtSerialPortWorker::setRts(bool on)
{
    if (!m_port.isOpen())
        return static_cast<int>(QSerialPort::NotOpenError);
    if (m_port.setRequestToSend(on))
        return 0;
    const int code = static_cast<int>(m_port.error());
    m_port.clearError();
    return code;
}

void QtSerialPortWorker::startReceiving(uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue)
{
    m_interval = readIntervalMs;
    m_queue = std::move(queue);
    m_pending.clear();
    if (m_lost)
        m_queue->postLost();
    else
        readArrived(); // what came between opening and now
}

void QtSerialPortWorker::stopReceiving()
{
    m_gap.stop();
    m_pending.clear();
    m_queue.reset();
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

void QtSerialPortWorker::sendWaiting()
{
    const QByteArray bytes = m_outbox.takeForPort();
    if (bytes.isEmpty() || !m_port.isOpen())
        return;
    if (m_port.write(bytes) != bytes.size()) {
        failed(QSerialPort::WriteError);
        return;
    }
    // Straight to the device where it takes them, rather than on the next
    // round of this thread's event loop.
    m_port.flush();
}

void QtSerialPortWorker::readArrived()
{
    if (!m_queue || !m_port.isOpen())
        return; // kept by the port until receiving starts
    constexpr int kReadSize = SerialPortHandle::kReadSize;
    while (m_port.bytesAvailable() > 0) {
        m_pending += m_port.read(kReadSize - m_pending.size());
        if (m_pending.size() >= kReadSize)
            post();
    }
    if (m_pending.isEmpty())
        return;
    // 0xFFFFFFFF hands over what has arrived without waiting for more; any
    // other interval waits that long for the line to stay quiet, unless the
    // component knows the reply's end from its bytes.
    if (m_interval == 0xFFFFFFFFu || m_queue->handOverAtOnce())
        post();
    else
        m_gap.start(static_cast<int>(std::min<uint32_t>(m_interval, std::numeric_limits<int>::max())));
}

void QtSerialPortWorker::post()
{
    m_gap.stop();
    if (m_pending.isEmpty() || !m_queue)
        return;
    if (!m_queue->post(std::exchange(m_pending, QByteArray())))
        stopReceiving();
}

void QtSerialPortWorker::bytesWritten(qint64 count)
{
    m_outbox.written(count);
    if (m_onRoom)
        m_onRoom();
}

void QtSerialPortWorker::failed(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError && error != QSerialPort::WriteError)
        return;
    if (m_lost || !m_port.isOpen())
        return;
    // The device is gone (unplugged) or failing: close it here, so its
    // notifiers stop firing, and tell both directions.
    qCDebug(lcComms).noquote() << QStringLiteral("%1: error %2 (%3)")
                                      .arg(m_port.portName())
                                      .arg(static_cast<int>(error))
                                      .arg(m_port.errorString());
    m_lost = true;
    m_gap.stop();
    if (m_queue && !m_pending.isEmpty())
        m_queue->post(std::exchange(m_pending, QByteArray()));
    m_outbox.fail();
    m_port.close();
    m_port.clearError();
    if (m_queue)
        m_queue->postLost();
    if (m_onRoom)
        m_onRoom();
}
