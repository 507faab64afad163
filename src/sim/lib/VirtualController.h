#pragma once
// The virtual controller: plays the controller's side of the device protocol
// on a pseudo-terminal, on a thread of its own, so that the system under test
// can run its own event loop (in the same process or another one).
//
//   VirtualController sim(options);
//   sim.start();                    // sim.portName() is the port to open
//   ... run transactions ...
//   sim.frames();                   // every request as received, in order
//   sim.memory(0x80000, 3);         // what the writes stored
//
// The options may be changed while it runs (setOptions); counters of frames,
// writes and resets are not reset by that.

#include "sim/lib/SimFrame.h"
#include "sim/lib/SimMemory.h"
#include "sim/lib/SimOptions.h"
#include "sim/lib/SimPty.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class VirtualController {
public:
    explicit VirtualController(SimOptions options = {});
    ~VirtualController();
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;

    // Opens the pseudo-terminal and starts answering. False with a reason in
    // *error when the terminal cannot be created or the start block is not 1408 bytes.
    bool start(QString* error = nullptr);
    void stop();
    bool isRunning() const { return m_thread.joinable() && !m_vanished; }
    bool hasVanished() const { return m_vanished; }
    QString portName() const { return m_pty.slavePath(); }
    bool makeLink(const QString& linkPath, QString* error = nullptr) { return m_pty.makeLink(linkPath, error); }

    SimOptions options() const;
    void setOptions(const SimOptions& options);

    // Memory read-back and preset; empty / false outside the three regions.
    QByteArray memory(uint32_t address, int length) const;
    QByteArray region(int index) const;
    bool setMemory(uint32_t address, const QByteArray& bytes);

    std::vector<SimFrame> frames() const;
    int frameCount() const;
    void clearFrames();
    // Waits until at least count frames have arrived; false on timeout.
    bool waitForFrames(int count, int timeoutMs) const;
    int writeCount() const { return m_writes; }
    int resetCount() const { return m_resets; }

    // Sends raw bytes to the system, outside any answer.
    bool inject(const QByteArray& bytes);

    // config.bin, firmware.bin, images.bin and frames.json in dir.
    bool writeDump(const QString& dir, QString* error = nullptr) const;

    // Called on the controller's thread once the terminal has been closed by a fault.
    std::function<void()> onVanish;

private:
    using Clock = std::chrono::steady_clock;

    void run();
    void handle(SimFrame& frame);
    QByteArray answerFor(SimFrame& frame, const SimOptions& o);
    QByteArray readReply(const SimFrame& frame, const QByteArray& data, const SimOptions& o) const;
    QByteArray identity(const SimOptions& o) const;
    void noteReceived(std::size_t n);
    QByteArray discardRefusedTail();
    void send(const QByteArray& bytes, bool lineRate);
    void vanish();

    SimPty m_pty;
    std::thread m_thread;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_vanished{false};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_frameArrived;
    SimOptions m_options;
    SimMemory m_memory;
    std::vector<SimFrame> m_frames;
    std::atomic<int> m_writes{0};
    std::atomic<int> m_resets{0};
    Clock::time_point m_started;
    Clock::time_point m_inFreeAt;
    Clock::time_point m_outFreeAt;
};
