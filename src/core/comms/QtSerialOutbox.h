#pragma once
// Bytes on their way from the user-interface thread to Qt's serial port,
// which lives on the receive thread. The window bounds what a writer may
// hand over before the port has passed it on, so a slow or stalled line
// holds the writer back as a full driver buffer would.

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <mutex>

class QtSerialOutbox {
public:
    static constexpr qint64 kWindow = 4096;

    // User-interface thread: takes what fits in the window. Returns the count
    // taken, -1 once the port has failed; *wake is true when the receive
    // thread has to be told.
    std::ptrdiff_t put(const uint8_t* data, std::size_t length, bool* wake);
    bool hasRoom() const;

    // Receive thread.
    QByteArray takeForPort();
    void written(qint64 count);
    void fail();
    void clear();
    void reset();

private:
    mutable std::mutex m_mutex;
    QByteArray m_waiting;
    qint64 m_inPort = 0; // handed to the port, not yet written to the device
    bool m_failed = false;
    bool m_wakeQueued = false;
};
