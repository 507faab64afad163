// Timing of the image conversion, the image data block, and Pillow's
// Floyd-Steinberg on the same picture as the reference point.
//
// usage: bench_imaging [--quick] [--no-pillow] [--block-only]

#include "BenchImages.h"
#include "ProjectFixtures.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/PixelFormat.h"
#include "core/model/ProjectModel.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

QTextStream out(stdout);

template <typename F> double medianMs(int reps, F&& body)
{
    std::vector<double> samples;
    for (int i = 0; i < reps; ++i) {
        const auto start = std::chrono::steady_clock::now();
        body();
        samples.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

long readStatusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

// Resets the kernel's peak-RSS mark so that VmHWM afterwards is the peak of
// what ran in between.
bool resetPeakRss()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

const int kFormats[] = {1, 17, 2, 3, 4, 5, 6, 0, 7};

void addCell(THandle_object& h, const QImage& bitmap, const QString& name)
{
    Add_Fixture_Image(h, name, bitmap);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The measurement takes long: --help answers without running it.
    if (app.arguments().contains(QStringLiteral("--help")) || app.arguments().contains(QStringLiteral("-h"))) {
        std::fputs("Usage: bench_imaging [--quick] [--block-only] [--no-pillow]\n"
                   "Conversion, packing and JPEG times per pixel format, then the image data block of a full\n"
                   "project, and a comparison with Pillow's Floyd-Steinberg when python3 has it.\n"
                   "  --quick       fewer repetitions\n"
                   "  --block-only  only the block build, with its peak memory\n"
                   "  --no-pillow   skip the Pillow comparison\n",
                   stdout);
        return 0;
    }
    const bool quick = app.arguments().contains("--quick");
    // --block-only measures the block build alone, in a process that has
    // converted nothing before, so its peak memory is the build's own.
    const bool blockOnly = app.arguments().contains("--block-only");
    const bool pillow = !blockOnly && !app.arguments().contains("--no-pillow");
    const int reps = quick ? 5 : 41;

    DeviceImageEncoder enc;
    const QImage photo = Bench_Photo(480, 272, 1);
    const QImage logo = Bench_Logo(125, 85, 2);

    double ours332 = 0;
    if (!blockOnly) {
        out << "Convert_Bitmap, median of " << reps << " runs (ms); 'stored' adds packing and zlib level 9\n";
        out << "format  name            480x272  stored   125x85  stored   bytes(480x272)\n";
        for (int f : kFormats) {
            const TDithering_Params p = Default_Dithering(f);
            const double big = medianMs(reps, [&] { enc.Convert_Bitmap(p, photo, f, false); });
            if (f == 4)
                ours332 = big;
            const double bigStored = medianMs(reps, [&] { enc.Estimate_Storage_Size(photo, p, true, f); });
            const double small = medianMs(reps * 4, [&] { enc.Convert_Bitmap(p, logo, f, false); });
            const double smallStored = medianMs(reps * 4, [&] { enc.Estimate_Storage_Size(logo, p, true, f); });
            const int bytes = enc.Estimate_Storage_Size(photo, p, true, f);
            out << QString::asprintf("%4d    %-14s %7.3f %7.3f %8.3f %7.3f  %8d\n", f, qPrintable(Pixel_Format_Name(f)),
                                     big, bigStored, small, smallStored, bytes);
        }
        // A standard deviation met for the first time draws its noise factors
        // once (they are reused by every later conversion with it).
        for (int f : {4, 6}) {
            std::vector<DeviceImageEncoder> fresh(static_cast<size_t>(reps));
            size_t next = 0;
            const double cold
                = medianMs(reps, [&] { fresh[next++].Convert_Bitmap(Default_Dithering(f), photo, f, false); });
            out << QString::asprintf("format %d, 480x272, first conversion with a new standard deviation: %.3f ms\n", f,
                                     cold);
        }
        // Flat colour is zlib's slow case at level 9: the dither pattern repeats
        // and every match search runs to the end of its chain.
        for (const QSize size : {QSize(480, 272), QSize(125, 85)}) {
            QImage flat(size, QImage::Format_ARGB32_Premultiplied);
            flat.fill(qRgb(0, 128, 0));
            for (int f : {6, 7}) {
                const TDithering_Params p = Default_Dithering(f);
                const double ms = medianMs(quick ? 3 : 11, [&] { enc.Estimate_Storage_Size(flat, p, true, f); });
                out << QString::asprintf(
                    "flat green %dx%d, format %d, converted, packed and compressed: %.3f ms, %d bytes\n", size.width(),
                    size.height(), f, ms, enc.Estimate_Storage_Size(flat, p, true, f));
            }
        }
        const double jpeg = medianMs(reps, [&] { enc.Encode_Jpeg(photo); });
        out << QString::asprintf("JPEG q90 of 480x272: %.3f ms, %d bytes\n", jpeg, enc.Jpeg_Data_Size());
        out.flush();
    }

    // Project: 30 backgrounds, 30 logos, 30 information screens and the thumbnails.
    THandle_List list;
    Create_Default_Handles(list);
    for (int i = 0; i < 30; ++i) {
        const QString name = QStringLiteral("IMAGE_%1").arg(i);
        addCell(*list[BACKGROUNDS_IDX], Bench_Photo(480, 272, 10 + i), name);
        addCell(*list[LOGOS_IDX], Bench_Logo(125, 85, 50 + i), name);
        addCell(*list[INFO_SCREENS_IDX], Bench_Photo(480, 272, 90 + i), name);
        addCell(*list[BG_THUMBNAILS_IDX], Bench_Photo(90, 51, 130 + i), name);
        addCell(*list[LOGO_THUMBNAILS_IDX], Bench_Logo(90, 61, 170 + i), name);
    }
    // Serial (one encoder, image after image) and parallel (every core) are
    // measured alternately in the same run, so both see the same load.
    QByteArray block;
    QByteArray serialBlock;
    Build_Image_Data(serialBlock, list, enc); // warm up
    Build_Image_Data(block, list);
    if (block != serialBlock) {
        std::fputs("bench_imaging: the parallel block differs from the serial one\n", stderr);
        return 1;
    }
    const long rssBefore = readStatusKb("VmRSS:");
    const bool peakKnown = resetPeakRss();
    const int blockReps = quick ? 3 : 9;
    std::vector<double> serialMs;
    std::vector<double> parallelMs;
    for (int i = 0; i < blockReps; ++i) {
        serialMs.push_back(medianMs(1, [&] {
            serialBlock.clear();
            Build_Image_Data(serialBlock, list, enc);
        }));
        parallelMs.push_back(medianMs(1, [&] {
            block.clear();
            Build_Image_Data(block, list);
        }));
    }
    const long peak = readStatusKb("VmHWM:");
    std::sort(serialMs.begin(), serialMs.end());
    std::sort(parallelMs.begin(), parallelMs.end());
    const double serial = serialMs[serialMs.size() / 2];
    const double parallel = parallelMs[parallelMs.size() / 2];
    out << QString::asprintf("Build_Image_Data, 30+30+30 images with 60 thumbnails, block %lld bytes (median of %d):\n",
                             (long long)block.size(), blockReps);
    out << QString::asprintf("  one encoder, image after image: %.1f ms\n", serial);
    out << QString::asprintf("  every core (%d threads): %.1f ms\n", QThread::idealThreadCount(), parallel);
    out << QString::asprintf("block parallel/serial = %.2f\n", parallel / serial);
    if (peakKnown)
        out << QString::asprintf("  resident memory before %ld KiB, peak during the builds %ld KiB (+%ld KiB)\n",
                                 rssBefore, peak, peak - rssBefore);
    out.flush();

    if (pillow) {
        QTemporaryDir dir;
        const QString png = dir.filePath("photo.png");
        photo.convertToFormat(QImage::Format_RGB888).save(png, "PNG");
        QProcess py;
        py.start(QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3"),
                 {QStringLiteral(CORVANE_BENCH_DIR "/pillow_fs_reference.py"), png, QString::number(quick ? 20 : 200)});
        if (!py.waitForFinished(600000) || py.exitCode() != 0) {
            out << "Pillow reference not available: " << py.readAllStandardError() << "\n";
            return 0;
        }
        const QList<QByteArray> words = py.readAllStandardOutput().trimmed().split(' ');
        const double pillowMs = words.value(1).toDouble();
        out << QString::asprintf("Pillow Floyd-Steinberg to a 3-3-2 palette, same 480x272 picture: %.3f ms\n",
                                 pillowMs);
        out << QString::asprintf("ours (format 4, RGB 3-3-2) / Pillow = %.3f / %.3f = %.2f\n", ours332, pillowMs,
                                 ours332 / pillowMs);
    }
    return 0;
}
