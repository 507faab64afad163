#include "CliFixtures.h"

#include "core/imaging/PixelFormat.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QtTest>

QImage Fixture_Picture(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + seed * 31) & 255, (y * 5 + seed * 17) & 255, (x + y + seed) & 255));
    }
    return image;
}

FixtureProject::FixtureProject(bool withImages) : rec(New_Project_Config())
{
    Create_Default_Handles(handles);
    if (!withImages)
        return;
    int seed = 1;
    for (int position : {BACKGROUNDS_IDX, LOGOS_IDX, BG_THUMBNAILS_IDX, LOGO_THUMBNAILS_IDX}) {
        THandle_object& h = *handles[size_t(position)];
        Add_Fixture_Image(h, position == LOGOS_IDX || position == LOGO_THUMBNAILS_IDX ? "SUN" : "SKY",
                          Fixture_Picture(h.width, h.height, seed++), TFixtureImage::Stored);
    }
}

void FixtureProject::save(const QString& path) const
{
    Save_Project_File(path, rec, handles);
}

void Write_File(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray Read_File(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
