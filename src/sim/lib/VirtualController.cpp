#include "sim/lib/VirtualController.h"

#include "core/model/Fletcher.h"
#include "core/protocol/BLcomms.h"
#include "core/protocol/DeviceIdentity.h"
#include "sim/lib/FrameAssembler.h"
#include "sim/lib/SimDump.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {
// 230400 bit/s with a start and a stop bit around every byte.
constexpr std::chrono::duration<double> kByteTime{10.0 / 230400.0};
constexpr int kPaceBytes = 16;

qint64 steadyNs(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}
// Quiet that marks the end of a refused frame. A host writes a frame in one
// go, so its rest is already on the line; a host that resends waits for the NAK.
constexpr int kRefusedTailQuietMs = 20;
} // namespace

VirtualController::VirtualController(SimOptions options) : m_options(std::move(options)) { }

VirtualController::~VirtualController()
{
    stop();
}

bool VirtualController::start(QString* error)
{
    if (m_thread.joinable())
        return true;
    if (!m_options.initialConfig.isEmpty()) {
        if (m_options.initialConfig.size() != static_cast<int>(SimMemory::kRegions[0].size)) {
            if (error)
                *error = QStringLiteral("the configuration block must be %1 bytes, not %2")
                             .arg(SimMemory::kRegions[0].size)
                             .arg(m_options.initialConfig.size());
            return false;
        }
        setMemory(0, m_options.initialConfig);
    }
    if (!m_pty.open(error))
        return false;
    if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error)
            *error = QStringLiteral("cannot create the wake-up pipe");
        m_pty.close();
        return false;
    }
    m_started = m_inFreeAt = m_outFreeAt = Clock::now();
    m_vanished = false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void VirtualController::stop()
{
    if (m_thread.joinable()) {
        const char b = 1;
        (void)!::write(m_wake[1], &b, 1);
        m_thread.join();
    }
    for (int& fd : m_wake) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    m_pty.close();
}

SimOptions VirtualController::options() const
{
    std::lock_guard lock(m_mutex);
    return m_options;
}

void VirtualController::setOptions(const SimOptions& options)
{
    std::lock_guard lock(m_mutex);
    m_options = options;
}

QByteArray VirtualController::memory(uint32_t address, int length) const
{
    QByteArray out(length, '\0');
    std::lock_guard lock(m_mutex);
    if (length < 0 || !m_memory.read(address, reinterpret_cast<uint8_t*>(out.data()), static_cast<std::size_t>(length)))
        return {};
    return out;
}

QByteArray VirtualController::region(int index) const
{
    std::lock_guard lock(m_mutex);
    return m_memory.region(index);
}

bool VirtualController::setMemory(uint32_t address, const QByteArray& bytes)
{
    std::lock_guard lock(m_mutex);
    return m_memory.write(address, reinterpret_cast<const uint8_t*>(bytes.constData()),
                          static_cast<std::size_t>(bytes.size()));
}

std::vector<SimFrame> VirtualController::frames() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

int VirtualController::frameCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_frames.size());
}

void VirtualController::clearFrames()
{
    std::lock_guard lock(m_mutex);
    m_frames.clear();
}

bool VirtualController::waitForFrames(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_frameArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return static_cast<int>(m_frames.size()) >= count; });
}

bool VirtualController::inject(const QByteArray& bytes)
{
    return !m_vanished && m_pty.writeAll(bytes);
}

bool VirtualController::writeDump(const QString& dir, QString* error) const
{
    std::vector<QByteArray> regions;
    std::vector<SimFrame> frames;
    {
        std::lock_guard lock(m_mutex);
        for (std::size_t i = 0; i < SimMemory::kRegions.size(); ++i)
            regions.push_back(m_memory.region(static_cast<int>(i)));
        frames = m_frames;
    }
    return SimDump::write(dir, regions, frames, error);
}

