#include "test_images.h"

#include "PictureFiles.h"
#include "UiTestFixtures.h"
#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageImport.h"

#include <QtTest>

#include <sys/stat.h>

void TestImageImport::nameFromFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("leading digit") << "/pics/2020 Logo.png"
                                   << "_2020 LOGO_PNG";
    QTest::newRow("dots and blanks") << "/pics/sun logo.big.png"
                                     << "SUN LOGO_BIG_PNG";
    QTest::newRow("dot in a folder") << "/a.b/c/x.gif"
                                     << "X_GIF";
    QTest::newRow("windows folder") << "C:\\pics\\9.bmp"
                                    << "_9_BMP";
    QTest::newRow("underscore first") << "/p/_x.jpg"
                                      << "_X_JPG";
}

void TestImageImport::nameFromFile()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(imageNameFromFile(path), name);
}

void TestImageImport::fileVerdicts_data()
{
    QTest::addColumn<int>("handle");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("status");
    const QDir d(m_dir.path());
    const int full = kImageAddedSuccessfully;
    QTest::newRow("png background") << int(kBackgroundsIdx) << writePicture(d, "a.png", 480, 272, Qt::blue) << full;
    QTest::newRow("bmp info screen") << int(kInfoScreensIdx) << writePicture(d, "b.bmp", 480, 272, Qt::red) << full;
    QTest::newRow("jpeg info screen") << int(kInfoScreensIdx) << writePicture(d, "c.jpg", 480, 272, Qt::green) << full;
    QTest::newRow("gif logo") << int(kLogosIdx) << writePicture(d, "d.gif", 125, 85, Qt::yellow) << full;
    QTest::newRow("background on logos") << int(kLogosIdx) << writePicture(d, "e.png", 480, 272, Qt::blue)
                                         << int(kImageDimensionsNotCompatible);
    QTest::newRow("one pixel short") << int(kBackgroundsIdx) << writePicture(d, "f.png", 480, 271, Qt::blue)
                                     << int(kImageDimensionsNotCompatible);
    QTest::newRow("0 x 0 bmp") << int(kLogosIdx) << writeFile(d, "g.bmp", bmpHeaderBytes(0, 0))
                               << int(kInvalidImageFile);
    QTest::newRow("text named png") << int(kLogosIdx) << writeFile(d, "h.png", "hello, not a picture")
                                    << int(kInvalidImageFile);
    QTest::newRow("picture with a foreign extension")
        << int(kLogosIdx) << writeFile(d, "i.txt", fileBytes(writePicture(d, "i.png", 125, 85, Qt::red)))
        << int(kInvalidImageFile);
    // Refused on the size its header declares, before 30 million pixels are
    // decoded.
    QTest::newRow("huge declared size") << int(kBackgroundsIdx) << writeFile(d, "k.bmp", bmpHeaderBytes(6000, 5000))
                                        << int(kImageDimensionsNotCompatible);
    // A pipe named like a picture: refused, not read until it ends.
    const QString fifo = d.filePath("pipe.png");
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0)
        QTest::newRow("named pipe") << int(kLogosIdx) << fifo << int(kInvalidImageFile);
    QTest::newRow("missing file") << int(kLogosIdx) << d.filePath("gone.png") << int(kInvalidImageFile);
    QTest::newRow("empty file") << int(kLogosIdx) << writeFile(d, "j.gif", QByteArray()) << int(kInvalidImageFile);
}

