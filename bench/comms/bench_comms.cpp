// Timing of write transactions over a pseudo-terminal with the virtual
// controller behind it.
//
//   bench_comms [--round-trips N] [--skip-line-rate] [--backend posix|qt|all]
//
// Each measurement runs once per serial backend (default: all that the build
// has), in the same process, one after the other.
// 1. Line-rate emulation on: 266240 bytes in 520 writes of 512 bytes (a
//    firmware image), against the line's own time for the same traffic:
//    520 frames of 524 bytes plus one ACK each, at 23040 bytes/s.
// 2. No emulation: mean round trip of one 512-byte write transaction.
#include "core/comms/SerialBackend.h"
#include "core/comms/TVrexComms.h"
#include "core/protocol/BLcomms.h"
#include "core/protocol/CommsSetup.h"
#include "sim/lib/VirtualController.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr int kBlock = 512;
constexpr int kBlocks = 520;
constexpr uint32_t kStaging = 0x37000;

struct Run {
    bool ok = false;
    qint64 nanoseconds = 0;
    std::vector<qint64> each; // nanoseconds of every transaction
};

double percentileMs(std::vector<qint64> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(std::min<double>(v.size() - 1, p / 100.0 * (v.size() - 1) + 0.5));
    return v[i] / 1e6;
}

Run writeBlocks(bool lineRate, int blocks)
{
    SimOptions o;
    o.lineRate = lineRate;
    VirtualController sim(o);
    Run run;
    if (!sim.start())
        return run;
    TVrexComms comms;
    applyCommsSettings(comms);
    comms.portName = sim.portName();
    if (!comms.OpenComm())
        return run;
    std::vector<uint8_t> image(static_cast<std::size_t>(kBlock) * kBlocks);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 31 + 7);
    // One transaction first, so that start-up costs stay out of the figure.
    if (BL_WriteBlock(comms, BL::kCmdWriteMemory, kStaging, image.data(), kBlock, 30) != 1)
        return run;
    QElapsedTimer t;
    t.start();
    run.each.reserve(static_cast<std::size_t>(blocks));
    for (int i = 0; i < blocks; ++i) {
        const int b = i % kBlocks;
        const qint64 before = t.nsecsElapsed();
        if (BL_WriteBlock(comms, BL::kCmdWriteMemory, kStaging + kBlock * b, image.data() + kBlock * b, kBlock, 30)
            != 1)
            return run;
        run.each.push_back(t.nsecsElapsed() - before);
    }
    run.nanoseconds = t.nsecsElapsed();
    run.ok = blocks < kBlocks
        || sim.memory(kStaging, static_cast<int>(image.size()))
            == QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
    return run;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The measurement takes long: --help answers without running it.
    if (app.arguments().contains(QStringLiteral("--help")) || app.arguments().contains(QStringLiteral("-h"))) {
        std::fputs("Usage: bench_comms [--round-trips N] [--skip-line-rate] [--backend posix|qt|all]\n"
                   "Write transactions against the virtual controller, once per serial backend: with the\n"
                   "230400 bit/s line emulated (skipped with --skip-line-rate), then N round trips without it\n"
                   "(default 2000): mean and 99th percentile.\n",
                   stdout);
        return 0;
    }
    const QStringList args = app.arguments();
    int roundTrips = 2000;
    const int i = args.indexOf("--round-trips");
    if (i >= 0 && i + 1 < args.size())
        roundTrips = std::max(1, args[i + 1].toInt());
    QStringList backends = serialBackendNames();
    const int b = args.indexOf("--backend");
    if (b >= 0 && b + 1 < args.size() && args[b + 1] != QLatin1String("all")) {
        if (!backends.contains(args[b + 1])) {
            std::fprintf(stderr, "bench_comms: unknown backend %s\n", qPrintable(args[b + 1]));
            return 2;
        }
        backends = QStringList{args[b + 1]};
    }
    for (const QString& backend : backends) {
        qputenv(kSerialBackendVariable, backend.toLatin1());
        const QByteArray name = backend.toLatin1();
        if (!args.contains("--skip-line-rate")) {
            const Run r = writeBlocks(true, kBlocks);
            if (!r.ok) {
                std::fprintf(stderr, "%s: line-rate run failed\n", name.constData());
                return 1;
            }
            const double lineSeconds = kBlocks * (kBlock + 12 + 1) / 23040.0;
            const double seconds = r.nanoseconds / 1e9;
            std::printf("%-5s line-rate emulation: %d writes of %d bytes (%d bytes) in %.3f s; line time %.3f s; "
                        "ratio %.3f\n",
                        name.constData(), kBlocks, kBlock, kBlocks * kBlock, seconds, lineSeconds,
                        seconds / lineSeconds);
        }
        const Run r = writeBlocks(false, roundTrips);
        if (!r.ok) {
            std::fprintf(stderr, "%s: round-trip run failed\n", name.constData());
            return 1;
        }
        std::printf("%-5s no emulation: %d write transactions of %d bytes, round trip mean %.3f ms, 99th "
                    "percentile %.3f ms\n",
                    name.constData(), roundTrips, kBlock, r.nanoseconds / 1e6 / roundTrips, percentileMs(r.each, 99));
        std::fflush(stdout);
    }
    return 0;
}
