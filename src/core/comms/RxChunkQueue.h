#pragma once
// Received chunks on their way from the receive thread to the user-interface
// thread. The receive thread appends and posts a wake-up to the receiver; the
// user-interface thread takes them out in order.

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

class RxChunkQueue {
public:
    explicit RxChunkQueue(QObject* receiver, const char* slot) : m_receiver(receiver), m_slot(slot) { }

    // Receive thread. False when the chunk cannot be handed on.
    bool post(QByteArray chunk);
    // User-interface thread.
    bool take(QByteArray& chunk);
    // Waits up to timeout for a chunk to arrive (or returns at once if one is there).
    bool waitForChunk(std::chrono::milliseconds timeout);
    void clear();

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<QByteArray> m_chunks;
    QPointer<QObject> m_receiver;
    const char* m_slot;
};
