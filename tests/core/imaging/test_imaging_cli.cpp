#include "test_imaging_cli.h"
#include "ProjectFixtures.h"

#include "ProgramRun.h"
#include "TestPictures.h"

#include "core/imaging/DeviceImageEncoder.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/ImageDecoding.h"
#include "core/imaging/PixelFormat.h"
#include "core/storage/DiskIO.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

namespace {

struct Run {
    int code;
    QString out;
    QString err;
};

Run cli(const QStringList& args)
{
    const ProgramRun r = runCli(args);
    return {r.status, r.outText(), r.errText()};
}

void addImage(THandle_object& h, const QString& name, uint32_t seed, bool included = true)
{
    TCell_object& cell = addFixtureImage(h, name, testPicture(h.width, h.height, h.compress_images, seed));
    cell.imgFileData = pngBytes(cell.fmxbmp);
    cell.included = included;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

void TestImagingCli::imageBlockMatchesTheUploadBlock()
{
    THandleList list;
    createDefaultHandles(list);
    addImage(*list[kBackgroundsIdx], "SKY", 1);
    addImage(*list[kBgThumbnailsIdx], "SKY", 2);
    addImage(*list[kLogosIdx], "SUN", 3);
    addImage(*list[kLogosIdx], "MOON", 4, false);
    addImage(*list[kLogoThumbnailsIdx], "SUN", 5);
    addImage(*list[kLogoThumbnailsIdx], "MOON", 6, false);
    list[kInfoScreensIdx]->included = false;
    TDevice_Config_v2 rec{};
    const QString project = m_dir.filePath("site.cvp");
    Save_Project_File(project, rec, list);

    const QString out = m_dir.filePath("block.bin");
    const Run r = cli({"image-block", project, "-o", out});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QByteArray expected;
    Build_Image_Data(expected, list);
    QCOMPARE(readAll(out), expected);
    QVERIFY2(r.out.contains("4 handles, 4 images"), qPrintable(r.out));
    QVERIFY(r.out.contains("INFO_SCREENS: excluded"));
    const QString firstPos = QStringLiteral("%1").arg(kImageStoreBase + 4 * 28 + 4 * 8, 6, 16, QChar('0')).toUpper();
    QVERIFY2(r.out.contains("pos 0x" + firstPos), qPrintable(r.out));
}

void TestImagingCli::imageBlockRefusesABrokenProject()
{
    THandleList list;
    createDefaultHandles(list);
    addImage(*list[kLogosIdx], "FINE", 1);
    addImage(*list[kLogosIdx], "BROKEN", 2);
    list[kLogosIdx]->cells[1]->imgFileData = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(40, 'x');
    TDevice_Config_v2 rec{};
    const QString project = m_dir.filePath("broken.cvp");
    Save_Project_File(project, rec, list);

    const QString out = m_dir.filePath("broken.bin");
    const Run r = cli({"image-block", project, "-o", out});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("BROKEN"), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));

    QFile garbage(m_dir.filePath("garbage.cvp"));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a project");
    garbage.close();
    const Run g = cli({"image-block", garbage.fileName(), "-o", out});
    QCOMPARE(g.code, 1);
    QVERIFY(!g.err.isEmpty());
    QVERIFY(!QFile::exists(out));
}

void TestImagingCli::previewWritesPictureAndPackedBytes()
{
    const QImage picture = testPicture(125, 85, true, 8);
    const QString in = m_dir.filePath("logo.png");
    QVERIFY(picture.save(in, "PNG"));
    const QString out = m_dir.filePath("logo-preview.png");
    const QString packed = m_dir.filePath("logo.bin");
    const Run r = cli({"preview", in, "--format", "6", "--stdev", "1.5", "--bits", "3", "-o", out, "--packed", packed});
    QVERIFY2(r.code == 0, qPrintable(r.err));

    DeviceImageEncoder enc;
    const QImage expectedPreview = enc.Convert_Bitmap({1.5, 3}, picture, 6, true);
    enc.Pack_Image_Data(125, 85, 6);
    QCOMPARE(readAll(packed),
             QByteArray(reinterpret_cast<const char*>(enc.packedData().data()), qsizetype(enc.packedData().size())));
    QCOMPARE(Load_Bitmap_From_Stream(readAll(out)), expectedPreview);
    QVERIFY(r.out.contains(QStringLiteral("stored %1 bytes").arg(enc.Compressed_Data_Size())));
}

void TestImagingCli::previewRefusesBadArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status"); // 2: the command line is wrong; 1: the picture is
    const QString in = m_dir.filePath("in.png");
    testPicture(8, 8, false, 1).save(in, "PNG");
    const QString text = m_dir.filePath("text.png");
    QFile f(text);
    f.open(QIODevice::WriteOnly);
    f.write("plain text with an image name");
    f.close();
    QTest::newRow("unknown format") << QStringList{in, "--format", "9"} << 2;
    QTest::newRow("format not a number") << QStringList{in, "--format", "rgb"} << 2;
    QTest::newRow("negative stdev") << QStringList{in, "--format", "7", "--stdev", "-1"} << 2;
    QTest::newRow("bits too large") << QStringList{in, "--format", "7", "--bits", "40"} << 2;
    QTest::newRow("not an image") << QStringList{text, "--format", "7"} << 1;
    QTest::newRow("missing file") << QStringList{m_dir.filePath("gone.png"), "--format", "7"} << 1;
}

void TestImagingCli::previewRefusesBadArguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, status);
    const QString out = m_dir.filePath("refused.png");
    const Run r = cli(QStringList{"preview"} + args + QStringList{"-o", out});
    QCOMPARE(r.code, status);
    QVERIFY(r.err.startsWith("corvane-cli"));
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY(!QFile::exists(out));
}

QTEST_MAIN(TestImagingCli)
