#include "CliFixtures.h"

#include "core/imaging/PixelFormat.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QtTest>

QImage fixturePicture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed * 31) & 255, (y * 5 + seed * 17) & 255, (x + y + seed) & 255));
    }
    return image;
}

FixtureProject::FixtureProject(bool withImages) : rec(newProjectConfig())
{
    createDefaultHandles(handles);
    if (!withImages)
        return;
    int seed = 1;
    for (int position : {kBackgroundsIdx, kLogosIdx, kBgThumbnailsIdx, kLogoThumbnailsIdx}) {
        THandle_object& h = *handles[size_t(position)];
        addFixtureImage(h, position == kLogosIdx || position == kLogoThumbnailsIdx ? "SUN" : "SKY",
                        fixturePicture(h.width, h.height, seed++), TFixtureImage::Stored);
    }
}

void FixtureProject::save(const QString& path) const
{
    Save_Project_File(path, rec, handles);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
