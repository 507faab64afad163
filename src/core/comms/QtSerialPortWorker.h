#pragma once
// Qt's serial port on the receive thread: every call on the port happens
// here, the handle reaches it through blocking calls from the user-interface
// thread. Received bytes are gathered by the read-interval rule and handed to
// the chunk queue; outgoing bytes come through the outbox.

#include "core/comms/PortOpenFailure.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>

class QtSerialOutbox;
class RxChunkQueue;

class QtSerialPortWorker : public QObject {
    Q_OBJECT
public:
    struct OpenResult {
        bool ok = false;
        QSerialPort::SerialPortError error = QSerialPort::NoError;
        QString text;
        qintptr handle = -1;
        bool lockedElsewhere = false;
    };

    // onRoom runs on the receive thread whenever the outbox may take more.
    QtSerialPortWorker(QtSerialOutbox& outbox, std::function<void()> onRoom);

    OpenResult openPort(const QString& name);
    void closePort();
    void applyLineSettings(uint32_t baudRate, uint8_t dataBits, int stopBits, int parity);
    void clear(QSerialPort::Directions directions);
    int setRts(bool on);
    void startReceiving(uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue);
    void stopReceiving();
    // Passes what waits in the outbox to the port.
    void sendWaiting();

private:
    void readArrived();
    void post();
    void bytesWritten(qint64 count);
    void failed(QSerialPort::SerialPortError error);

    QtSerialOutbox& m_outbox;
    std::function<void()> m_onRoom;
    QSerialPort m_port;
    QTimer m_gap;
    QByteArray m_pending;
    uint32_t m_interval = 0;
    std::shared_ptr<RxChunkQueue> m_queue;
    bool m_lost = false;
};
