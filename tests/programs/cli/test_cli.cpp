// corvane-cli new and info as a script would use them: exit status, stdout and stderr.
#include "test_cli.h"

#include "CliFixtures.h"
#include "ProgramRun.h"

#include "core/imaging/DeviceImageEncoder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QtTest>

#include <unistd.h>

void TestCli::newThenInfo()
{
    QTemporaryDir dir;
    const ProgramRun made = runCli({"new", dir.filePath("site.txt")});
    QCOMPARE(made.status, 0);
    const QString path = dir.filePath("site.cvp");
    QCOMPARE(made.out.trimmed(), path.toUtf8());
    QCOMPARE(QFileInfo(path).size(), qint64(1634));

    QCOMPARE(runCli({"new", path}).status, 1); // never overwrites by accident
    QCOMPARE(runCli({"new", path, "--force"}).status, 0);

    const ProgramRun info = runCli({"info", path, "--json"});
    QCOMPARE(info.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(info.out).object();
    const QJsonObject rec = root["configuration"].toObject();
    QCOMPARE(rec["occupied_setpoint"].toInteger(), 210);
    QCOMPARE(rec["info_scr_slideshow_stop_min"].toInteger(), 1439);
    QCOMPARE(rec["theme_colour"].toInteger(), 0x00FFFFFF);
    QCOMPARE(root["handles"].toArray().size(), 5);
    QCOMPARE(root["storage_free"].toInteger(), qint64(3657728));

    const ProgramRun text = runCli({"info", path});
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
    const ProgramRun made = runCli({"new", dir.filePath(typed)});
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
    QCOMPARE(runCli({"new", path}).status, 0);
    QByteArray bytes = readFile(path);
    const qsizetype comma = bytes.indexOf("For servicing,") + 13;
    bytes[comma] = '\r';
    writeFile(path, bytes);

    const ProgramRun text = runCli({"info", path});
    QCOMPARE(text.status, 0);
    QVERIFY(!text.out.contains('\r'));
    QVERIFY(text.out.contains("For servicing\\r please contact your installer."));
    const ProgramRun json = runCli({"info", path, "--json"});
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
        static const char kRaw[] = "BG\0\a\nsecond line\r\nthird\x1b[2J\u202Eevil";
        project.handles[0]->name = QString::fromUtf8(kRaw, sizeof kRaw - 1);
        project.handles[0]->width = 0;
        project.save(dir.filePath("named.cvp"));
        return readFile(dir.filePath("named.cvp"));
    }() << QStringLiteral("image group 1 (BG\\x00\\x07\\nsecond line\\r\\nthird\\x1b[2J\\u202eevil)");
    QTest::newRow("a group name of a thousand characters") << [] {
        QTemporaryDir dir;
        FixtureProject project;
        project.handles[2]->name = QString(1000, QLatin1Char('n'));
        project.handles[2]->height = -5;
        project.save(dir.filePath("long.cvp"));
        return readFile(dir.filePath("long.cvp"));
    }() << QStringLiteral("image group 3 (%1...): a height of -5").arg(QString(64, QLatin1Char('n')));
}

void TestCli::unreadableFilesFailWithOneLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shows);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.cvp");
    writeFile(path, content);
    for (const QStringList& args :
         {QStringList{"info", path}, QStringList{"image-block", path, "-o", dir.filePath("b.bin")}}) {
        const ProgramRun r = runCli(args);
        QCOMPARE(r.status, 1);
        QVERIFY(r.out.isEmpty());
        QCOMPARE(r.err.count('\n'), 1);
        QVERIFY(r.err.startsWith("corvane-cli: "));
        for (const char c : r.err.chopped(1))
            QVERIFY2(uchar(c) >= 0x20 && c != 0x7f, r.err.toHex().constData());
        QVERIFY2(r.errText().contains(shows), qPrintable(r.errText()));
    }
    QCOMPARE(runCli({"info", dir.filePath("missing.cvp")}).status, 1);
}

void TestCli::refusedPicturesSayWhy_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("addImage"); // what add-image says of it on stdout
    QTest::addColumn<QString>("preview");  // what preview says on stderr
    QTest::newRow("missing file") << QStringLiteral("missing.png")
                                  << QStringLiteral("Invalid Image File: @/missing.png (No such file.)")
                                  << QStringLiteral("corvane-cli: @/missing.png: No such file.");
    // A header of a few bytes declaring more pixels than Qt would allocate.
    QTest::newRow("40000 x 40000 BMP header")
        << QStringLiteral("huge.bmp")
        << QStringLiteral("Image Dimensions Not Compatible: @/huge.bmp (The picture is 40000 x 40000 pixels "
                          "(1600000000 pixels); no image group takes pictures larger than 480 x 272 pixels.)")
        << QStringLiteral("corvane-cli: @/huge.bmp: The picture is 40000 x 40000 pixels (1600000000 pixels); a "
                          "preview takes at most 4194304 pixels (2048 x 2048).");
}

