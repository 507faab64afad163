#include "test_imaging.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/ImagingError.h"
#include "core/imaging/PixelFormat.h"
#include "core/imaging/PixelPacker.h"
#include "core/model/ProjectModel.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtTest>

#include <zlib.h>

namespace {

QByteArray bytesOf(const std::vector<uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

std::vector<TPixelLevels> uniformLevels(int count, int level)
{
    const auto l = uint8_t(level);
    return std::vector<TPixelLevels>(size_t(count), TPixelLevels{l, l, l, 255});
}

} // namespace

void TestPacking::pixelBytes_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QList<int>>("levels"); // R, G, B, A
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("4444") << 6 << QList<int>{1, 2, 3, 15} << QByteArray("\x23\xF1", 2);
    QTest::newRow("565 red") << 7 << QList<int>{31, 0, 0, 255} << QByteArray("\x00\xF8", 2);
    QTest::newRow("565 green") << 7 << QList<int>{0, 63, 0, 255} << QByteArray("\xE0\x07", 2);
    QTest::newRow("1555") << 0 << QList<int>{31, 0, 31, 1} << QByteArray("\x1F\xFC", 2);
    QTest::newRow("1555 clear") << 0 << QList<int>{1, 2, 3, 0} << QByteArray("\x43\x04", 2);
    QTest::newRow("2222") << 5 << QList<int>{2, 1, 0, 3} << QByteArray("\xE4", 1);
    QTest::newRow("332") << 4 << QList<int>{7, 0, 3, 255} << QByteArray("\xE3", 1);
    QTest::newRow("grey 8") << 3 << QList<int>{200, 200, 200, 255} << QByteArray("\xC8", 1);
    QTest::newRow("grey 1: one pixel in bit 7") << 1 << QList<int>{1, 1, 1, 255} << QByteArray("\x80", 1);
    QTest::newRow("grey 4: high nibble") << 2 << QList<int>{9, 9, 9, 255} << QByteArray("\x90", 1);
    QTest::newRow("grey 2: bits 7..6") << 17 << QList<int>{2, 2, 2, 255} << QByteArray("\x80", 1);
}

void TestPacking::pixelBytes()
{
    QFETCH(int, format);
    QFETCH(QList<int>, levels);
    QFETCH(QByteArray, bytes);
    const std::vector<TPixelLevels> lv{
        {uint8_t(levels[0]), uint8_t(levels[1]), uint8_t(levels[2]), uint8_t(levels[3])}};
    PixelPacker packer;
    packer.pack(lv, 1, 1, format);
    QCOMPARE(bytesOf(packer.packed()), bytes);
}

void TestPacking::rowCompletion_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("rowBytes");
    QTest::addColumn<int>("lastByte");
    QTest::newRow("grey 4, 125 wide") << 2 << 125 << 15 << 63 << 0xF0;
    QTest::newRow("grey 4, 90 wide") << 2 << 90 << 15 << 45 << 0xFF;
    QTest::newRow("grey 1, 125 wide") << 1 << 125 << 1 << 16 << 0xF8;
    QTest::newRow("grey 1, 90 wide") << 1 << 90 << 1 << 12 << 0xC0;
    QTest::newRow("grey 2, 125 wide") << 17 << 125 << 3 << 32 << 0xC0;
    QTest::newRow("grey 2, 90 wide") << 17 << 90 << 3 << 23 << 0xF0;
    QTest::newRow("code 18, 125 wide") << 18 << 125 << 1 << 32 << 0x40;
    QTest::newRow("grey 2, 4 wide") << 17 << 4 << 1 << 1 << 0x55;
}

// Rows never share a byte: each row of a sub-byte format starts on a fresh
// byte, its last byte padded with zero bits.
void TestPacking::rowCompletion()
{
    QFETCH(int, format);
    QFETCH(int, width);
    QFETCH(int, level);
    QFETCH(int, rowBytes);
    QFETCH(int, lastByte);
    const int height = 3;
    PixelPacker packer;
    packer.pack(uniformLevels(width * height, level), width, height, format);
    const QByteArray packed = bytesOf(packer.packed());
    QCOMPARE(packed.size(), rowBytes * height);
    for (int row = 0; row < height; ++row) {
        QCOMPARE(uint8_t(packed[row * rowBytes + rowBytes - 1]), uint8_t(lastByte));
        QCOMPARE(uint8_t(packed[row * rowBytes]), uint8_t(packed[0]));
    }
}

