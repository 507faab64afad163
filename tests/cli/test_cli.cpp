// corvane-cli new and info as a script would use them: exit status, stdout and stderr.
#include "test_cli.h"

#include "CliFixtures.h"
#include "ProgramRun.h"

#include "core/imaging/DeviceImageEncoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

void TestCli::newThenInfo()
{
    QTemporaryDir dir;
    const ProgramRun made = Run_Cli({"new", dir.filePath("site.txt")});
    QCOMPARE(made.status, 0);
    const QString path = dir.filePath("site.cvp");
    QCOMPARE(made.out.trimmed(), path.toUtf8());
    QCOMPARE(QFileInfo(path).size(), qint64(1634));

    QCOMPARE(Run_Cli({"new", path}).status, 1); // never overwrites by accident
    QCOMPARE(Run_Cli({"new", path, "--force"}).status, 0);

    const ProgramRun info = Run_Cli({"info", path, "--json"});
    QCOMPARE(info.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(info.out).object();
    const QJsonObject rec = root["configuration"].toObject();
    QCOMPARE(rec["occupied_setpoint"].toInteger(), 210);
    QCOMPARE(rec["info_scr_slideshow_stop_min"].toInteger(), 1439);
    QCOMPARE(rec["theme_colour"].toInteger(), 0x00FFFFFF);
    QCOMPARE(root["handles"].toArray().size(), 5);
    QCOMPARE(root["storage_free"].toInteger(), qint64(3657728));

    const ProgramRun text = Run_Cli({"info", path});
    QCOMPARE(text.status, 0);
    QVERIFY(text.out.contains("unoccupied_min_temp"));
    QVERIFY(text.out.contains("LOGO_THUMBNAILS"));
    QVERIFY(text.out.contains("theme_colour                       0x00FFFFFF"));
}

void TestCli::newTakesTheProjectExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "plain"
                                  << "plain.cvp";
    QTest::newRow("last extension replaced") << "a.b.txt"
                                             << "a.b.cvp";
    QTest::newRow("trailing dot") << "site."
                                  << "site.cvp";
    QTest::newRow("dot in the folder only") << "dir.x/name"
                                            << "dir.x/name.cvp";
}

void TestCli::newTakesTheProjectExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("dir.x"));
    const ProgramRun made = Run_Cli({"new", dir.filePath(typed)});
    QCOMPARE(made.status, 0);
    QCOMPARE(QString::fromUtf8(made.out.trimmed()), dir.filePath(written));
    QVERIFY(QFileInfo::exists(dir.filePath(written)));
}

void TestCli::serviceTextLineBreaksPrintVisibly()
{
    // The record separates the service text's lines with CR; printed raw it
    // would send the terminal's cursor back over the start of the line.
    QTemporaryDir dir;
    const QString path = dir.filePath("svc.cvp");
    QCOMPARE(Run_Cli({"new", path}).status, 0);
    QByteArray bytes = Read_File(path);
    const qsizetype comma = bytes.indexOf("For servicing,") + 13;
    bytes[comma] = '\r';
    Write_File(path, bytes);

    const ProgramRun text = Run_Cli({"info", path});
    QCOMPARE(text.status, 0);
    QVERIFY(!text.out.contains('\r'));
    QVERIFY(text.out.contains("For servicing\\r please contact your installer."));
    const ProgramRun json = Run_Cli({"info", path, "--json"});
    const QJsonObject rec = QJsonDocument::fromJson(json.out).object()["configuration"].toObject();
    QCOMPARE(rec["service_info_text"].toString(), QString("For servicing\r please contact your installer."));
}

void TestCli::unreadableFilesFailWithOneLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shows"); // how the file's own text appears in the error
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("text") << QByteArray("hello, this is not a project\n") << QString();
    QTest::newRow("huge name length") << [] {
        QByteArray b(12 + 1343, '\0');
        b[0] = 1;
        b[8] = 2;
        b += QByteArray("\x04\0\0\0\x05\0\0\0\x01\0\0\0\xff\xff\xff\x7f", 16);
        b += QByteArray(300, 'x');
        return b;
    }() << QString();
    // A damaged group whose name holds what a terminal acts on: the name
    // reaches the error, its bytes must not.
    QTest::newRow("control characters in a group name") << [] {
        QTemporaryDir dir;
        FixtureProject project;
        static const char raw[] = "BG\0\a\nsecond line\r\nthird\x1b[2J\u202Eevil";
        project.handles[0]->name = QString::fromUtf8(raw, sizeof raw - 1);
        project.handles[0]->width = 0;
        project.save(dir.filePath("named.cvp"));
        return Read_File(dir.filePath("named.cvp"));
    }() << QStringLiteral("image group 1 (BG\\x00\\x07\\nsecond line\\r\\nthird\\x1b[2J\\u202eevil)");
    QTest::newRow("a group name of a thousand characters") << [] {
        QTemporaryDir dir;
        FixtureProject project;
        project.handles[2]->name = QString(1000, QLatin1Char('n'));
        project.handles[2]->height = -5;
        project.save(dir.filePath("long.cvp"));
        return Read_File(dir.filePath("long.cvp"));
    }() << QStringLiteral("image group 3 (%1...): a height of -5").arg(QString(64, QLatin1Char('n')));
}

void TestCli::unreadableFilesFailWithOneLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shows);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.cvp");
    Write_File(path, content);
    for (const QStringList& args :
         {QStringList{"info", path}, QStringList{"image-block", path, "-o", dir.filePath("b.bin")}}) {
        const ProgramRun r = Run_Cli(args);
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.startsWith("corvane-cli: "));
        for (const char c : r.err.chopped(1))
            QVERIFY2(uchar(c) >= 0x20 && c != 0x7f, r.err.toHex().constData());
        QVERIFY2(r.errText().contains(shows), qPrintable(r.errText()));
    }
    QCOMPARE(Run_Cli({"info", dir.filePath("missing.cvp")}).status, 1);
}

void TestCli::infoComputesStorageFromTheImages()
{
    // A file whose memory_usage fields were never updated (0 for every group)
    // must not make a full project look empty.
    QTemporaryDir dir;
    FixtureProject project(true);
    int64_t expected = 0;
    for (auto& h : project.handles) {
        h->memory_usage = 0;
        for (auto& c : h->cells)
            expected += Cell_Storage_Size(*c);
    }
    QVERIFY(expected > 0);
    const QString path = dir.filePath("stale.cvp");
    project.save(path);

    const ProgramRun json = Run_Cli({"info", path, "--json"});
    QCOMPARE(json.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(json.out).object();
    QCOMPARE(root["storage_estimated"].toInteger(), expected);
    QCOMPARE(root["storage_used"].toInteger(), 0); // the file's own figure, kept apart
    const QJsonObject logos = root["handles"].toArray()[LOGOS_IDX].toObject();
    QCOMPARE(logos["estimated_storage"].toInteger(), qint64(Cell_Storage_Size(*project.handles[LOGOS_IDX]->cells[0])));
    QCOMPARE(logos["memory_usage"].toInteger(), 0);

    const ProgramRun text = Run_Cli({"info", path});
    QCOMPARE(text.status, 0);
    QVERIFY2(text.outText().contains(QStringLiteral("Storage: %1 of 3657728 bytes used").arg(expected)),
             qPrintable(text.outText()));
    QVERIFY(text.outText().contains(QStringLiteral("(the file says 0 used)")));
    // A group whose figure is right shows only one.
    QVERIFY(text.outText().contains(QRegularExpression("INFO_SCREENS .* 0 bytes\\n")));
}