void TestCli::refusedPicturesSayWhy()
{
    QFETCH(QString, picture);
    QFETCH(QString, addImage);
    QFETCH(QString, preview);
    QTemporaryDir dir;
    QByteArray bmp("BM", 2);
    const auto le = [&bmp](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            bmp.append(char((v >> (8 * i)) & 0xFF));
    };
    le(66, 4), le(0, 4), le(54, 4);               // file size, reserved, pixel offset
    le(40, 4), le(40000, 4), le(40000, 4);        // info header: size, width, height
    le(1, 2), le(24, 2), le(0, 4), le(12, 4);     // planes, bits, no compression, data size
    le(2835, 4), le(2835, 4), le(0, 4), le(0, 4); // resolution, palette
    bmp += QByteArray(12, '\0');
    writeFile(dir.filePath("huge.bmp"), bmp);
    const QString project = dir.filePath("p.cvp");
    QCOMPARE(runCli({"new", project}).status, 0);
    const QString path = dir.filePath(picture);

    const ProgramRun added = runCli({"add-image", project, "--handle", "backgrounds", path});
    QCOMPARE(added.status, 1);
    QCOMPARE(added.outLines().value(0), QString(addImage).replace("@", dir.path()));
    const ProgramRun shown = runCli({"preview", path, "--format", "7", "-o", dir.filePath("out.png")});
    QCOMPARE(shown.status, 1);
    QCOMPARE(shown.errLines(), QStringList{QString(preview).replace("@", dir.path())});
}

void TestCli::addImageReportsAdditionsOnceSaved()
{
    // A project the user may read but not write.
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                      | QFileDevice::ReadOther | QFileDevice::ExeOther));
    const QString project = dir.filePath("site.cvp");
    QCOMPARE(runCli({"new", project}).status, 0);
    QVERIFY(QFile::setPermissions(project, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    const QString logo = dir.filePath("logo.png");
    writeFile(logo, pngBytes(fixturePicture(125, 85, 3)));
    QVERIFY(QFile::setPermissions(logo, QFileDevice::ReadOwner | QFileDevice::ReadOther));
    const QByteArray before = readFile(project);

    QStringList args{"add-image", project, "--handle", "logos", logo};
    QString program = QStringLiteral(CORVANE_CLI);
    if (::geteuid() == 0) {
        // The superuser writes anything: run as an ordinary user.
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("needs setpriv to run the program as an ordinary user");
        args.prepend(program);
        args = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups"} + args;
        program = setpriv;
    }
    const ProgramRun r = runProgram(program, args);
    QCOMPARE(r.status, 1);
    QCOMPARE(r.outText(), QString()); // nothing was added
    QCOMPARE(r.errLines(),
             QStringList{QStringLiteral("corvane-cli: Cannot create the project file %1: the file is "
                                        "read-only. No picture was added; the project was left as "
                                        "it was.")
                             .arg(project)});
    QCOMPARE(readFile(project), before);
}

void TestCli::namesFromTheFileStayOnTheirLine()
{
    QTemporaryDir dir;
    FixtureProject project(true);
    project.handles[kLogosIdx]->name = QStringLiteral("LOGOS\x1b[31m");
    project.handles[kLogosIdx]->cells[0]->name = QStringLiteral("SUN\nFAKE LINE\a");
    project.save(dir.filePath("named.cvp"));
    for (const QStringList& args : {QStringList{"image-block", dir.filePath("named.cvp"), "-o", dir.filePath("b.bin")},
                                    QStringList{"info", dir.filePath("named.cvp")}}) {
        const ProgramRun r = runCli(args);
        QCOMPARE(r.status, 0);
        for (const char c : r.out)
            QVERIFY2(uchar(c) >= 0x20 || c == '\n', qPrintable(args[0]));
        QVERIFY2(r.outText().contains("SUN\\nFAKE LINE\\x07"), qPrintable(r.outText()));
        QVERIFY2(r.outText().contains("LOGOS\\x1b[31m"), qPrintable(r.outText()));
    }
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

    const ProgramRun json = runCli({"info", path, "--json"});
    QCOMPARE(json.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(json.out).object();
    QCOMPARE(root["storage_estimated"].toInteger(), expected);
    QCOMPARE(root["storage_used"].toInteger(), 0); // the file's own figure, kept apart
    const QJsonObject logos = root["handles"].toArray()[kLogosIdx].toObject();
    QCOMPARE(logos["estimated_storage"].toInteger(), qint64(Cell_Storage_Size(*project.handles[kLogosIdx]->cells[0])));
    QCOMPARE(logos["memory_usage"].toInteger(), 0);

    const ProgramRun text = runCli({"info", path});
    QCOMPARE(text.status, 0);
    QVERIFY2(text.outText().contains(QStringLiteral("Storage: %1 of 3657728 bytes used").arg(expected)),
             qPrintable(text.outText()));
    QVERIFY(text.outText().contains(QStringLiteral("(the file says 0 used)")));
    // A group whose figure is right shows only one.
    QVERIFY(text.outText().contains(QRegularExpression("INFO_SCREENS .* 0 bytes\\n")));
}
