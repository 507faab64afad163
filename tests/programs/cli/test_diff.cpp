// corvane-cli diff: each kind of difference found and named once; exit status
// as diff's.
#include "test_cli.h"

#include "CliFixtures.h"
#include "ProgramRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <functional>

using Change = std::function<void(FixtureProject&)>;
Q_DECLARE_METATYPE(Change)

void TestDiff::findsEachKindOfChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("kind");   // of the one difference; empty: equal
    QTest::addColumn<QString>("detail"); // "change field" of it
    QTest::addColumn<QString>("line");   // in the text output

    QTest::newRow("equal") << Change([](FixtureProject&) {}) << ""
                           << ""
                           << "";
    QTest::newRow("record field") << Change([](FixtureProject& p) { p.rec.theme_colour = 0x00102030; }) << "record"
                                  << "field theme_colour"
                                  << "configuration.theme_colour: 16777215 -> 1056816";
    QTest::newRow("schedule slot") << Change([](FixtureProject& p) {
        p.rec.daily_schedule[2].daily_event[5].minute_of_day = 600;
    }) << "record"
                                   << "field daily_schedule[2].daily_event[5].minute_of_day"
                                   << "configuration.daily_schedule[2].daily_event[5].minute_of_day:";
    QTest::newRow("handle setting") << Change([](FixtureProject& p) { p.handles[kLogosIdx]->compression_format = 5; })
                                    << "handle"
                                    << "field compression_format"
                                    << "handle LOGOS: compression_format: 6 -> 5";
    QTest::newRow("image content") << Change([](FixtureProject& p) {
        p.handles[kLogosIdx]->cells[0]->imgFileData = pngBytes(fixturePicture(125, 85, 99));
    }) << "image"
                                   << "content image_data_sha256"
                                   << "image LOGOS/SUN: picture changed";
    QTest::newRow("image setting") << Change([](FixtureProject& p) {
        p.handles[kBackgroundsIdx]->cells[0]->dithering.random_stdev = 0.5;
    }) << "image"
                                   << "field random_stdev"
                                   << "image BACKGROUNDS/SKY: random_stdev:";
    QTest::newRow("image added") << Change([](FixtureProject& p) {
        addFixtureImage(*p.handles[kInfoScreensIdx], "NEWS", fixturePicture(480, 272, 5), TFixtureImage::Stored);
    }) << "image"
                                 << "added "
                                 << "image INFO_SCREENS/NEWS: added";
    QTest::newRow("image removed") << Change([](FixtureProject& p) { p.handles[kBgThumbnailsIdx]->cells.clear(); })
                                   << "image"
                                   << "removed "
                                   << "image BG_THUMBNAILS/SKY: removed";
}

void TestDiff::findsEachKindOfChange()
{
    QFETCH(Change, change);
    QFETCH(QString, kind);
    QFETCH(QString, detail);
    QFETCH(QString, line);
    QTemporaryDir dir;
    const QString a = dir.filePath("a.cvp"), b = dir.filePath("b.cvp");
    FixtureProject(true).save(a);
    FixtureProject changed(true);
    change(changed);
    changed.save(b);

    const ProgramRun text = runCli({"diff", a, b});
    const ProgramRun json = runCli({"diff", a, b, "--json"});
    const QJsonObject root = QJsonDocument::fromJson(json.out).object();
    const QJsonArray differences = root["differences"].toArray();
    if (kind.isEmpty()) {
        QCOMPARE(text.status, 0);
        QVERIFY(text.out.isEmpty());
        QCOMPARE(json.status, 0);
        QCOMPARE(root["equal"].toBool(), true);
        QVERIFY(differences.isEmpty());
        return;
    }
    QVERIFY2(text.status == 1, qPrintable(text.errText()));
    QCOMPARE(text.outLines().size(), 1);
    QVERIFY2(text.outLines()[0].startsWith(line), qPrintable(text.outLines()[0]));
    QCOMPARE(json.status, 1);
    QCOMPARE(root["equal"].toBool(), false);
    QCOMPARE(differences.size(), 1);
    const QJsonObject d = differences[0].toObject();
    QCOMPARE(d["kind"].toString(), kind);
    QCOMPARE(d["change"].toString() + ' ' + d["field"].toString(), detail);
}

void TestDiff::unreadableFileIsTrouble()
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.cvp");
    FixtureProject().save(a);
    const ProgramRun r = runCli({"diff", a, dir.filePath("missing.cvp")});
    QCOMPARE(r.status, 2);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.errLines().size(), 1);
}

void TestDiff::storedChecksumAloneIsNoDifference()
{
    // What a retrieve gives back: the same fields under a fresh checksum.
    QTemporaryDir dir;
    FixtureProject source;
    source.save(dir.filePath("a.cvp"));
    FixtureProject retrieved;
    retrieved.rec.checksum[0] ^= 0x5A;
    retrieved.save(dir.filePath("b.cvp"));

    const ProgramRun plain = runCli({"diff", dir.filePath("a.cvp"), dir.filePath("b.cvp")});
    QCOMPARE(plain.status, 0);
    QCOMPARE(plain.outLines(), QStringList{"Only the stored checksum of the configuration differs (--raw shows it)."});
    const ProgramRun json = runCli({"diff", dir.filePath("a.cvp"), dir.filePath("b.cvp"), "--json"});
    QCOMPARE(json.status, 0);
    const QJsonObject root = QJsonDocument::fromJson(json.out).object();
    QVERIFY(root["equal"].toBool());
    QVERIFY(root["stored_checksum_differs"].toBool());

    const ProgramRun raw = runCli({"diff", dir.filePath("a.cvp"), dir.filePath("b.cvp"), "--raw"});
    QCOMPARE(raw.status, 1);
    QCOMPARE(raw.outLines().size(), 1);
    QVERIFY2(raw.outLines().at(0).startsWith("configuration.checksum: "), qPrintable(raw.outText()));
}
