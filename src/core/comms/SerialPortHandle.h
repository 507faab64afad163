#pragma once
// The open serial port as the operating system sees it (POSIX terminal
// device). Writes come from the user-interface thread and reads from the
// receive thread; the descriptor itself is safe to share that way.

#include "core/comms/PortOpenFailure.h"

#include <QString>

#include <cstddef>
#include <cstdint>

class SerialPortHandle {
public:
    SerialPortHandle() = default;
    ~SerialPortHandle() { close(); }
    SerialPortHandle(const SerialPortHandle&) = delete;
    SerialPortHandle& operator=(const SerialPortHandle&) = delete;

    // Opens the device for reading and writing, exclusively (an advisory lock
    // that also holds against root, plus the terminal's exclusive mode).
    // Throws ECommsError when the name opens something that is not a terminal.
    bool open(const QString& name);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    TPortOpenFailure lastFailure() const { return m_failure; }
    QString lastError() const { return m_error; }

    // Raw mode, receiver on, parity checking, DTR raised. Results are not
    // examined: a driver that refuses a setting still leaves a usable port.
    void applyLineSettings(uint32_t baudRate, uint8_t dataBits, int stopBits, int parity);
    // Asks the driver to hand over received bytes at once (FTDI adapters
    // otherwise hold them up to 16 ms). Refusal, as on a pseudo-terminal, is fine.
    bool requestLowLatency();
    // Discards pending input and output in the driver.
    void purge();
    void purgeInput();
    void purgeOutput();
    // Writes what the driver takes now, without waiting: the count written
    // (0 when its buffer is full), or -1 when the port has failed.
    std::ptrdiff_t writeSome(const uint8_t* data, std::size_t length);
    // Returns 0 on success, otherwise the system error code.
    int setRts(bool on);

    // Opens and closes the named port to see whether it exists and is free.
    static bool probe(const QString& name);

private:
    int m_fd = -1;
    TPortOpenFailure m_failure = TPortOpenFailure::None;
    QString m_error;
};
