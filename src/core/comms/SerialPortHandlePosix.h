#pragma once
// The serial port through the POSIX terminal interface (Linux and other Unix
// systems): non-blocking descriptor, an advisory lock plus the terminal's
// exclusive mode, and a receive thread that polls the descriptor and a close
// pipe.

#include "core/comms/SerialPortHandle.h"

#include <QPointer>
#include <QSocketNotifier>

#include <vector>

class TRxThread;

class PosixSerialPortHandle final : public SerialPortHandle {
public:
    PosixSerialPortHandle() = default;
    ~PosixSerialPortHandle() override;

    bool open(const QString& name) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    int fd() const { return m_fd; }

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
    int m_fd = -1;
    int m_closePipe[2] = {-1, -1};
    TRxThread* m_thread = nullptr;
    // Notifiers handed out by watchForRoom: disabled before the descriptor closes.
    std::vector<QPointer<QSocketNotifier>> m_roomWatches;
};
