#pragma once
// Received chunks on their way from the receive thread to the user-interface
// thread. The receive thread appends a chunk and queues a call of `arrived`
// on the context object's thread; the user-interface thread takes the chunks
// out in order, there or straight from the queue (a wait that dispatches
// nothing).

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

class RxChunkQueue {
public:
    // The context object must outlive every thread that posts here: its owner
    // stops the receive thread before it goes away.
    // lost: queued the same way once the port has gone away (unplugged).
    RxChunkQueue(QObject* context, std::function<void()> arrived, std::function<void()> lost = {})
        : m_context(context)
        , m_arrived(std::move(arrived))
        , m_lost(std::move(lost))
    {
    }

    // Receive thread. False when the chunk cannot be handed on.
    bool post(QByteArray chunk);
    // Receive thread: the port has gone; nothing more will arrive.
    void postLost();
    bool isLost() const;
    // User-interface thread.
    bool take(QByteArray& chunk);
    // Waits up to timeout for a chunk to arrive (or returns at once if one is there).
    bool waitForChunk(std::chrono::milliseconds timeout);
    void clear();

    // Whether the receive thread hands each read over at once instead of
    // waiting for the line to go quiet after it. Set by the user-interface
    // thread before a request goes out, read by the receive thread.
    void setHandOverAtOnce(bool on) { m_atOnce.store(on, std::memory_order_relaxed); }
    bool handOverAtOnce() const { return m_atOnce.load(std::memory_order_relaxed); }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<QByteArray> m_chunks;
    QObject* m_context;
    std::function<void()> m_arrived;
    std::function<void()> m_lost;
    bool m_isLost = false;
    std::atomic<bool> m_atOnce{false};
};
