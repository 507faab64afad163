// The device operations through their full step machine (posted-message
// queue, 2 ms tick, nested waits) against the virtual controller pacing its
// line at 230400 bit/s: a firmware upgrade of 266240 bytes and an image
// upload of at least 2 MB, each against the line's own time for the same
// bytes, and the longest time the event loop went without running.
//
//   bench_device_ops [--backgrounds N]   (default 18: a block of about 2.1 MB)

#include "ProjectFixtures.h"
#include "core/comms/TVrexComms.h"
#include "core/device/FirmwareWindowInfo.h"
#include "core/device/TControllerLink.h"
#include "core/device/TDeviceHost.h"
#include "core/device/TDeviceOperations.h"
#include "core/document/TProjectDocument.h"
#include "core/imaging/PixelFormat.h"
#include "core/messaging/TMsgList.h"
#include "core/messaging/TWindowMessageEvent.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/CommsSetup.h"
#include "core/protocol/DeviceIdentity.h"
#include "sim/lib/VirtualController.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr double kLineBitsPerByte = 10.0;
constexpr double kLineRate = 230400.0;

qint64 threadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

qint64 steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double medianMs(std::vector<qint64> ns)
{
    if (ns.empty())
        return 0;
    std::sort(ns.begin(), ns.end());
    return double(ns[ns.size() / 2]) / 1e6;
}

double percentileMs(std::vector<qint64> ns, double p)
{
    if (ns.empty())
        return 0;
    std::sort(ns.begin(), ns.end());
    return double(ns[std::min(ns.size() - 1, std::size_t(double(ns.size()) * p))]) / 1e6;
}

// Where a block's time goes, from the controller's side of the line: from a
// write request's arrival to its ACK having crossed the line is the
// controller's (and the line's); from there to the next request's arrival is
// the host's, split where the step that wrote the block ends.
struct BlockSplit {
    double controllerMs = 0;
    double hostMs = 0;
    double hostP90Ms = 0;
    double replyToStepMs = 0;
    double stepToFrameMs = 0;
    double tickMs = 0;         // from the step's end to its successor's start (the queue's tick)
    double startToFrameMs = 0; // from the successor's start to its request arriving
    std::size_t blocks = 0;
};

BlockSplit splitBlocks(const std::vector<SimFrame>& frames, const std::vector<qint64>& seenNs,
                       const std::vector<qint64>& startNs)
{
    std::vector<const SimFrame*> writes;
    for (const SimFrame& f : frames) {
        if (f.reply == QLatin1String("ACK") && f.length > 0 && f.answeredNs >= 0)
            writes.push_back(&f);
    }
    std::vector<qint64> controller, host, toStep, toFrame, tick, startToFrame;
    for (std::size_t i = 0; i + 1 < writes.size(); ++i) {
        const SimFrame& a = *writes[i];
        const SimFrame& b = *writes[i + 1];
        const auto seen = std::lower_bound(seenNs.begin(), seenNs.end(), a.answeredNs);
        if (seen == seenNs.end() || *seen > b.arrivedNs)
            continue;
        controller.push_back(a.answeredNs - a.arrivedNs);
        host.push_back(b.arrivedNs - a.answeredNs);
        toStep.push_back(*seen - a.answeredNs);
        toFrame.push_back(b.arrivedNs - *seen);
        const auto start = std::lower_bound(startNs.begin(), startNs.end(), *seen);
        if (start != startNs.end() && *start <= b.arrivedNs) {
            tick.push_back(*start - *seen);
            startToFrame.push_back(b.arrivedNs - *start);
        }
    }
    return {medianMs(controller), medianMs(host), percentileMs(host, 0.9), medianMs(toStep),
            medianMs(toFrame),    medianMs(tick), medianMs(startToFrame),  host.size()};
}

double lineSeconds(qint64 bytes)
{
    return double(bytes) * kLineBitsPerByte / kLineRate;
}

// Measures the gaps between ticks of a 1 ms timer: a long gap is a time the
// event loop (outer or nested) did not run.
class LoopWatch : public QObject {
public:
    LoopWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            const qint64 cpu = threadCpuNs();
            if (m_last >= 0 && m_armed && now - m_last > m_longest) {
                m_longest = now - m_last;
                m_longestAt = now;
                m_longestCpu = cpu - m_lastCpu;
            }
            m_last = now;
            m_lastCpu = cpu;
        });
        m_clock.start();
        m_timer.start();
    }
    void arm(bool on)
    {
        m_armed = on;
        m_last = -1;
    }
    void reset() { m_longest = 0; }
    double longestMs() const { return double(m_longest) / 1e6; }
    // How much of the longest gap this thread spent running: much less than
    // the gap means it was waiting for the processor (a loaded machine) or
    // in a blocking call, not working.
    double longestCpuMs() const { return double(m_longestCpu) / 1e6; }
    double longestAtS() const { return double(m_longestAt) / 1e9; }
    double nowS() const { return double(m_clock.nsecsElapsed()) / 1e9; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    qint64 m_longest = 0;
    qint64 m_longestAt = 0;
    qint64 m_lastCpu = 0;
    qint64 m_longestCpu = 0;
    bool m_armed = false;
};

