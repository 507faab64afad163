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
    QCOMPARE(Image_Name_From_File(path), name);
}

void TestImageImport::fileVerdicts_data()
{
    QTest::addColumn<int>("handle");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("status");
    const QDir d(dir.path());
    const int full = Image_Added_Successfully;
    QTest::newRow("png background") << int(BACKGROUNDS_IDX) << Write_Picture(d, "a.png", 480, 272, Qt::blue) << full;
    QTest::newRow("bmp info screen") << int(INFO_SCREENS_IDX) << Write_Picture(d, "b.bmp", 480, 272, Qt::red) << full;
    QTest::newRow("jpeg info screen") << int(INFO_SCREENS_IDX) << Write_Picture(d, "c.jpg", 480, 272, Qt::green)
                                      << full;
    QTest::newRow("gif logo") << int(LOGOS_IDX) << Write_Picture(d, "d.gif", 125, 85, Qt::yellow) << full;
    QTest::newRow("background on logos") << int(LOGOS_IDX) << Write_Picture(d, "e.png", 480, 272, Qt::blue)
                                         << int(Image_Dimensions_Not_Compatible);
    QTest::newRow("one pixel short") << int(BACKGROUNDS_IDX) << Write_Picture(d, "f.png", 480, 271, Qt::blue)
                                     << int(Image_Dimensions_Not_Compatible);
    QTest::newRow("0 x 0 bmp") << int(LOGOS_IDX) << Write_File(d, "g.bmp", Bmp_Header_Bytes(0, 0))
                               << int(Invalid_Image_File);
    QTest::newRow("text named png") << int(LOGOS_IDX) << Write_File(d, "h.png", "hello, not a picture")
                                    << int(Invalid_Image_File);
    QTest::newRow("picture with a foreign extension")
        << int(LOGOS_IDX) << Write_File(d, "i.txt", File_Bytes(Write_Picture(d, "i.png", 125, 85, Qt::red)))
        << int(Invalid_Image_File);
    // Refused on the size its header declares, before 30 million pixels are
    // decoded.
    QTest::newRow("huge declared size") << int(BACKGROUNDS_IDX) << Write_File(d, "k.bmp", Bmp_Header_Bytes(6000, 5000))
                                        << int(Image_Dimensions_Not_Compatible);
    // A pipe named like a picture: refused, not read until it ends.
    const QString fifo = d.filePath("pipe.png");
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0)
        QTest::newRow("named pipe") << int(LOGOS_IDX) << fifo << int(Invalid_Image_File);
    QTest::newRow("missing file") << int(LOGOS_IDX) << d.filePath("gone.png") << int(Invalid_Image_File);
    QTest::newRow("empty file") << int(LOGOS_IDX) << Write_File(d, "j.gif", QByteArray()) << int(Invalid_Image_File);
}

