#pragma once
// The open serial port as the component sees it, whatever reaches the device
// underneath (see SerialBackend.h for the choice). Writes come from the
// user-interface thread; received bytes come from a receive thread that the
// handle runs and that hands them on as chunks.
//
// Every backend keeps the same promises: the open is exclusive and says why
// it failed; a name that is not a serial device throws; the line settings,
// RTS and purges are requested and their results not examined; writes never
// block; the receive thread follows the read-interval rule, stops when asked
// and reports a port that went away.

#include "core/comms/PortOpenFailure.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class RxChunkQueue;

class SerialPortHandle {
public:
    // The most a receive chunk holds.
    static constexpr int kReadSize = 16384;

    SerialPortHandle() = default;
    virtual ~SerialPortHandle() = default;
    SerialPortHandle(const SerialPortHandle&) = delete;
    SerialPortHandle& operator=(const SerialPortHandle&) = delete;

    // Opens the device for reading and writing, exclusively. False with
    // lastFailure() and lastError() set when it cannot be opened. Throws
    // ECommsError when the name opens something that is not a serial device.
    virtual bool open(const QString& name) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    TPortOpenFailure lastFailure() const { return m_failure; }
    QString lastError() const { return m_error; }

    // Raw mode, receiver on, parity checking, DTR raised; parity and stop
    // bits are the component's ordinals.
    virtual void applyLineSettings(uint32_t baudRate, uint8_t dataBits, int stopBits, int parity) = 0;
    // Asks the driver to hand over received bytes at once (FTDI adapters
    // otherwise hold them up to 16 ms). Refusal, as on a pseudo-terminal, is fine.
    virtual bool requestLowLatency() = 0;
    // Discard pending input and/or output in the driver.
    virtual void purge() = 0;
    virtual void purgeInput() = 0;
    virtual void purgeOutput() = 0;
    // Writes what the port takes now, without waiting: the count taken (0
    // when it takes no more for the moment), or -1 when the port has failed.
    virtual std::ptrdiff_t writeSome(const uint8_t* data, std::size_t length) = 0;
    // 0 on success, otherwise the error code of the backend.
    virtual int setRts(bool on) = 0;

    // Calls onRoom on the calling thread's event loop whenever writeSome may
    // take more bytes again, for as long as the returned object lives. It
    // stays harmless after close().
    virtual std::unique_ptr<QObject> watchForRoom(std::function<void()> onRoom) = 0;

    // Starts the receive thread: chunks of at most kReadSize bytes, each
    // ended by a full buffer or by a quiet line for longer than the read
    // interval after a received byte (0xFFFFFFFF: what has arrived, without
    // waiting). A port that goes away is reported to the queue.
    virtual bool startReceiving(uint32_t readIntervalMs, std::shared_ptr<RxChunkQueue> queue) = 0;
    // Asks the receive thread to end and returns once it has; the input still
    // pending in the driver is discarded.
    virtual void stopReceiving() = 0;

protected:
    TPortOpenFailure m_failure = TPortOpenFailure::None;
    QString m_error;
};