void VirtualController::run()
{
    FrameAssembler assembler;
    std::vector<uint8_t> buf(4096);
    int frameIndex = 0;
    qint64 frameArrivedNs = 0;
    while (!m_vanished) {
        const int gap = options().frameGapMs;
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {m_pty.masterFd(), POLLIN, 0}};
        const int r = ::poll(fds, 2, assembler.inFrame() ? gap : -1);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0 || fds[0].revents)
            break;
        std::vector<SimFrame> done;
        if (r == 0) {
            done = assembler.lineQuiet();
        } else if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(m_pty.masterFd(), buf.data(), buf.size());
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (n <= 0)
                break;
            noteReceived(static_cast<std::size_t>(n));
            if (!assembler.inFrame())
                frameArrivedNs = steadyNs(Clock::now());
            done = assembler.feed(buf.data(), static_cast<std::size_t>(n));
        } else if (fds[1].revents & (POLLERR | POLLNVAL)) {
            break;
        } else {
            // Hang-up without data: nobody holds the terminal; wait a moment.
            ::poll(fds, 1, 10);
            continue;
        }
        for (SimFrame& f : done) {
            if (f.complete && !f.headerOk) {
                // A bad header: drop the rest of the frame before refusing it,
                // so that whatever the host sends after the NAK is a new frame.
                const QByteArray tail = discardRefusedTail();
                f.bytes += assembler.resync() + tail;
            }
            f.index = ++frameIndex;
            f.timeMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_started).count();
            f.arrivedNs = frameArrivedNs;
            handle(f);
            if (m_vanished)
                break;
        }
    }
}

QByteArray VirtualController::discardRefusedTail()
{
    QByteArray tail;
    char buf[4096];
    for (;;) {
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {m_pty.masterFd(), POLLIN, 0}};
        const int r = ::poll(fds, 2, kRefusedTailQuietMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0 || fds[0].revents || !(fds[1].revents & POLLIN))
            return tail; // quiet, or told to stop (the main loop sees that)
        const ssize_t n = ::read(m_pty.masterFd(), buf, sizeof buf);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            return tail;
        noteReceived(static_cast<std::size_t>(n));
        tail.append(buf, static_cast<qsizetype>(n));
    }
}

void VirtualController::noteReceived(std::size_t n)
{
    const auto now = Clock::now();
    const auto start = std::max(now, m_inFreeAt);
    m_inFreeAt = start + std::chrono::duration_cast<Clock::duration>(kByteTime * static_cast<double>(n));
}

void VirtualController::handle(SimFrame& frame)
{
    const SimOptions o = options();
    if (o.vanishAfter > 0 && frame.index >= o.vanishAfter) {
        frame.reply = QStringLiteral("vanished");
        {
            std::lock_guard lock(m_mutex);
            m_frames.push_back(frame);
        }
        m_frameArrived.notify_all();
        vanish();
        return;
    }
    QByteArray answer;
    if (o.silentAfter > 0 && frame.index > o.silentAfter) {
        frame.reply = QStringLiteral("none"); // a controller that has stopped: nothing is stored
    } else {
        answer = answerFor(frame, o);
    }
    if (!answer.isEmpty() && (o.strayEvery || (o.strayBefore > 0 && frame.index == o.strayBefore)))
        answer.prepend(static_cast<char>(BL::kStart));
    {
        std::lock_guard lock(m_mutex);
        m_frames.push_back(frame);
    }
    m_frameArrived.notify_all();
    if (answer.isEmpty())
        return;
    send(answer, o.lineRate);
    // A paced answer's last piece is written once it would have crossed the line.
    const qint64 answered = steadyNs(Clock::now());
    std::lock_guard lock(m_mutex);
    // The list may have been cleared meanwhile.
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it) {
        if (it->index == frame.index) {
            it->answeredNs = answered;
            break;
        }
    }
}

