#include "core/comms/SerialPortHandleQt.h"

#include "core/comms/ECommsError.h"
#include "core/comms/QtSerialPortWorker.h"
#include "core/comms/SerialPlatform.h"

#include <QMetaObject>
#include <QPointer>

QtSerialPortHandle::QtSerialPortHandle()
{
    m_thread.setObjectName(QStringLiteral("serial receive"));
    m_worker = new QtSerialPortWorker(m_outbox, [notice = QPointer<QtSerialRoomNotice>(&m_notice)] {
        QMetaObject::invokeMethod(
            notice.data(),
            [notice] {
                if (notice)
                    emit notice->room();
            },
            Qt::QueuedConnection);
    });
    m_worker->moveToThread(&m_thread);
}

QtSerialPortHandle::~QtSerialPortHandle()
{
    close();
    // The thread has ended, so the worker can go from here.
    delete m_worker;
}

template <typename F> void QtSerialPortHandle::onPortThread(F&& f)
{
    QMetaObject::invokeMethod(m_worker, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

bool QtSerialPortHandle::open(const QString& name)
{
    close();
    m_failure = TPortOpenFailure::None;
    m_error.clear();
    m_thread.start(QThread::HighestPriority);
    QtSerialPortWorker::OpenResult r;
    onPortThread([&] { r = m_worker->openPort(name); });
    if (r.ok) {
        m_native = r.handle;
        m_open = true;
        return true;
    }
    m_thread.quit();
    m_thread.wait();
    if (r.lockedElsewhere) {
        m_failure = TPortOpenFailure::Busy;
        return false;
    }
    m_error = r.text;
    switch (r.error) {
    case QSerialPort::DeviceNotFoundError: m_failure = TPortOpenFailure::Missing; return false;
    case QSerialPort::PermissionError: m_failure = refusedOpenReason(name); return false;
    case QSerialPort::OpenError: m_failure = TPortOpenFailure::Busy; return false;
    default: break;
    }
    if (namesNonSerialDevice(name).value_or(false)) {
        m_failure = TPortOpenFailure::NotSerial;
        throw ECommsError(QStringLiteral("File Handle is not a Comm Handle."));
    }
    m_failure = TPortOpenFailure::Other;
    return false;
}

void QtSerialPortHandle::close()
{
    if (!m_open)
        return;
    onPortThread([this] { m_worker->closePort(); });
    m_thread.quit();
    m_thread.wait();
    m_native = -1;
    m_open = false;
}

void QtSerialPortHandle::applyLineSettings(uint32_t baudRate, uint8_t dataBits, int stopBits, int parity)
{
    if (m_open)
        onPortThread([=, this] { m_worker->applyLineSettings(baudRate, dataBits, stopBits, parity); });
}

bool QtSerialPortHandle::requestLowLatency()
{
    return m_open && m_native >= 0 && requestLowLatencyFor(m_native);
}

void QtSerialPortHandle::purge()
{
    if (m_open)
        onPortThread([this] { m_worker->clear(QSerialPort::AllDirections); });
}

void QtSerialPortHandle::purgeInput()
{
    if (m_open)
        onPortThread([this] { m_worker->clear(QSerialPort::Input); });
}

void QtSerialPortHandle::purgeOutput()
{
    if (m_open)
        onPortThread([this] { m_worker->clear(QSerialPort::Output); });
}

std::ptrdiff_t QtSerialPortHandle::writeSome(const uint8_t* data, std::size_t length)
{
    if (!m_open)
        return -1;
    bool wake = false;
    const std::ptrdiff_t n = m_outbox.put(data, length, &wake);
    if (wake)
        QMetaObject::invokeMethod(
            m_worker, [worker = m_worker] { worker->sendWaiting(); }, Qt::QueuedConnection);
    return n;
}

int QtSerialPortHandle::setRts(bool on)
{
    int code = static_cast<int>(QSerialPort::NotOpenError);
    if (m_open)
        onPortThread([&] { code = m_worker->setRts(on); });
    return code;
}

std::unique_ptr<QObject> QtSerialPortHandle::watchForRoom(std::function<void()> onRoom)
{
    auto watch = std::make_unique<QObject>();
    QObject::connect(&m_notice, &QtSerialRoomNotice::room, watch.get(), onRoom);
    // Room that came before the watch was set up would otherwise go unnoticed.
    if (m_outbox.hasRoom())
        QMetaObject::invokeMethod(watch.get(), onRoom, Qt::QueuedConnection);
    return watch;
}

bool QtSerialPortHandle::startReceiving(uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue)
{
    if (!m_open)
        return false;
    onPortThread([&] { m_worker->startReceiving(readIntervalMs, queue); });
    return true;
}

void QtSerialPortHandle::stopReceiving()
{
    if (m_open)
        onPortThread([this] { m_worker->stopReceiving(); });
}