void TestImageImport::fileVerdicts()
{
    QFETCH(int, handle);
    QFETCH(QString, file);
    QFETCH(int, status);
    THandleList list;
    createDefaultHandles(list);
    const TImportResult r = Import_Image_File(list, handle, file);
    QCOMPARE(r.status, status);
    const bool added = status == kImageAddedSuccessfully;
    QCOMPARE(list[size_t(handle)]->cells.size(), size_t(added ? 1 : 0));
    if (!added) {
        QCOMPARE(projectStorageUsed(list), qint64(0));
        return;
    }
    const TCell_object& cell = *list[size_t(handle)]->cells[0];
    QCOMPARE(r.cell, &cell);
    QCOMPARE(cell.fmxbmp.size(), QSize(list[size_t(handle)]->width, list[size_t(handle)]->height));
    QCOMPARE(cell.fmxbmp.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(cell.fileSize, int32_t(QFileInfo(file).size()));
    QVERIFY(cell.image_file_path.isEmpty());
    QVERIFY(cell.imageSize > 0);
    QCOMPARE(list[size_t(handle)]->memory_usage, cell.imageSize);
    // The stored bytes are a PNG of the picture, and the stored size is what
    // the encoder gives the cell afresh.
    QVERIFY(cell.imgFileData.startsWith("\x89PNG"));
    QCOMPARE(QImage::fromData(cell.imgFileData).convertToFormat(QImage::Format_ARGB32_Premultiplied), cell.fmxbmp);
    QCOMPARE(Cell_Storage_Size(cell), cell.imageSize);
}

void TestImageImport::logoGetsItsThumbnail()
{
    THandleList list;
    createDefaultHandles(list);
    // Half-transparent red, so the thumbnail's scaling and its transparent
    // border both show in the stored pixels.
    const QString file = writePicture(QDir(m_dir.path()), "2020 Logo.png", 125, 85, QColor(255, 0, 0, 128));
    const TImportResult r = Import_Image_File(list, kLogosIdx, file);
    QCOMPARE(r.status, int(kImageAddedSuccessfully));
    const THandle_object& thumbs = *list[kLogoThumbnailsIdx];
    QCOMPARE(thumbs.cells.size(), size_t(1));
    const TCell_object& thumb = *thumbs.cells[0];
    QCOMPARE(r.thumbnail, &thumb);
    QCOMPARE(thumb.name, QStringLiteral("_2020 LOGO_PNG"));
    QCOMPARE(r.cell->name, thumb.name);
    QCOMPARE(thumb.fmxbmp.size(), QSize(90, 61));
    QCOMPARE(thumb.pHandle, &thumbs);
    QCOMPARE(thumb.handle_id, 5);
    QVERIFY(qAbs(qAlpha(thumb.fmxbmp.pixel(45, 10)) - 128) <= 2);
    // Scaled to fit, centred: a 100 x 50 picture fills 90 x 45 of a 90 x 61
    // thumbnail, with 8 clear rows above and below.
    QImage wide(100, 50, QImage::Format_ARGB32_Premultiplied);
    wide.fill(Qt::red);
    const QImage fitted = makeThumbnail(wide, QSize(90, 61));
    QCOMPARE(fitted.size(), QSize(90, 61));
    QCOMPARE(fitted.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(qAlpha(fitted.pixel(45, 6)), 0);
    QCOMPARE(qAlpha(fitted.pixel(45, 54)), 0);
    QCOMPARE(fitted.pixel(0, 30), 0xffff0000u);
    QCOMPARE(fitted.pixel(89, 30), 0xffff0000u);
    QCOMPARE(Cell_Storage_Size(thumb), thumb.imageSize);
    QCOMPARE(thumbs.memory_usage, thumb.imageSize);
    QCOMPARE(projectStorageUsed(list), qint64(r.cell->imageSize) + thumb.imageSize);
}

void TestImageImport::storageMustStayBelowTheFreeSpace_data()
{
    QTest::addColumn<int>("spare");
    QTest::addColumn<int>("status");
    QTest::newRow("exact fit") << 0 << int(kNotEnoughFreeStorageMemory);
    QTest::newRow("one byte short") << -1 << int(kNotEnoughFreeStorageMemory);
    QTest::newRow("one byte to spare") << 1 << int(kImageAddedSuccessfully);
}

void TestImageImport::storageMustStayBelowTheFreeSpace()
{
    QFETCH(int, spare);
    QFETCH(int, status);
    THandleList list;
    createDefaultHandles(list);
    const QString file = writePicture(QDir(m_dir.path()), "bg.png", 480, 272, Qt::darkCyan);
    const TImportTarget target = TImportTarget::of(list, kBackgroundsIdx);
    TPreparedImage prepared = prepareImport(file, target);
    QCOMPARE(prepared.status, int(kImageAddedSuccessfully));
    const qint64 needed = qint64(prepared.estimate) + prepared.thumbnailEstimate;
    // The rest of the store is taken by information screens and logos.
    list[kInfoScreensIdx]->memory_usage = int32_t((kImageStoreBytes - needed - spare) / 2);
    list[kLogosIdx]->memory_usage = int32_t(kImageStoreBytes - needed - spare - list[kInfoScreensIdx]->memory_usage);
    QCOMPARE(projectStorageFree(list), needed + spare);

    const TImportResult r = applyImport(list, target, std::move(prepared));
    QCOMPARE(r.status, status);
    const size_t added = status == kImageAddedSuccessfully ? 1 : 0;
    QCOMPARE(list[kBackgroundsIdx]->cells.size(), added);
    QCOMPARE(list[kBgThumbnailsIdx]->cells.size(), added);
}

void TestImageImport::fullListRefusesBeforeReading()
{
    THandleList list;
    createDefaultHandles(list);
    const QDir d(m_dir.path());
    const QString logo = writePicture(d, "logo.png", 125, 85, Qt::magenta);
    for (int i = 0; i < 29; ++i)
        Add_Cell(*list[kLogosIdx], QImage(125, 85, QImage::Format_ARGB32_Premultiplied), QByteArray(),
                 QStringLiteral("L%1").arg(i), 10, 100, {});
    QCOMPARE(Import_Image_File(list, kLogosIdx, logo).status, int(kImageAddedSuccessfully));
    QCOMPARE(list[kLogosIdx]->cells.size(), size_t(kMaxImagesPerHandle));
    // A thirty-first is refused as a full list, whatever the file holds.
    QCOMPARE(Import_Image_File(list, kLogosIdx, logo).status, int(kImageListFull));
    QCOMPARE(Import_Image_File(list, kLogosIdx, d.filePath("gone.png")).status, int(kImageListFull));
    QCOMPARE(list[kLogosIdx]->cells.size(), size_t(kMaxImagesPerHandle));
    QCOMPARE(importStatusText(kImageListFull), QStringLiteral("Image List Full"));
    QCOMPARE(importStatusText(kInvalidImageFile), QStringLiteral("Invalid Image File"));
}
