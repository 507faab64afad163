// corvane-cli commission on several virtual controllers at once against the
// same upload to one: configuration and images, with the configuration read
// back, every controller pacing its line at 230400 bit/s unless
// --no-line-rate. Each port has a process of its own; the image data block is
// built once, by the parent. Afterwards every controller's memory is compared
// with the single upload's, and the peak memory (VmHWM, sampled every 10 ms)
// of the parent and of each worker is printed.
//
//   bench_commission [--backgrounds N] [--controllers K] [--jobs J] [--no-line-rate]
//                    (defaults 3, 3, K)

#include "ProjectFixtures.h"
#include "core/model/DeviceConfig.h"
#include "core/model/ProjectModel.h"
#include "core/storage/DiskIO.h"
#include "sim/lib/VirtualController.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

void writeProject(const QString& path, int backgrounds)
{
    TDevice_Config_v2 rec = newProjectConfig();
    THandleList handles;
    createDefaultHandles(handles);
    THandle_object& bg = *handles[kBackgroundsIdx];
    // Noise, so that nothing is smaller for being regular.
    while (int(bg.cells.size()) < backgrounds)
        addFixtureImage(bg, QStringLiteral("NOISE%1").arg(bg.cells.size()),
                        noisePicture(bg.width, bg.height, quint32(bg.cells.size()) + 7), TFixtureImage::Stored);
    Save_Project_File(path, rec, handles);
}

// Peak resident memory in KiB of a process, 0 when it is gone.
long peakKib(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

QList<qint64> childrenOf(qint64 pid)
{
    QList<qint64> out;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 child = entry.toLongLong(&number);
        if (!number)
            continue;
        QFile f(QStringLiteral("/proc/%1/stat").arg(child));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        // pid (comm) state ppid ...: comm may hold blanks, so count after its ')'.
        const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == pid)
            out << child;
    }
    return out;
}

struct Run {
    double seconds = -1; // negative when it failed
    long parentKib = 0;
    std::map<qint64, long> workerKib;
};

Run timed(const QStringList& args)
{
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-cli");
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(cli, args);
    Run run;
    if (!p.waitForStarted(-1))
        return run;
    const qint64 pid = p.processId();
    while (!p.waitForFinished(10)) {
        run.parentKib = std::max(run.parentKib, peakKib(pid));
        for (qint64 child : childrenOf(pid)) {
            // Between fork and exec a child still shows the parent's figures.
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(child));
            if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains("--worker"))
                run.workerKib[child] = std::max(run.workerKib[child], peakKib(child));
        }
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "bench_commission: %s failed:\n%s%s\n", qPrintable(args.join(' ')),
                     p.readAllStandardOutput().constData(), p.readAllStandardError().constData());
        return run;
    }
    run.seconds = double(clock.nsecsElapsed()) / 1e9;
    const QByteArray out = p.readAllStandardOutput();
    if (args[0] == QLatin1String("commission"))
        std::printf("%s", out.constData());
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--help"))) {
        std::printf("usage: bench_commission [--backgrounds N] [--controllers K] [--jobs J] [--no-line-rate]\n"
                    "corvane-cli commission to K virtual controllers (default 3), J at a time (default K), at the\n"
                    "emulated line rate unless --no-line-rate, configuration and N noise backgrounds (default 3)\n"
                    "with --verify, against corvane-cli upload of the same project to one: both wall times and\n"
                    "their ratio, whether every memory is exact, the parent's and the workers' peak memory.\n");
        return 0;
    }
    auto option = [&args](const char* name, int fallback, int low, int high) {
        const int at = int(args.indexOf(QLatin1String(name)));
        return at > 0 && at + 1 < args.size() ? qBound(low, args.at(at + 1).toInt(), high) : fallback;
    };
    const int backgrounds = option("--backgrounds", 3, 1, kMaxImagesPerHandle);
    const int controllers = option("--controllers", 3, 1, 64);
    const int jobs = option("--jobs", controllers, 1, 64);

    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("bench.cvp"));
    writeProject(project, backgrounds);
    SimOptions paced;
    paced.lineRate = !args.contains(QStringLiteral("--no-line-rate"));

    VirtualController one(paced);
    if (!one.start())
        return 1;
    const Run single = timed(
        {QStringLiteral("upload"), QStringLiteral("--port"), one.portName(), project, QStringLiteral("--verify")});

    std::vector<std::unique_ptr<VirtualController>> sims;
    QStringList commission{QStringLiteral("commission"),
                           project,
                           QStringLiteral("--verify"),
                           QStringLiteral("--log"),
                           dir.filePath(QStringLiteral("bench.jsonl")),
                           QStringLiteral("--jobs"),
                           QString::number(jobs)};
    for (int i = 0; i < controllers; ++i) {
        sims.push_back(std::make_unique<VirtualController>(paced));
        if (!sims.back()->start())
            return 1;
        commission << QStringLiteral("--port") << sims.back()->portName();
    }
    const Run many = timed(commission);
    if (single.seconds < 0 || many.seconds < 0)
        return 1;
    // The single upload's memory is the measure of every controller's.
    const QByteArray config = one.memory(0, 1408);
    const QByteArray images = one.memory(0x80000, int(kImageStoreBytes));
    int exact = 0;
    for (const auto& sim : sims)
        exact += sim->memory(0, 1408) == config && sim->memory(0x80000, int(kImageStoreBytes)) == images ? 1 : 0;
    std::vector<long> workers;
    for (const auto& [pid, kib] : many.workerKib)
        workers.push_back(kib);
    std::sort(workers.begin(), workers.end());
    std::printf("upload to 1:      %7.2f s (peak %ld KiB)\ncommission to %d:  %7.2f s, %d at a time\n"
                "ratio:            %7.3f\nmemories exact:   %d of %d\n",
                single.seconds, single.parentKib, controllers, many.seconds, jobs, many.seconds / single.seconds, exact,
                controllers);
    std::printf("peak memory:      parent %ld KiB; %zu workers min %ld, median %ld, max %ld KiB\n", many.parentKib,
                workers.size(), workers.empty() ? 0L : workers.front(),
                workers.empty() ? 0L : workers[workers.size() / 2], workers.empty() ? 0L : workers.back());
    return exact == controllers ? 0 : 1;
}