class BenchHost : public TDeviceHost {
public:
    BenchHost(TControllerLink& link, TDeviceOperations*& ops, LoopWatch& watch)
        : m_link(link)
        , m_ops(ops)
        , m_watch(watch)
    {
    }

    void Log_Activity(int code, const QString& info) override
    {
        if (code == 11 || code == 9 || code == 14)
            std::fprintf(stderr, "error %d %s\n", code, qPrintable(info));
        // The transfers begin with their first block and end with the last.
        if (code == 23 || code == 16)
            stop();
    }
    TDeviceAnswer Show_Message_Box(const QString& text, TDeviceBoxKind, TDeviceButtons, TDeviceAnswer) override
    {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        return TDeviceAnswer::Cancel;
    }
    void showScanPanel(bool) override { }
    void setScanProgress(int, int) override { }
    void setProgress(TDeviceBar bar, qint64 position, qint64 maximum, bool) override
    {
        if (bar != TDeviceBar::Config && position == 0 && maximum > 1 && !m_running) {
            bytes = maximum;
            m_running = true;
            m_watch.reset();
            m_watch.arm(true);
            m_clock.start();
            m_stepEnd = -1;
        } else if (m_running && position > 0 && m_stepStart >= 0) {
            // A block step ends here, just after it posted its successor.
            seenNs.push_back(steadyNowNs());
            const qint64 now = m_clock.nsecsElapsed();
            inStepNs += now - m_stepStart;
            ++steps;
            m_stepEnd = now;
            m_stepStart = -1;
        }
    }
    // A step message reached its window.
    void stepStarted()
    {
        if (!m_running)
            return;
        const qint64 now = m_clock.nsecsElapsed();
        startNs.push_back(steadyNowNs());
        if (m_stepEnd >= 0)
            betweenStepsNs += now - m_stepEnd;
        m_stepStart = now;
    }
    void enableProjectArea(bool) override { }
    void enableDeviceButtons(bool) override { }
    void enableUploadBoxes(bool) override { }
    bool uploadConfigTicked() const override { return false; }
    bool uploadImagesTicked() const override { return true; }
    QString serviceText() const override { return {}; }
    void Show_Device_Config(const TDevice_Config_v2&) override { }
    void showFirmwareWindow() override
    {
        m_window = true;
        prepareFirmwareWindow(m_link);
        m_ops->startFirmwareUpgrade();
    }
    bool firmwareWindowShowing() const override { return m_window; }
    void firmwareTransferEnded() override { }
    void operationEnded() override
    {
        m_window = false;
        QCoreApplication::exit(0);
    }

    qint64 bytes = 0;
    double seconds = 0;
    double longestMs = 0;
    double longestCpuMs = 0;
    qint64 inStepNs = 0;       // inside the block steps: the write transactions
    qint64 betweenStepsNs = 0; // from a step's end to its successor's start: the queue's tick
    qint64 steps = 0;
    std::vector<qint64> seenNs;  // steady clock: each block step's end, its ACK seen
    std::vector<qint64> startNs; // steady clock: each step's start

private:
    void stop()
    {
        seconds = double(m_clock.nsecsElapsed()) / 1e9;
        longestMs = m_watch.longestMs();
        longestCpuMs = m_watch.longestCpuMs();
        if (qEnvironmentVariableIsSet("BENCH_DEBUG"))
            std::fprintf(stderr, "longest gap ended %.3f s before the end\n", m_watch.nowS() - m_watch.longestAtS());
        m_watch.arm(false);
        m_running = false;
    }

    TControllerLink& m_link;
    TDeviceOperations*& m_ops;
    LoopWatch& m_watch;
    QElapsedTimer m_clock;
    bool m_running = false;
    bool m_window = false;
    qint64 m_stepStart = -1;
    qint64 m_stepEnd = -1;
};

// Sees each step message arrive at the operations' window.
class StepWatch : public QObject {
public:
    explicit StepWatch(BenchHost& host) : m_host(host) { }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == TWindowMessageEvent::kType)
            m_host.stepStarted();
        return false;
    }

private:
    BenchHost& m_host;
};

struct Figures {
    qint64 bytes;
    double seconds;
    double longestMs;
    double longestCpuMs;
    double inStepMs;       // per block
    double betweenStepsMs; // per block
    BlockSplit split;
};

