// Output files of preview, image-block and new: a failing command leaves the
// folder as it found it; preview writes the picture format its name asks for.
#include "test_cli.h"

#include "CliFixtures.h"
#include "ProgramRun.h"

#include <QDirIterator>
#include <QImageReader>
#include <QtTest>

#include <map>

namespace {

// Every file below dir with its content.
std::map<QString, QByteArray> snapshot(const QString& dir)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = readFile(path);
    }
    return files;
}

} // namespace

void TestOutputs::failingCommandsLeaveNoFile_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("preview, packed bytes below a file")
        << QStringList{"preview", "@I", "--format", "7", "-o", "@D/new.png", "--packed", "@F/x.bin"};
    QTest::newRow("preview over existing files, packed bytes below a file")
        << QStringList{"preview", "@I", "--format", "7", "-o", "@D/old.png", "--packed", "@F/x.bin"};
    QTest::newRow("preview, packed bytes into a folder")
        << QStringList{"preview", "@I", "--format", "7", "-o", "@D/old.png", "--packed", "@D"};
    QTest::newRow("preview of a picture that does not decode")
        << QStringList{"preview", "@F", "--format", "7", "-o", "@D/old.png", "--packed", "@D/old.bin"};
    QTest::newRow("image-block with an image that does not decode")
        << QStringList{"image-block", "@B", "-o", "@D/old.bin"};
    QTest::newRow("image-block of a file that is no project") << QStringList{"image-block", "@F", "-o", "@D/new.bin"};
    QTest::newRow("new below a file") << QStringList{"new", "@F/site.cvp"};
}

void TestOutputs::failingCommandsLeaveNoFile()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    writeFile(dir.filePath("in.png"), pngBytes(fixturePicture(30, 20, 4)));
    writeFile(dir.filePath("file"), "a plain file");
    writeFile(dir.filePath("old.png"), "the previous preview");
    writeFile(dir.filePath("old.bin"), "the previous bytes");
    FixtureProject broken(true);
    broken.handles[kLogosIdx]->cells[0]->imgFileData = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(40, 'x');
    broken.save(dir.filePath("broken.cvp"));
    for (QString& a : args) {
        a.replace("@I", dir.filePath("in.png"));
        a.replace("@F", dir.filePath("file"));
        a.replace("@B", dir.filePath("broken.cvp"));
        a.replace("@D", dir.path());
    }
    const auto before = snapshot(dir.path());
    const ProgramRun r = runCli(args);
    QVERIFY2(r.status == 1, qPrintable(r.errText()));
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY(snapshot(dir.path()) == before); // no new, changed or temporary file
}

void TestOutputs::previewWritesTheFormatItsExtensionNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("png") << "out.png" << QByteArray("png");
    QTest::newRow("bmp") << "out.bmp" << QByteArray("bmp");
    QTest::newRow("jpg") << "out.jpg" << QByteArray("jpeg");
    QTest::newRow("upper-case extension") << "OUT.JPG" << QByteArray("jpeg");
}

void TestOutputs::previewWritesTheFormatItsExtensionNames()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QTemporaryDir dir;
    writeFile(dir.filePath("in.png"), pngBytes(fixturePicture(30, 20, 4)));
    const ProgramRun r = runCli({"preview", dir.filePath("in.png"), "--format", "4", "-o", dir.filePath(name)});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QImageReader reader(dir.filePath(name));
    reader.setDecideFormatFromContent(true);
    QCOMPARE(reader.format(), format);
    QCOMPARE(reader.size(), QSize(30, 20));
}

void TestOutputs::imageBlockRefusesABlockLargerThanTheStore()
{
    // One picture of random pixels that zlib cannot shrink, just larger than
    // the image store as 16-bit pixels (1400 x 1400 x 2 = 3,920,000 bytes),
    // with the stale memory_usage 0: the block would run past the store.
    QTemporaryDir dir;
    FixtureProject p;
    THandle_object& logos = *p.handles[kLogosIdx];
    logos.width = logos.height = 1400;
    logos.compression_format = 7;
    addFixtureImage(logos, "NOISE", noisePicture(1400, 1400, 7), TFixtureImage::Stored);
    const QString project = dir.filePath("big.cvp");
    p.save(project);

    const QString block = dir.filePath("big.bin");
    const ProgramRun r = runCli({"image-block", project, "-o", block});
    QVERIFY2(r.status == 1, qPrintable(r.outText()));
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY2(r.errText().contains("3657728") || r.errText().contains("3,657,728"), qPrintable(r.errText()));
    QVERIFY(!QFile::exists(block));

    const ProgramRun info = runCli({"info", project});
    QCOMPARE(info.status, 0);
    QVERIFY2(info.outText().contains("do not fit the controller"), qPrintable(info.outText()));
}
