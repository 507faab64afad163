// corvane-cli commission on three virtual controllers at once against the
// same upload to one, every controller pacing its line at 230400 bit/s:
// configuration and images, with the configuration read back. Each port has
// a process of its own, so on a machine with fewer cores than ports the
// figure shows what the image conversion of each process costs the others.
//
//   bench_commission [--backgrounds N] [--controllers K]   (defaults 3 and 3)

#include "core/model/DeviceConfig.h"
#include "ProjectFixtures.h"
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

#include <cstdio>
#include <memory>
#include <vector>

namespace {

void Write_Project(const QString& path, int backgrounds)
{
    TDevice_Config_v2 rec = New_Project_Config();
    THandle_List handles;
    Create_Default_Handles(handles);
    THandle_object& bg = *handles[BACKGROUNDS_IDX];
    // Noise, so that nothing is smaller for being regular.
    while (int(bg.cells.size()) < backgrounds)
        Add_Fixture_Image(bg, QStringLiteral("NOISE%1").arg(bg.cells.size()),
                          Noise_Picture(bg.width, bg.height, quint32(bg.cells.size()) + 7), TFixtureImage::Stored);
    Save_Project_File(path, rec, handles);
}

// Seconds the command took; negative when it failed.
double Timed(const QStringList& args)
{
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-cli");
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(cli, args);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "bench_commission: %s failed:\n%s%s\n", qPrintable(args.join(' ')),
                     p.readAllStandardOutput().constData(), p.readAllStandardError().constData());
        return -1;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const QByteArray out = p.readAllStandardOutput();
    if (args[0] == QLatin1String("commission"))
        std::printf("%s", out.constData());
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.contains(QStringLiteral("--help"))) {
        std::printf("usage: bench_commission [--backgrounds N] [--controllers K]\n"
                    "corvane-cli commission to K virtual controllers (default 3) at the emulated line rate,\n"
                    "configuration and N noise backgrounds (default 3) with --verify, against corvane-cli upload\n"
                    "of the same project to one: both wall times and their ratio.\n");
        return 0;
    }
    auto option = [&args](const char* name, int fallback, int low, int high) {
        const int at = int(args.indexOf(QLatin1String(name)));
        return at > 0 && at + 1 < args.size() ? qBound(low, args.at(at + 1).toInt(), high) : fallback;
    };
    const int backgrounds = option("--backgrounds", 3, 1, kMaxImagesPerHandle);
    const int controllers = option("--controllers", 3, 1, 16);

    QTemporaryDir dir;
    const QString project = dir.filePath(QStringLiteral("bench.cvp"));
    Write_Project(project, backgrounds);
    SimOptions paced;
    paced.lineRate = true;

    VirtualController one(paced);
    if (!one.start())
        return 1;
    const double single = Timed({QStringLiteral("upload"), QStringLiteral("--port"), one.portName(), project,
                                 QStringLiteral("--verify")});

    std::vector<std::unique_ptr<VirtualController>> sims;
    QStringList commission{QStringLiteral("commission"), project, QStringLiteral("--verify"), QStringLiteral("--log"),
                           dir.filePath(QStringLiteral("bench.jsonl"))};
    for (int i = 0; i < controllers; ++i) {
        sims.push_back(std::make_unique<VirtualController>(paced));
        if (!sims.back()->start())
            return 1;
        commission << QStringLiteral("--port") << sims.back()->portName();
    }
    const double many = Timed(commission);
    if (single < 0 || many < 0)
        return 1;
    std::printf("upload to 1:      %7.2f s\ncommission to %d:  %7.2f s\nratio:            %7.3f\n", single,
                controllers, many, many / single);
    return 0;
}