void TestPacking::packedSizeMatchesRowBytes()
{
    // The header's row size and the packed rows must agree, or the
    // controller reads the image askew; every format of the table, but 18,
    // whose row size counts one byte per pixel on purpose.
    PixelPacker packer;
    for (const PixelFormatInfo& f : pixelFormats()) {
        for (int width : {1, 5, 90, 125, 480}) {
            packer.pack(uniformLevels(width * 2, 1), width, 2, f.code);
            const qsizetype packedRow = qsizetype(packer.packed().size()) / 2;
            if (f.code == 18)
                QCOMPARE(Image_Row_Bytes(f.code, width, true, 0), int64_t(width));
            else
                QCOMPARE(packedRow, qsizetype(Image_Row_Bytes(f.code, width, true, 0)));
        }
    }
    QVERIFY_THROWS_EXCEPTION(ImagingError, packer.pack(uniformLevels(4, 1), 2, 2, 12));
    QVERIFY_THROWS_EXCEPTION(ImagingError, packer.pack(uniformLevels(4, 1), 3, 2, 7)); // more pixels than levels
}

void TestPacking::compressedStreamInflatesToPackedBytes()
{
    DeviceImageEncoder encoder;
    QImage picture(125, 85, QImage::Format_ARGB32_Premultiplied);
    picture.fill(qRgba(40, 80, 120, 200));
    encoder.Convert_Bitmap({0.8, 2}, picture, 6, false);
    encoder.Pack_Image_Data(125, 85, 6);
    const QByteArray packed = bytesOf(encoder.packedData());

    QByteArray stream("keep");
    const int size = encoder.Compressed_Data_Size();
    const int written = encoder.Write_Compressed_Data(stream);
    QCOMPARE(written, size);
    QCOMPARE(stream.size(), 4 + size);
    QVERIFY(stream.startsWith("keep"));
    const QByteArray z = stream.mid(4);
    QCOMPARE(uint8_t(z[0]), uint8_t(0x78));               // zlib header, 32 KiB window
    QCOMPARE(uint8_t(z[1]), uint8_t(0xDA));               // ... and maximum compression
    QCOMPARE(z, QByteArray(qCompress(packed, 9).mid(4))); // qCompress: 4-byte length, then compress2

    QByteArray inflated(packed.size(), Qt::Uninitialized);
    uLongf length = uLongf(inflated.size());
    QCOMPARE(uncompress(reinterpret_cast<Bytef*>(inflated.data()), &length,
                        reinterpret_cast<const Bytef*>(z.constData()), uLong(z.size())),
             Z_OK);
    QCOMPARE(inflated, packed);
}

void TestPacking::goldenFixture_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("sha256");
    QTest::newRow("4444") << 6 << QByteArray("20e34944b408a6442e8b3677351aa822ca7abd77ad09b43b09d088e721a12bb7");
    QTest::newRow("565") << 7 << QByteArray("83810b3562325e5c00123955574a8457f18cd920f32e3faa7eb0b6819d3c3f41");
    QTest::newRow("grey 4") << 2 << QByteArray("93c9a6327c9ed206532e846e2ffbd85da8c58dd1f393cfe576c333b2006b019e");
}

// Guards against silent drift of the stored bytes: a change here changes the
// size of every stored project image and what the controller shows.
void TestPacking::goldenFixture()
{
    QFETCH(int, format);
    QFETCH(QByteArray, sha256);
    QFile file(QStringLiteral(IMAGING_TEST_DATA "/golden_125x85.png"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString error;
    const QImage picture = Load_Bitmap_From_Stream(file.readAll(), &error);
    QVERIFY2(!picture.isNull(), qPrintable(error));
    QCOMPARE(picture.size(), QSize(125, 85));

    DeviceImageEncoder encoder;
    encoder.Convert_Bitmap(Default_Dithering(format), picture, format, false);
    encoder.Pack_Image_Data(125, 85, format);
    const QByteArray hash = QCryptographicHash::hash(bytesOf(encoder.packedData()), QCryptographicHash::Sha256).toHex();
    QCOMPARE(hash, sha256);
}
