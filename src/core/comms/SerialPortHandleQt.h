#pragma once
// The serial port through Qt's serial port, which every platform Qt supports.
// The port lives on a thread of its own, the receive thread: it runs an event
// loop, gathers received bytes into chunks and writes what the
// user-interface thread hands over without ever making that thread wait.

#include "core/comms/QtSerialOutbox.h"
#include "core/comms/SerialPortHandle.h"

#include <QThread>

class QtSerialPortWorker;

// Tells watchers on the user-interface thread that the outbox has room.
class QtSerialRoomNotice : public QObject {
    Q_OBJECT
signals:
    void room();
};

class QtSerialPortHandle final : public SerialPortHandle {
public:
    QtSerialPortHandle();
    ~QtSerialPortHandle() override;

    bool open(const QString& name) override;
    void close() override;
    bool isOpen() const override { return m_open; }

    void applyLineSettings(uint32_t baudRate, uint8_t dataBits, int stopBits, int parity) override;
    bool requestLowLatency() override;
    void purge() override;
    void purgeInput() override;
    void purgeOutput() override;
    std::ptrdiff_t writeSome(const uint8_t* data, std::size_t length) override;
    int setRts(bool on) override;
    std::unique_ptr<QObject> watchForRoom(std::function<void()> onRoom) override;
    bool startReceiving(uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue) override;
    void stopReceiving() override;

private:
    // Runs f on the receive thread and returns once it has run.
    template <typename F> void onPortThread(F&& f);

    QThread m_thread;
    QtSerialOutbox m_outbox;
    QtSerialRoomNotice m_notice;
    QtSerialPortWorker* m_worker = nullptr;
    qintptr m_native = -1;
    bool m_open = false;
};