Figures run(int purpose, TProjectDocument& document, LoopWatch& watch)
{
    SimOptions o;
    o.lineRate = true;
    VirtualController sim(o);
    sim.start();
    TControllerLink link;
    link.PC_Cfg_PartNo = 5813;
    link.PC_Cfg_FW_Ver = 201;
    TMsgList queue;
    TDeviceOperations* ops = nullptr;
    BenchHost host(link, ops, watch);
    TDeviceOperations operations(document, link, queue, host);
    ops = &operations;
    StepWatch steps(host);
    operations.installEventFilter(&steps);
    operations.setPortLister([&sim] { return QStringList{sim.portName()}; });
    operations.allowPlaceholderFirmwareEverywhere(true);
    if (purpose == kPurposeFirmwareUpgrade)
        operations.fw_upg_ButtonClick();
    else
        operations.upload_data_BitBtnClick();
    QCoreApplication::exec();
    const BlockSplit split = host.seenNs.empty() ? BlockSplit{} : splitBlocks(sim.frames(), host.seenNs, host.startNs);
    const double n = double(qMax<qint64>(1, host.steps));
    return {host.bytes,
            host.seconds,
            host.longestMs,
            host.longestCpuMs,
            double(host.inStepNs) / 1e6 / n,
            double(host.betweenStepsNs) / 1e6 / n,
            split};
}

void print(const char* what, const Figures& f)
{
    const double line = lineSeconds(f.bytes);
    // One block of 512: its frame and the acknowledgement on the line.
    const double frameMs = (512 + 12 + 1) * kLineBitsPerByte / kLineRate * 1000.0;
    std::printf("%-16s per block: in the write step %.2f ms (its frame and ACK on the line %.2f ms), between "
                "steps %.2f ms\n",
                what, f.inStepMs, frameMs, f.betweenStepsMs);
    std::printf("%-16s per block, median of %zu: controller %.2f ms (request in to ACK out), host %.3f ms "
                "(ACK out to next request in; 90th percentile %.3f) = ACK to step %.3f + step to next request %.3f\n",
                what, f.split.blocks, f.split.controllerMs, f.split.hostMs, f.split.hostP90Ms, f.split.replyToStepMs,
                f.split.stepToFrameMs);
    std::printf("%-16s per block, median: step's end to the next step's start %.3f ms (the queue's tick of %d ms), "
                "its start to its request in %.3f ms\n",
                what, f.split.tickMs, TMsgList::kTickMs, f.split.startToFrameMs);
    // What the host adds to a block beyond the line and the queue's tick: the
    // time from the ACK having crossed the line to the next request's first
    // byte, less the tick.
    std::printf("%-16s host per block = %.3f ms (beyond the line and the %d ms tick)\n", what,
                f.split.hostMs - TMsgList::kTickMs, TMsgList::kTickMs);
    std::printf("%-16s bytes %9lld  time %7.3f s  line %7.3f s  ratio %.3f  per block %.2f ms over the line  "
                "longest loop gap %.1f ms (thread running %.1f ms of it)\n",
                what, static_cast<long long>(f.bytes), f.seconds, line, f.seconds / line,
                (f.seconds - line) * 1000.0 / double((f.bytes + 511) / 512), f.longestMs, f.longestCpuMs);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    int backgrounds = 18;
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--help"))) {
        std::printf("usage: bench_device_ops [--backgrounds N]\n"
                    "Firmware upgrade and image upload (N noise backgrounds, default 18: about 2.1 MB) through\n"
                    "the step machines against the virtual controller at 230400 bit/s: time against the line's\n"
                    "own time for the same bytes, and the longest time the event loop did not run.\n");
        return 0;
    }
    const int at = int(args.indexOf(QStringLiteral("--backgrounds")));
    if (at > 0 && at + 1 < args.size())
        backgrounds = qBound(1, args.at(at + 1).toInt(), kMaxImagesPerHandle);

    LoopWatch watch;
    TProjectDocument document;
    document.fill([](TDevice_Config_v2& record, THandleList&) {
        record = newProjectConfig();
        return true;
    });
    print("firmware", run(kPurposeFirmwareUpgrade, document, watch));

    // Noise, so that nothing is smaller for being regular.
    document.fill([&](TDevice_Config_v2&, THandleList& images) {
        createDefaultHandles(images);
        THandle_object& bg = *images[kBackgroundsIdx];
        while (int(bg.cells.size()) < backgrounds)
            addFixtureImage(bg, QStringLiteral("NOISE%1").arg(bg.cells.size()),
                            noisePicture(bg.width, bg.height, quint32(bg.cells.size()) + 7));
        for (std::size_t i = 1; i < images.size(); ++i)
            images[i]->included = false;
        return true;
    });
    print("image upload", run(kPurposeUpload, document, watch));
    return 0;
}
