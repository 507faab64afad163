// Timing of the image conversion, the image data block, and Pillow's
// Floyd-Steinberg on the same picture as the reference point. Figures that
// are compared (ours against Pillow, grey against colour) are taken
// alternately in one run, so that both sides of a ratio see the same load.
//
// usage: bench_imaging [--quick] [--no-pillow] [--block-only] [--compare-only]

#include "BenchImages.h"
#include "PillowReference.h"
#include "ProjectFixtures.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/NoiseSequence.h"
#include "core/imaging/PixelFormat.h"
#include "core/model/ProjectModel.h"

#include <QCoreApplication>
#include <QFile>
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
const int kColourFormats[] = {4, 5, 6, 0, 7};
const int kGreyFormats[] = {1, 17, 2, 3};

struct Interleaved {
    double a = 0;     // median of a's samples
    double b = 0;     // median of b's samples
    double ratio = 0; // median of the rounds' a/b: a load spike that hits one side of one round moves it less
};

// a and b (each returns milliseconds) timed alternately: a, b, a, b...
template <typename A, typename B> Interleaved interleavedMs(int rounds, A&& a, B&& b)
{
    std::vector<double> as;
    std::vector<double> bs;
    std::vector<double> ratios;
    for (int i = 0; i < rounds; ++i) {
        as.push_back(a());
        bs.push_back(b());
        ratios.push_back(as.back() / bs.back());
    }
    std::sort(as.begin(), as.end());
    std::sort(bs.begin(), bs.end());
    std::sort(ratios.begin(), ratios.end());
    return {as[as.size() / 2], bs[bs.size() / 2], ratios[ratios.size() / 2]};
}

// Mean milliseconds of one conversion over a batch (one timer read per batch).
double conversionMs(DeviceImageEncoder& enc, const QImage& picture, int format, int batch)
{
    const TDithering_Params p = Default_Dithering(format);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < batch; ++i)
        enc.Convert_Bitmap(p, picture, format, false);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / batch;
}

QString formatLabel(int format)
{
    return QStringLiteral("format %1 %2").arg(format).arg(pixelFormatName(format));
}

// Grey formats against RGB 3-3-2, and ours against Pillow's Floyd-Steinberg.
void compareInterleaved(DeviceImageEncoder& enc, const QImage& photo, bool quick, bool pillow)
{
    // One conversion a sample and many rounds: the closer the two sides
    // follow each other, the more alike the load each of them meets.
    const int rounds = quick ? 11 : 151;
    const int batch = 1;
    out << "\nInterleaved: " << rounds << " rounds alternating the two sides, one conversion of the same 480x272 "
        << "picture a side; medians\n";
    for (int f : kGreyFormats) {
        // An encoder a side: each keeps the noise factors of its own
        // deviation, as a converter does from one conversion to the next.
        DeviceImageEncoder greyEnc;
        DeviceImageEncoder colourEnc;
        conversionMs(greyEnc, photo, f, 1);
        conversionMs(colourEnc, photo, 4, 1);
        const auto [grey, colour, perRound] = interleavedMs(
            rounds, [&] { return conversionMs(greyEnc, photo, f, batch); },
            [&] { return conversionMs(colourEnc, photo, 4, batch); });
        out << QString::asprintf("%-22s %7.3f ms, RGB 3-3-2 %7.3f ms (rounds' median %.2f): grey/colour = %.2f\n",
                                 qPrintable(formatLabel(f)), grey, colour, perRound, grey / colour);
    }
    out.flush();

    // What ours does and Pillow does not: Gaussian noise on every opaque
    // pixel. Its factors are drawn once per standard deviation and kept, so
    // the conversion times hold only their addition; the draws are timed here.
    const size_t pixels = size_t(photo.width()) * size_t(photo.height());
    for (int f : kColourFormats) {
        const double stdev = Default_Dithering(f).random_stdev;
        const double draws = medianMs(quick ? 3 : 9, [&] {
            NoiseSequence fresh;
            fresh.factors(stdev, pixels);
        });
        out << QString::asprintf("%-22s ours only: drawing %zu Gaussian noise factors (stdev %.1f): %.3f ms, once per "
                                 "deviation, not in the times below\n",
                                 qPrintable(formatLabel(f)), pixels, stdev, draws);
    }
    out.flush();
    if (!pillow)
        return;
    PillowReference reference;
    if (!reference.start(photo)) {
        out << "Pillow reference not available: " << reference.error() << "\n";
        return;
    }
    out << "Pillow: Floyd-Steinberg to a 256-colour 3-3-2 palette (RGB, no noise, 8-bit integer error)\n";
    for (int f : kColourFormats) {
        conversionMs(enc, photo, f, 1); // its noise factors drawn before timing
        const auto [ours, theirs, perRound] = interleavedMs(
            rounds, [&] { return conversionMs(enc, photo, f, batch); }, [&] { return reference.msPerImage(batch); });
        if (theirs <= 0) {
            out << "Pillow reference stopped answering\n";
            return;
        }
        out << QString::asprintf("%-22s ours %7.3f ms, Pillow %7.3f ms (rounds' median %.2f): ours/Pillow "
                                 "(interleaved) = %.2f\n",
                                 qPrintable(formatLabel(f)), ours, theirs, perRound, ours / theirs);
        out.flush();
    }
}

