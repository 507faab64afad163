#include "test_imaging.h"

#include "TestPictures.h"

#include "core/imaging/ImageDecoding.h"
#include "core/imaging/JpegCodec.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    if (qstrcmp(format, "JPEG") == 0) {
        JpegCodec::encode(image, 90, bytes, nullptr);
        return bytes;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage picture()
{
    return Test_Picture(33, 21, true, 77);
}

} // namespace

void TestDecoding::decodesBySignature_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("lossless");
    QTest::addColumn<QSize>("size");
    const QSize size(33, 21);
    QTest::newRow("PNG with alpha") << encoded(picture(), "PNG") << true << size;
    QTest::newRow("BMP") << encoded(picture().convertToFormat(QImage::Format_RGB32), "BMP") << true << size;
    // Qt writes no GIF; a 1 x 1 GIF89a with a transparent pixel, by hand.
    QTest::newRow("GIF") << QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01\x00\x00"
                                       "\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02D\x01\x00;",
                                       43)
                         << false << QSize(1, 1);
    QTest::newRow("JPEG") << encoded(picture(), "JPEG") << false << size;
    QTest::newRow("JPEG grey (Qt's encoder)")
        << encoded(picture().convertToFormat(QImage::Format_Grayscale8), "JPG") << false << size;
}

void TestDecoding::decodesBySignature()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, lossless);
    QFETCH(QSize, size);
    QVERIFY(!bytes.isEmpty());
    QString error;
    const QImage image = Load_Bitmap_From_Stream(bytes, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(image.size(), size);
    if (lossless) {
        const QImage again = Load_Bitmap_From_Stream(encoded(image, "PNG"));
        QCOMPARE(again, image);
    }
    if (QTest::currentDataTag() == QByteArray("PNG with alpha"))
        QCOMPARE(image, picture());
}

void TestDecoding::undecodableDataIsAnError_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray png = encoded(picture(), "PNG");
    const QByteArray jpeg = encoded(picture(), "JPEG");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray("hello, world");
    QTest::newRow("PNG signature, then garbage") << QByteArray("\x89PNG\r\n\x1a\n0123456789abcdef", 24);
    QTest::newRow("PNG cut in half") << png.left(png.size() / 2);
    QTest::newRow("BM and garbage") << QByteArray("BM\x10\x00\x00\x00garbage", 13);
    QTest::newRow("GIF header only") << QByteArray("GIF89a");
    QTest::newRow("JPEG start marker only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("JPEG cut in half") << jpeg.left(jpeg.size() / 2);
    QByteArray huge = jpeg;
    // Claims 65000 x 65000 pixels in the frame header.
    const int sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    huge[sof + 5] = char(0xFD);
    huge[sof + 6] = char(0xE8);
    huge[sof + 7] = char(0xFD);
    huge[sof + 8] = char(0xE8);
    QTest::newRow("JPEG claiming a huge picture") << huge;
}

void TestDecoding::undecodableDataIsAnError()
{
    QFETCH(QByteArray, bytes);
    QString error;
    const QImage image = Load_Bitmap_From_Stream(bytes, &error);
    QVERIFY(image.isNull());
    QVERIFY(!error.isEmpty());
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    QVERIFY(Load_Bitmap_From_Stream(stream).isNull());
}

void TestDecoding::streamIsReadFromItsStart()
{
    QByteArray bytes = encoded(picture(), "PNG");
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    stream.seek(bytes.size() - 3);
    QCOMPARE(Load_Bitmap_From_Stream(stream).size(), QSize(33, 21));
}

void TestDecoding::fileSize()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("logo.png");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1234, 'x'));
    f.close();
    QCOMPARE(Get_File_Size(path), qint64(1234));
    QCOMPARE(Get_File_Size(dir.filePath("gone.png")), qint64(-1));
    QCOMPARE(Get_File_Size(dir.path()), qint64(-1));
}

void TestDecoding::restoreCellBitmaps()
{
    TCell_object cell;
    cell.name = "LOGO_PNG";
    cell.imgFileData = encoded(picture(), "PNG");
    QString error;
    QVERIFY2(Restore_Cell_Bitmaps(cell, &error), qPrintable(error));
    QCOMPARE(cell.fmxbmp, picture());
    QCOMPARE(cell.bmp, picture());

    TCell_object broken;
    broken.name = "BROKEN_PNG";
    broken.imgFileData = QByteArray("nothing");
    broken.fmxbmp = picture();
    QVERIFY(!Restore_Cell_Bitmaps(broken, &error));
    QVERIFY(error.contains("BROKEN_PNG"));
    QCOMPARE(broken.fmxbmp, picture()); // left as it was
}