QByteArray VirtualController::answerFor(SimFrame& frame, const SimOptions& o)
{
    const QByteArray ack(1, static_cast<char>(BL::kAck));
    const QByteArray nak(1, static_cast<char>(BL::kNak));
    if (!frame.complete) {
        frame.reply = QStringLiteral("none");
        return {};
    }
    if (!frame.headerOk || !frame.dataOk) {
        frame.reply = QStringLiteral("NAK");
        return nak;
    }
    switch (frame.command) {
    case BL::kCmdIdentify: frame.reply = QStringLiteral("frame"); return readReply(frame, identity(o), o);
    case BL::kCmdReadMemory: {
        const QByteArray data = memory(frame.address, 128);
        frame.reply = data.isEmpty() ? QStringLiteral("NAK") : QStringLiteral("frame");
        return data.isEmpty() ? nak : readReply(frame, data, o);
    }
    case BL::kCmdWriteMemory: {
        const int n = ++m_writes;
        const QByteArray data = frame.bytes.mid(10, frame.length);
        if (o.dropWrite > 0 && n == o.dropWrite) {
            frame.reply = QStringLiteral("ACK");
            return ack;
        }
        const bool refused = (o.nakWrite > 0 && n == o.nakWrite) || !setMemory(frame.address, data);
        frame.reply = refused ? QStringLiteral("NAK") : QStringLiteral("ACK");
        return refused ? nak : ack;
    }
    case BL::kCmdReset:
        if (++m_resets <= o.ignoreResets) {
            frame.reply = QStringLiteral("none");
            return {};
        }
        frame.reply = QStringLiteral("ACK");
        return ack;
    case BL::kCmdFirmwareWriteBoot:
    case BL::kCmdFirmwareWriteApp: {
        // The command names the version it installs (high word); the
        // controller restarts into that application, so the next
        // identification reports it, as a real one would after an upgrade.
        std::lock_guard lock(m_mutex);
        m_options.fwVersion = static_cast<uint16_t>(frame.address >> 16);
        m_options.bootLoader = false;
        frame.reply = QStringLiteral("ACK");
        return ack;
    }
    default: frame.reply = QStringLiteral("NAK"); return nak;
    }
}

QByteArray VirtualController::identity(const SimOptions& o) const
{
    const TrcModel& model = RC_Model_Table[o.model == 1 ? 1 : 0];
    uint16_t part = o.bootLoader ? model.blPartNo : model.appPartNo;
    if (o.partNumberOverride >= 0)
        part = static_cast<uint16_t>(o.partNumberOverride);
    const uint16_t words[4] = {part, o.bootLoader ? o.blVersion : o.fwVersion, model.blPartNo, o.blVersion};
    QByteArray out;
    for (uint16_t w : words) {
        out.append(static_cast<char>(w >> 8));
        out.append(static_cast<char>(w & 0xFF));
    }
    return out;
}

QByteArray VirtualController::readReply(const SimFrame& frame, const QByteArray& data, const SimOptions& o) const
{
    const int count = static_cast<int>(data.size());
    QByteArray out(12 + count, '\0');
    auto* b = reinterpret_cast<uint8_t*>(out.data());
    b[0] = BL::kStart;
    b[1] = frame.command;
    for (int i = 0; i < 4; ++i)
        b[2 + i] = static_cast<uint8_t>(frame.address >> (8 * i));
    b[6] = static_cast<uint8_t>(count >> 8);
    b[7] = static_cast<uint8_t>(count & 0xFF);
    Fletcher_Check_Bytes(b, 0, 8);
    std::copy(data.begin(), data.end(), out.begin() + 10);
    Fletcher_Check_Bytes(b, 10, static_cast<std::size_t>(count));
    if (o.corruptReadReplies || (o.corruptReadsAfter > 0 && frame.index > o.corruptReadsAfter))
        b[10 + count] ^= 0x5A;
    out.append(QByteArray(o.readReplyExtraBytes, '\0'));
    return out;
}

void VirtualController::send(const QByteArray& bytes, bool lineRate)
{
    if (!lineRate) {
        m_pty.writeAll(bytes);
        return;
    }
    // The answer cannot start before the request has crossed the line, nor
    // before the previous answer has; each piece is written once it would
    // have been sent in full.
    std::this_thread::sleep_until(m_inFreeAt);
    const auto start = std::max(Clock::now(), m_outFreeAt);
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData());
    const int n = static_cast<int>(bytes.size());
    for (int sent = 0; sent < n;) {
        const int piece = std::min(kPaceBytes, n - sent);
        std::this_thread::sleep_until(
            start + std::chrono::duration_cast<Clock::duration>(kByteTime * static_cast<double>(sent + piece)));
        if (!m_pty.writeAll(p + sent, static_cast<std::size_t>(piece)))
            return;
        sent += piece;
    }
    m_outFreeAt = start + std::chrono::duration_cast<Clock::duration>(kByteTime * static_cast<double>(n));
}

void VirtualController::vanish()
{
    m_pty.close();
    m_vanished = true;
    if (onVanish)
        onVanish();
}