void addCell(THandle_object& h, const QImage& bitmap, const QString& name)
{
    addFixtureImage(h, name, bitmap);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The measurement takes long: --help answers without running it.
    if (app.arguments().contains(QStringLiteral("--help")) || app.arguments().contains(QStringLiteral("-h"))) {
        std::fputs("Usage: bench_imaging [--quick] [--block-only] [--no-pillow] [--compare-only]\n"
                   "Conversion, packing and JPEG times per pixel format; grey against colour and ours against\n"
                   "Pillow's Floyd-Steinberg (when python3 has it), timed alternately; then the image data block\n"
                   "of a full project.\n"
                   "  --quick       fewer repetitions\n"
                   "  --block-only  only the block build, with its peak memory\n"
                   "  --no-pillow   skip the Pillow comparison (grey against colour still runs)\n"
                   "  --compare-only  only the alternating comparisons\n",
                   stdout);
        return 0;
    }
    const bool quick = app.arguments().contains("--quick");
    // --block-only measures the block build alone, in a process that has
    // converted nothing before, so its peak memory is the build's own.
    const bool blockOnly = app.arguments().contains("--block-only");
    const bool pillow = !blockOnly && !app.arguments().contains("--no-pillow");
    const int reps = quick ? 5 : 41;
    if (app.arguments().contains(QStringLiteral("--compare-only"))) {
        DeviceImageEncoder enc;
        compareInterleaved(enc, benchPhoto(480, 272, 1), quick, pillow);
        return 0;
    }

    DeviceImageEncoder enc;
    const QImage photo = benchPhoto(480, 272, 1);
    const QImage logo = benchLogo(125, 85, 2);

    if (!blockOnly) {
        out << "Convert_Bitmap, median of " << reps << " runs (ms); 'stored' adds packing and zlib level 9\n";
        out << "format  name            480x272  stored   125x85  stored   bytes(480x272)\n";
        for (int f : kFormats) {
            const TDithering_Params p = Default_Dithering(f);
            const double big = medianMs(reps, [&] { enc.Convert_Bitmap(p, photo, f, false); });
            const double bigStored = medianMs(reps, [&] { enc.Estimate_Storage_Size(photo, p, true, f); });
            const double small = medianMs(reps * 4, [&] { enc.Convert_Bitmap(p, logo, f, false); });
            const double smallStored = medianMs(reps * 4, [&] { enc.Estimate_Storage_Size(logo, p, true, f); });
            const int bytes = enc.Estimate_Storage_Size(photo, p, true, f);
            out << QString::asprintf("%4d    %-14s %7.3f %7.3f %8.3f %7.3f  %8d\n", f, qPrintable(pixelFormatName(f)),
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
        compareInterleaved(enc, photo, quick, pillow);
        out << "\n";
    }

    // Project: 30 backgrounds, 30 logos, 30 information screens and the thumbnails.
    THandleList list;
    createDefaultHandles(list);
    for (int i = 0; i < 30; ++i) {
        const QString name = QStringLiteral("IMAGE_%1").arg(i);
        addCell(*list[kBackgroundsIdx], benchPhoto(480, 272, 10 + i), name);
        addCell(*list[kLogosIdx], benchLogo(125, 85, 50 + i), name);
        addCell(*list[kInfoScreensIdx], benchPhoto(480, 272, 90 + i), name);
        addCell(*list[kBgThumbnailsIdx], benchPhoto(90, 51, 130 + i), name);
        addCell(*list[kLogoThumbnailsIdx], benchLogo(90, 61, 170 + i), name);
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

    return 0;
}