void TestImageImport::fileVerdicts()
{
    QFETCH(int, handle);
    QFETCH(QString, file);
    QFETCH(int, status);
    THandle_List list;
    Create_Default_Handles(list);
    const TImport_Result r = Import_Image_File(list, handle, file);
    QCOMPARE(r.status, status);
    const bool added = status == Image_Added_Successfully;
    QCOMPARE(list[size_t(handle)]->cells.size(), size_t(added ? 1 : 0));
    if (!added) {
        QCOMPARE(Project_Storage_Used(list), qint64(0));
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
    THandle_List list;
    Create_Default_Handles(list);
    // Half-transparent red, so the thumbnail's scaling and its transparent
    // border both show in the stored pixels.
    const QString file = Write_Picture(QDir(dir.path()), "2020 Logo.png", 125, 85, QColor(255, 0, 0, 128));
    const TImport_Result r = Import_Image_File(list, LOGOS_IDX, file);
    QCOMPARE(r.status, int(Image_Added_Successfully));
    const THandle_object& thumbs = *list[LOGO_THUMBNAILS_IDX];
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
    const QImage fitted = Make_Thumbnail(wide, QSize(90, 61));
    QCOMPARE(fitted.size(), QSize(90, 61));
    QCOMPARE(fitted.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(qAlpha(fitted.pixel(45, 6)), 0);
    QCOMPARE(qAlpha(fitted.pixel(45, 54)), 0);
    QCOMPARE(fitted.pixel(0, 30), 0xffff0000u);
    QCOMPARE(fitted.pixel(89, 30), 0xffff0000u);
    QCOMPARE(Cell_Storage_Size(thumb), thumb.imageSize);
    QCOMPARE(thumbs.memory_usage, thumb.imageSize);
    QCOMPARE(Project_Storage_Used(list), qint64(r.cell->imageSize) + thumb.imageSize);
}

void TestImageImport::storageMustStayBelowTheFreeSpace_data()
{
    QTest::addColumn<int>("spare");
    QTest::addColumn<int>("status");
    QTest::newRow("exact fit") << 0 << int(Not_Enough_Free_Storage_Memory);
    QTest::newRow("one byte short") << -1 << int(Not_Enough_Free_Storage_Memory);
    QTest::newRow("one byte to spare") << 1 << int(Image_Added_Successfully);
}

void TestImageImport::storageMustStayBelowTheFreeSpace()
{
    QFETCH(int, spare);
    QFETCH(int, status);
    THandle_List list;
    Create_Default_Handles(list);
    const QString file = Write_Picture(QDir(dir.path()), "bg.png", 480, 272, Qt::darkCyan);
    const TImport_Target target = TImport_Target::of(list, BACKGROUNDS_IDX);
    TPrepared_Image prepared = Prepare_Import(file, target);
    QCOMPARE(prepared.status, int(Image_Added_Successfully));
    const qint64 needed = qint64(prepared.estimate) + prepared.thumbnailEstimate;
    // The rest of the store is taken by information screens and logos.
    list[INFO_SCREENS_IDX]->memory_usage = int32_t((kImageStoreBytes - needed - spare) / 2);
    list[LOGOS_IDX]->memory_usage = int32_t(kImageStoreBytes - needed - spare - list[INFO_SCREENS_IDX]->memory_usage);
    QCOMPARE(Project_Storage_Free(list), needed + spare);

    const TImport_Result r = Apply_Import(list, target, std::move(prepared));
    QCOMPARE(r.status, status);
    const size_t added = status == Image_Added_Successfully ? 1 : 0;
    QCOMPARE(list[BACKGROUNDS_IDX]->cells.size(), added);
    QCOMPARE(list[BG_THUMBNAILS_IDX]->cells.size(), added);
}

void TestImageImport::fullListRefusesBeforeReading()
{
    THandle_List list;
    Create_Default_Handles(list);
    const QDir d(dir.path());
    const QString logo = Write_Picture(d, "logo.png", 125, 85, Qt::magenta);
    for (int i = 0; i < 29; ++i)
        Add_Cell(*list[LOGOS_IDX], QImage(125, 85, QImage::Format_ARGB32_Premultiplied), QByteArray(),
                 QStringLiteral("L%1").arg(i), 10, 100, {});
    QCOMPARE(Import_Image_File(list, LOGOS_IDX, logo).status, int(Image_Added_Successfully));
    QCOMPARE(list[LOGOS_IDX]->cells.size(), size_t(kMaxImagesPerHandle));
    // A thirty-first is refused as a full list, whatever the file holds.
    QCOMPARE(Import_Image_File(list, LOGOS_IDX, logo).status, int(Image_List_Full));
    QCOMPARE(Import_Image_File(list, LOGOS_IDX, d.filePath("gone.png")).status, int(Image_List_Full));
    QCOMPARE(list[LOGOS_IDX]->cells.size(), size_t(kMaxImagesPerHandle));
    QCOMPARE(Import_Status_Text(Image_List_Full), QStringLiteral("Image List Full"));
    QCOMPARE(Import_Status_Text(Invalid_Image_File), QStringLiteral("Invalid Image File"));
}
