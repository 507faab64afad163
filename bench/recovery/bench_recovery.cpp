// bench_recovery: the cost of keeping an unsaved project safe, on the
// largest project of the benchmarks (150 pictures; bench_project_file make
// writes it). Per round one edit of the record is made in the window:
//   step   recording the edit as an undo step (window thread)
//   hold   taking the state and handing it to the worker (window thread)
//   write  turning it into bytes and writing the recovery file (worker)
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_recovery [--rounds N] [PROJECT.cvp]
// Without a project the same 150 pictures are made in memory first.

#include "ProjectFixtures.h"
#include "core/document/TProjectDocument.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "ui/app/TConfiguratorApplication.h"
#include "ui/app/TProjectCommands.h"
#include "ui/app/TProjectRecovery.h"
#include "ui/app/Tbmpgen_Form.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

QString makeLargestProject(const QString& path)
{
    TDevice_Config_v2 rec = newProjectConfig();
    THandleList handles;
    createDefaultHandles(handles);
    int seed = 1;
    for (auto& h : handles)
        for (int i = 0; i < 30; ++i)
            addFixtureImage(*h, QStringLiteral("IMAGE_%1").arg(i),
                            pngBytes(gradientPicture(h->width, h->height, seed++)));
    Save_Project_File(path, rec, handles);
    return path;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

struct Figures {
    std::vector<double> ms;
    double median()
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }
    double worst() { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    double p95()
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    }
};

} // namespace

int main(int argc, char** argv)
{
    TConfiguratorApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Time of an undo step and of the recovery file."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("rounds"), QStringLiteral("Edits to time (default 20)."), QStringLiteral("N"),
                      QStringLiteral("20")});
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("A project to open."),
                                 QStringLiteral("[PROJECT]"));
    parser.process(app);
    const int rounds = std::max(1, parser.value(QStringLiteral("rounds")).toInt());

    QTemporaryDir dir;
    const QString project = parser.positionalArguments().isEmpty()
        ? makeLargestProject(dir.filePath(QStringLiteral("largest.cvp")))
        : QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();

    Tbmpgen_Form window;
    window.show();
    TProjectRecovery recovery(window, dir.filePath(QStringLiteral("recovery")));
    window.commands()->openProjectPath(project);
    TProjectDocument& document = window.document();
    if (document.images().empty()) {
        std::fprintf(stderr, "bench_recovery: cannot open %s\n", qPrintable(project));
        return 1;
    }
    int images = 0;
    for (const auto& h : document.images())
        images += int(h->cells.size());

    Figures step, capture, hold, holdCpu, write;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer t;
        t.start();
        document.edit(QStringLiteral("Frost Protection"),
                      [](TDevice_Config_v2& record) { record.frost_protection_enabled ^= 1; });
        step.ms.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        const TProjectState taken = document.currentState();
        capture.ms.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        const double cpuBefore = threadCpuMs();
        recovery.writeInBackground();
        holdCpu.ms.push_back(threadCpuMs() - cpuBefore);
        hold.ms.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        recovery.waitForWrite();
        write.ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("project %s: %d pictures, recovery file %lld bytes\n", qPrintable(QFileInfo(project).fileName()),
                images, static_cast<long long>(QFileInfo(recovery.filePath()).size()));
    std::printf("undo step (window thread)      median %.3f ms, worst %.3f ms\n", step.median(), step.worst());
    std::printf("state taken (window thread)    median %.3f ms, worst %.3f ms\n", capture.median(), capture.worst());
    std::printf("recovery hold (window thread)  median %.3f ms, 95th %.3f ms, worst %.3f ms\n", hold.median(),
                hold.p95(), hold.worst());
    // The processor time the window thread spent: on a busy machine the wall
    // clock above also counts the time it waited for a processor.
    std::printf("recovery hold, window CPU time median %.3f ms, worst %.3f ms\n", holdCpu.median(), holdCpu.worst());
    std::printf("recovery write (worker thread) median %.3f ms, worst %.3f ms\n", write.median(), write.worst());
    return 0;
}
