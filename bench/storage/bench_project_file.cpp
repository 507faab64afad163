// Time and peak memory of saving and opening a full project: 30 images in each
// visible group plus their thumbnails, as PNG data.
//
//   bench_project_file make FILE   build the project in memory, save it (timed)
//   bench_project_file load FILE   open it and decode its pictures as the window does (both
//                                  timed); run under /usr/bin/time -v for peak memory
#include "ProjectFixtures.h"
#include "core/imaging/ImageDecoding.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>

#include <sys/resource.h>

namespace {

QByteArray syntheticPng(int w, int h, quint32 seed)
{
    // A gradient with some noise: compresses like a photo-ish picture, not like a flat fill.
    QImage img(w, h, QImage::Format_ARGB32);
    QRandomGenerator rng(seed);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = int(rng.bounded(24));
            line[x] = qRgb((x * 255 / w + n) & 255, (y * 255 / h + n) & 255, ((x + y + seed) & 255));
        }
    }
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return png;
}

long peakKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The measurement takes long: --help answers without running it.
    if (app.arguments().contains(QStringLiteral("--help")) || app.arguments().contains(QStringLiteral("-h"))) {
        std::fputs("Usage: bench_project_file make|load FILE\n"
                   "make: write a project of 150 synthetic images to FILE and time the save;\n"
                   "load: time reading FILE and decoding its pictures.\n",
                   stdout);
        return 0;
    }
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[1] != "make" && args[1] != "load")) {
        out << "usage: bench_project_file make|load FILE\n";
        return 2;
    }
    const QString path = args[2];
    TDevice_Config_v2 rec = newProjectConfig();
    THandleList handles;

    if (args[1] == "make") {
        createDefaultHandles(handles);
        quint32 seed = 1;
        for (auto& h : handles) {
            for (int i = 0; i < 30; ++i) {
                TCell_object& c
                    = addFixtureImage(*h, QString("IMAGE_%1").arg(i), syntheticPng(h->width, h->height, seed++));
                c.imageSize = int(c.imgFileData.size() / 3);
            }
        }
        QElapsedTimer t;
        t.start();
        Save_Project_File(path, rec, handles);
        out << "saved " << QFileInfo(path).size() << " bytes (150 images) in " << t.nsecsElapsed() / 1e6
            << " ms; peak RSS " << peakKiB() / 1024.0 << " MiB\n";
        return 0;
    }

    const long before = peakKiB();
    QElapsedTimer t;
    t.start();
    const bool ok = Load_Project_File(path, rec, handles);
    out << (ok ? "opened " : "refused ") << QFileInfo(path).size() << " bytes in " << t.nsecsElapsed() / 1e6
        << " ms; peak RSS " << peakKiB() / 1024.0 << " MiB (" << before / 1024.0 << " MiB before)\n";
    if (!ok)
        return 1;

    t.restart();
    int decoded = 0;
    for (auto& h : handles)
        for (auto& c : h->cells)
            decoded += restoreCellBitmaps(*c, nullptr) ? 1 : 0;
    out << "decoded " << decoded << " pictures in " << t.nsecsElapsed() / 1e6 << " ms; peak RSS " << peakKiB() / 1024.0
        << " MiB\n";
    return 0;
}
