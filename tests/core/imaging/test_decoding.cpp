#include "test_imaging.h"

#include "TestPictures.h"

#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/JpegCodec.h"
#include "core/imaging/PictureLimit.h"

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
    return testPicture(33, 21, true, 77);
}

// A BMP that declares width x height (negative: stored top-down) and carries
// a few bytes of its pixel data at most: Qt decodes it to a full-size picture.
QByteArray bmpHeaderOnly(int32_t width, int32_t height, int tail = 52)
{
    QByteArray b("BM");
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.append(char(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    u32(uint32_t(54 + tail));
    u32(0);
    u32(54);
    u32(40);
    u32(uint32_t(width));
    u32(uint32_t(height));
    u16(1);
    u16(24);
    for (int i = 0; i < 6; ++i)
        u32(0);
    return b + QByteArray(tail, '\0');
}

// A real JPEG whose frame header then claims another size.
QByteArray jpegClaiming(uint16_t width, uint16_t height)
{
    QByteArray bytes = encoded(picture(), "JPEG");
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height & 0xFF);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width & 0xFF);
    return bytes;
}

THandleList defaultHandles()
{
    THandleList list;
    createDefaultHandles(list);
    return list;
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
    QVERIFY2(::restoreCellBitmaps(cell, &error), qPrintable(error));
    QCOMPARE(cell.fmxbmp, picture());
    QCOMPARE(cell.bmp, picture());

    TCell_object broken;
    broken.name = "BROKEN_PNG";
    broken.imgFileData = QByteArray("nothing");
    broken.fmxbmp = picture();
    QVERIFY(!::restoreCellBitmaps(broken, &error));
    QVERIFY(error.contains("BROKEN_PNG"));
    QCOMPARE(broken.fmxbmp, picture()); // left as it was
}

void TestDecoding::pictureSizeIsCheckedBeforeDecoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("use");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QStringList>("named");

    const QByteArray tiny = bmpHeaderOnly(32784, 272);
    QCOMPARE(tiny.size(), 106);
    const QStringList importLimit{"no image group takes pictures larger than 480 x 272 pixels"};
    const QStringList previewLimit{"a preview takes at most 4194304 pixels (2048 x 2048)"};
    QTest::newRow("106-byte BMP of 32784 x 272, import")
        << tiny << "import" << true << importLimit + QStringList{"The picture is 32784 x 272 pixels (8917248 pixels)"};
    QTest::newRow("106-byte BMP of 32784 x 272, preview")
        << tiny << "preview" << true << previewLimit + QStringList{"32784 x 272"};
    QTest::newRow("top-down BMP, preview")
        << bmpHeaderOnly(5000, -6600) << "preview" << true << previewLimit + QStringList{"5000 x 6600"};
    QTest::newRow("JPEG header of 60000 x 60000, preview")
        << jpegClaiming(60000, 60000) << "preview" << true << previewLimit + QStringList{"60000 x 60000"};
    QTest::newRow("one side beyond every group, import")
        << encoded(testPicture(481, 3, false, 1), "PNG") << "import" << true << importLimit + QStringList{"481 x 3"};
    QTest::newRow("a logo for the logos")
        << encoded(testPicture(125, 85, true, 2), "PNG") << "logos" << false << QStringList{};
    QTest::newRow("a background for the logos")
        << encoded(testPicture(480, 272, false, 3), "BMP") << "logos" << true
        << QStringList{"480 x 272", "the group LOGOS takes 125 x 85 pixel pictures"};
    QTest::newRow("a background, import")
        << encoded(testPicture(480, 272, false, 3), "JPEG") << "import" << false << QStringList{};
    QTest::newRow("2048 x 2048, preview") << bmpHeaderOnly(2048, 2048) << "preview" << false << QStringList{};
    QTest::newRow("2048 x 2049, preview")
        << bmpHeaderOnly(2048, 2049) << "preview" << true << QStringList{"2048 x 2049"};
}

void TestDecoding::pictureSizeIsCheckedBeforeDecoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, use);
    QFETCH(bool, refused);
    QFETCH(QStringList, named);
    const THandleList list = defaultHandles();
    const PictureLimit limit = use == "import" ? PictureLimit::forImport(list)
        : use == "preview"                     ? PictureLimit::forPreview()
                                               : PictureLimit::forHandle(*list[kLogosIdx]);
    const LoadedPicture got = loadPicture(bytes, limit, use == "preview");
    QCOMPARE(got.status, refused ? PictureStatus::TooLarge : PictureStatus::Loaded);
    QCOMPARE(got.image.isNull(), refused);
    for (const QString& part : named)
        QVERIFY2(got.error.contains(part), qPrintable(got.error));
    QVERIFY(!got.error.contains('\n'));
    if (!refused)
        QCOMPARE(got.image.format(), QImage::Format_ARGB32_Premultiplied);
}

// A project's stored picture is checked against its own group before it is
// decoded, for the block build and for the window's display copies alike.
void TestDecoding::storedPicturesAreCheckedAgainstTheirGroup()
{
    THandleList list = defaultHandles();
    TCell_object cell;
    cell.name = "HUGE_BMP";
    cell.pHandle = list[kLogosIdx].get();
    cell.imgFileData = bmpHeaderOnly(32784, 272);
    try {
        cellSourceBitmap(cell);
        QFAIL("the picture was decoded");
    } catch (const ImagingError& e) {
        QVERIFY2(e.message().contains("HUGE_BMP") && e.message().contains("32784 x 272")
                     && e.message().contains("125 x 85"),
                 qPrintable(e.message()));
    }
    QString error;
    QVERIFY(!::restoreCellBitmaps(cell, &error));
    QVERIFY2(error.contains("HUGE_BMP") && error.contains("32784 x 272"), qPrintable(error));
    QVERIFY(cell.fmxbmp.isNull());

    // Without a group, no picture larger than any group may be.
    cell.pHandle = nullptr;
    QVERIFY(!::restoreCellBitmaps(cell, &error));
    QVERIFY2(error.contains("4096 x 4096"), qPrintable(error));
}

void TestDecoding::pictureFilesAreReadOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sun logo.png");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(encoded(picture(), "PNG"));
    f.close();
    const LoadedPicture got = loadPictureFile(path, PictureLimit::forImport(defaultHandles()));
    QCOMPARE(got.status, PictureStatus::Loaded);
    QCOMPARE(got.image, picture());

    const LoadedPicture missing = loadPictureFile(dir.filePath("gone.png"), PictureLimit::forPreview());
    QCOMPARE(missing.status, PictureStatus::Undecodable);
    QVERIFY(!missing.error.isEmpty());
    const LoadedPicture folder = loadPictureFile(dir.path(), PictureLimit::forPreview());
    QCOMPARE(folder.status, PictureStatus::Undecodable);
}
