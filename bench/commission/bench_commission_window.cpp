// The commissioning window sending one project to several virtual
// controllers at once against the same window sending it to one:
// configuration and images with the configuration read back, every
// controller pacing its line at 230400 bit/s unless --no-line-rate. Prints
// both wall times, their ratio, whether every memory is exact, and the
// longest gap in the window's event loop during the runs (a 2 ms timer's
// ticks, measured while the window drives the workers; --verbose prints each
// gap over 50 ms), beside the longest gap of the same timer in an idle
// window (the machine's own noise).
//
//   bench_commission_window [--backgrounds N] [--controllers K] [--no-line-rate] [--verbose]
//                           (defaults 3, 3)

#include "ProjectFixtures.h"
#include "core/model/DeviceConfig.h"
#include "core/model/ProjectModel.h"
#include "core/storage/DiskIO.h"
#include "sim/lib/VirtualController.h"
#include "ui/app/TCommissionLauncher.h"
#include "ui/app/TConfiguratorApplication.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/Tbmpgen_Form.h"
#include "ui/commissioning/TAdapterPoller.h"
#include "ui/commissioning/TCommissionPortTable.h"
#include "ui/commissioning/TCommissionWindow.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

void writeProject(const QString& path, int backgrounds)
{
    TDevice_Config_v2 rec = newProjectConfig();
    THandleList handles;
    createDefaultHandles(handles);
    THandle_object& bg = *handles[kBackgroundsIdx];
    while (int(bg.cells.size()) < backgrounds)
        addFixtureImage(bg, QStringLiteral("NOISE%1").arg(bg.cells.size()),
                        noisePicture(bg.width, bg.height, quint32(bg.cells.size()) + 7), TFixtureImage::Stored);
    Save_Project_File(path, rec, handles);
}

// The longest time between two ticks of a short timer while it runs.
class StallMeter : public QObject {
public:
    StallMeter()
    {
        m_timer.setInterval(2);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 gap = m_clock.nsecsElapsed();
            if (m_verbose && gap > 50'000'000)
                std::printf("  stall of %.1f ms at %.2f s\n", double(gap) / 1e6, double(m_since.nsecsElapsed()) / 1e9);
            m_longestNs = std::max(m_longestNs, gap);
            m_clock.restart();
        });
        m_since.start();
    }
    void start()
    {
        m_clock.start();
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    void reset() { m_longestNs = 0; }
    void setVerbose(bool verbose) { m_verbose = verbose; }
    double longestMs() const { return double(m_longestNs) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_since;
    qint64 m_longestNs = 0;
    bool m_verbose = false;
};

// Ticks exactly the rows of these ports, presses Start and waits for the end.
double timedRun(TCommissionWindow& window, const QStringList& ports, StallMeter& meter)
{
    TCommissionPortTable& table = *window.portTable();
    for (int row = 0; row < table.rowCount(); ++row)
        table.setChecked(row, ports.contains(table.portAt(row)));
    QEventLoop loop;
    QObject::connect(&window, &TCommissionWindow::runningChanged, &loop, [&loop](bool running) {
        if (!running)
            loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    meter.start();
    window.startButton()->click();
    if (window.isRunning())
        loop.exec();
    meter.stop();
    return double(clock.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    TConfiguratorApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--help"))) {
        std::printf("usage: bench_commission_window [--backgrounds N] [--controllers K] [--no-line-rate]\n"
                    "The commissioning window sends a project (configuration and N noise backgrounds, default 3,\n"
                    "verified) to K virtual controllers at once (default 3) and to one, at the emulated line rate\n"
                    "unless --no-line-rate: both wall times, their ratio, whether every memory is exact and the\n"
                    "longest event-loop stall of the window during the runs.\n");
        return 0;
    }
    auto option = [&args](const char* name, int fallback, int low, int high) {
        const int at = int(args.indexOf(QLatin1String(name)));
        return at > 0 && at + 1 < args.size() ? qBound(low, args.at(at + 1).toInt(), high) : fallback;
    };
    const int backgrounds = option("--backgrounds", 3, 1, kMaxImagesPerHandle);
    const int controllers = option("--controllers", 3, 1, 64);

    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("bench.cvp"));
    writeProject(project, backgrounds);
    SimOptions paced;
    paced.lineRate = !args.contains(QStringLiteral("--no-line-rate"));
    std::vector<std::unique_ptr<VirtualController>> sims;
    for (int i = 0; i <= controllers; ++i) {
        sims.push_back(std::make_unique<VirtualController>(paced));
        if (!sims.back()->start())
            return 1;
    }

    Tbmpgen_Form form;
    form.commands()->openProjectPath(project);
    form.setCommissioningLog(dir.filePath(QStringLiteral("bench.jsonl")));
    form.commissionLauncher()->setWorkerProgram(QCoreApplication::applicationDirPath()
                                                + QStringLiteral("/corvane-cli"));
    TCommissionWindow& window = *form.commissionLauncher()->commissionWindow();
    window.adapterPoller()->setLister([] { return std::vector<TCandidatePort>{}; });
    window.resize(1024, 600);
    form.commissionLauncher()->showWindow();
    QStringList many;
    for (const auto& sim : sims) {
        window.addPort(sim->portName());
        if (sim != sims.front())
            many << sim->portName();
    }

    // The machine's own noise: the same timer with the window idle.
    StallMeter meter;
    meter.setVerbose(args.contains(QStringLiteral("--verbose")));
    {
        QEventLoop idle;
        QTimer::singleShot(5000, &idle, &QEventLoop::quit);
        meter.start();
        idle.exec();
        meter.stop();
    }
    const double idleStall = meter.longestMs();
    meter.reset();
    const double one = timedRun(window, {sims.front()->portName()}, meter);
    const double all = timedRun(window, many, meter);
    const QByteArray config = sims.front()->memory(0, 1408);
    const QByteArray images = sims.front()->memory(0x80000, int(kImageStoreBytes));
    int exact = 0;
    for (const auto& sim : sims)
        exact += sim->memory(0, 1408) == config && sim->memory(0x80000, int(kImageStoreBytes)) == images ? 1 : 0;
    std::printf("wall 1 = %.2f s\nwall %d = %.2f s\nwall %d / wall 1 = %.3f\nlongest event-loop stall = %.1f ms "
                "(idle window, same timer: %.1f ms)\nmemories exact: %d of %d\n",
                one, controllers, all, controllers, all / one, meter.longestMs(), idleStall, exact, controllers + 1);
    return exact == controllers + 1 ? 0 : 1;
}
