// corvane-cli add-image: the window's import rules and status texts, one line
// per file, and a project that changes only when something was added.
#include "PictureFiles.h"
#include "ProgramRun.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"

#include <QTemporaryDir>
#include <QtTest>

class TestAddImageCommand : public QObject {
    Q_OBJECT
private slots:
    void init();
    void filesStandAloneInOrder();
    void allAddedExitsZero();
    void nothingAddedLeavesTheProject();
    void usageErrors_data();
    void usageErrors();

private:
    QString newProject();
    QByteArray bytesOf(const QString& path);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAddImageCommand::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

QString TestAddImageCommand::newProject()
{
    const QString path = m_dir->filePath(QStringLiteral("site.cvp"));
    const ProgramRun r = runCli({"new", path});
    if (r.status != 0)
        qFatal("corvane-cli new failed: %s", r.err.constData());
    return path;
}

QByteArray TestAddImageCommand::bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestAddImageCommand::filesStandAloneInOrder()
{
    const QString project = newProject();
    const QDir d(m_dir->path());
    const QStringList files{
        writePicture(d, "2020 Logo.png", 125, 85, Qt::red), writePicture(d, "wide.png", 480, 272, Qt::blue),
        writeFile(d, "notes.gif", "no picture here"), writePicture(d, "second.bmp", 125, 85, Qt::green)};
    const ProgramRun r = runCli(QStringList{"add-image", project, "--handle", "logos"} + files);
    QCOMPARE(r.status, 1);
    const QStringList lines = r.outLines();
    QCOMPARE(lines.size(), 5);
    QVERIFY2(lines[0].startsWith("Image Added Successfully: " + files[0] + " (LOGOS->_2020 LOGO_PNG, "),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].startsWith("Image Dimensions Not Compatible: " + files[1]), qPrintable(lines[1]));
    QVERIFY2(lines[2].startsWith("Invalid Image File: " + files[2]), qPrintable(lines[2]));
    QVERIFY2(lines[3].startsWith("Image Added Successfully: " + files[3] + " (LOGOS->SECOND_BMP, "),
             qPrintable(lines[3]));
    QVERIFY2(lines[4].startsWith("2 added, 2 refused; storage "), qPrintable(lines[4]));
    QCOMPARE(r.errText().trimmed(), QStringLiteral("corvane-cli: 2 of 4 files were not added"));

    // The project holds the two logos and their thumbnails, sizes stored.
    TDevice_Config_v2 rec{};
    THandleList list;
    QVERIFY(Load_Project_File(project, rec, list));
    QCOMPARE(list[kLogosIdx]->cells.size(), size_t(2));
    QCOMPARE(list[kLogoThumbnailsIdx]->cells.size(), size_t(2));
    QCOMPARE(list[kLogosIdx]->cells[0]->name, QStringLiteral("_2020 LOGO_PNG"));
    QCOMPARE(list[kLogoThumbnailsIdx]->cells[1]->name, QStringLiteral("SECOND_BMP"));
    QCOMPARE(list[kLogosIdx]->memory_usage, int32_t(Handle_Storage_Bytes(*list[kLogosIdx])));
    QVERIFY(list[kLogoThumbnailsIdx]->memory_usage > 0);
    QVERIFY(lines[4].contains(QString::number(projectStorageUsed(list)) + " of 3657728 bytes"));
}

void TestAddImageCommand::allAddedExitsZero()
{
    const QString project = newProject();
    const QDir d(m_dir->path());
    const ProgramRun r
        = runCli({"add-image", project, "--handle", "info-screens", writePicture(d, "a.jpg", 480, 272, Qt::gray),
                  writePicture(d, "b.gif", 480, 272, Qt::cyan)});
    QCOMPARE(r.status, 0);
    QVERIFY(r.err.isEmpty());
    TDevice_Config_v2 rec{};
    THandleList list;
    QVERIFY(Load_Project_File(project, rec, list));
    QCOMPARE(list[kInfoScreensIdx]->cells.size(), size_t(2));
    QVERIFY(list[kBgThumbnailsIdx]->cells.empty());
}

void TestAddImageCommand::nothingAddedLeavesTheProject()
{
    const QString project = newProject();
    const QByteArray before = bytesOf(project);
    const QDir d(m_dir->path());
    const ProgramRun r = runCli({"add-image", project, "--handle", "backgrounds",
                                 writePicture(d, "logo.png", 125, 85, Qt::red), d.filePath("missing.png")});
    QCOMPARE(r.status, 1);
    QCOMPARE(bytesOf(project), before);
    QCOMPARE(r.outLines().value(1).left(20), QStringLiteral("Invalid Image File: "));
}

void TestAddImageCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no handle") << QStringList{"@P", "x.png"} << "missing --handle";
    QTest::newRow("unknown handle") << QStringList{"@P", "--handle", "bg_thumbnails", "x.png"}
                                    << "--handle bg_thumbnails";
    QTest::newRow("no file") << QStringList{"@P", "--handle", "logos"} << "missing FILE";
}

void TestAddImageCommand::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const QString project = newProject();
    const QByteArray before = bytesOf(project);
    args.replaceInStrings(QStringLiteral("@P"), project);
    const ProgramRun r = runCli(QStringList{"add-image"} + args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.errText().contains(message), qPrintable(r.errText()));
    QCOMPARE(bytesOf(project), before);
}

QTEST_GUILESS_MAIN(TestAddImageCommand)
#include "test_add_image.moc"
