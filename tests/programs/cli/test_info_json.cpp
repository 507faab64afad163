// info --json: every field of the project, its unusual values exactly.
#include "test_cli.h"

#include "CliFixtures.h"
#include "ProgramRun.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <climits>
#include <cstring>
#include <limits>

namespace {

QJsonObject infoJson(const QString& path)
{
    const ProgramRun r = runCli({"info", path, "--json"});
    if (r.status != 0)
        qWarning("%s", r.err.constData());
    return QJsonDocument::fromJson(r.out).object();
}

void setServiceBytes(TDevice_Config_v2& rec, const QByteArray& bytes)
{
    std::memset(rec.service_info_text, 0, sizeof rec.service_info_text);
    std::memcpy(rec.service_info_text, bytes.constData(), size_t(qMin<qsizetype>(bytes.size(), 122)));
}

// The inverse of the dump's escapes: \\ is a backslash, \xNN a byte, every
// other character its UTF-8 bytes.
QByteArray unescaped(const QString& text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += char(text.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
        } else {
            out += QString(text[i]).toUtf8();
        }
    }
    return out;
}

} // namespace

void TestInfoJson::roundTripsUnusualValues()
{
    QTemporaryDir dir;
    FixtureProject p;
    TDevice_Config_v2& r = p.rec;
    r.theme_colour = 0xAB123456; // the top byte is not part of the colour, but it is stored
    r.unoccupied_min_temp = 0xFFFFFFFF;
    r.language = 200;
    r.ad_ctrl_enable[6] = 7;
    setServiceBytes(r, QByteArray("line\r\nnext\\ \xff end"));
    r.service_info_text[121] = 'Q'; // after the terminating zero
    r._padding1 = 7;
    r._padding2[1] = 2;
    r._padding_end[0] = 3;
    r.checksum[0] = 0x99;
    r.daily_schedule[3].event_count = 1234567;
    TSchedule_Event& e = r.daily_schedule[6].daily_event[7];
    e.setpoint = 0xFFFFFFFF;
    e.minute_of_day = 65535;
    e.reserved1 = 9;
    e.in_use = 2;
    e.reserved2[2] = 250;
    r.frost_protection_enabled = 1;
    r.info_scr_slideshow_display_rate = 65535;

    THandle_object& logos = *p.handles[kLogosIdx];
    logos.name = QString::fromUtf8("LOGOS-ü");
    logos.raw_jpg_enabled = true;
    logos.jpg_display_format = 3;
    logos.display_filter = 7;
    logos.bg_colour = 0xFEDCBA98;
    logos.memory_usage = -5;
    logos.included = false;
    const double stdevs[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), 4.9e-324};
    for (double stdev : stdevs) {
        TCell_object& c = addFixtureImage(logos, "CELL", fixturePicture(4, 4, 1), TFixtureImage::Stored);
        c.dithering = {stdev, -3};
    }
    TCell_object& odd = *logos.cells[0];
    odd.image_file_path = QString::fromUtf8("C:\\Bilder\\Sonne ü.png");
    odd.handle_id = 42;
    odd.fileSize = INT_MAX;
    odd.imageSize = -1;
    odd.included = false;
    odd.imgFileData = QByteArray("xyz");
    const QString path = dir.filePath("odd.cvp");
    p.save(path);

    const QJsonObject root = infoJson(path);
    QCOMPARE(root["dump_version"].toInt(), 1);
    const QJsonObject rec = root["configuration"].toObject();
    QCOMPARE(rec["theme_colour"].toInteger(), qint64(0xAB123456));
    QCOMPARE(rec["unoccupied_min_temp"].toInteger(), qint64(0xFFFFFFFF));
    QCOMPARE(rec["language"].toInt(), 200);
    QCOMPARE(rec["ad_ctrl_enable"].toArray()[6].toInt(), 7);
    QCOMPARE(rec["service_info_text"].toString(), QString("line\r\nnext\\\\ \\xff end"));
    const QByteArray field(reinterpret_cast<const char*>(r.service_info_text), 122);
    QCOMPARE(rec["service_info_text_bytes"].toString(), QString::fromLatin1(field.toHex()));
    QCOMPARE(rec["_padding1"].toInt(), 7);
    QCOMPARE(rec["_padding2"].toArray(), (QJsonArray{0, 2}));
    QCOMPARE(rec["_padding_end"].toArray(), (QJsonArray{3, 0}));
    QCOMPARE(rec["checksum"].toArray()[0].toInt(), 0x99);
    const QJsonArray days = rec["daily_schedule"].toArray();
    QCOMPARE(days.size(), 7);
    QCOMPARE(days[3].toObject()["event_count"].toInteger(), 1234567);
    const QJsonObject slot = days[6].toObject()["daily_event"].toArray()[7].toObject();
    QCOMPARE(slot["setpoint"].toInteger(), qint64(0xFFFFFFFF));
    QCOMPARE(slot["minute_of_day"].toInt(), 65535);
    QCOMPARE(slot["reserved1"].toInt(), 9);
    QCOMPARE(slot["in_use"].toInt(), 2);
    QCOMPARE(slot["reserved2"].toArray(), (QJsonArray{0, 0, 250}));
    QCOMPARE(rec["frost_protection_enabled"].toInt(), 1);
    QCOMPARE(rec["info_scr_slideshow_display_rate"].toInt(), 65535);

    const QJsonObject h = root["handles"].toArray()[kLogosIdx].toObject();
    QCOMPARE(h["name"].toString(), QString::fromUtf8("LOGOS-ü"));
    QCOMPARE(h["position"].toInt(), 1);
    QCOMPARE(h["raw_jpg_enabled"].toBool(), true);
    QCOMPARE(h["jpg_display_format"].toInt(), 3);
    QCOMPARE(h["display_filter"].toInt(), 7);
    QCOMPARE(h["bg_colour"].toInteger(), qint64(0xFEDCBA98));
    QCOMPARE(h["memory_usage"].toInt(), -5);
    QCOMPARE(h["included"].toBool(), false);
    const QJsonArray cells = h["cells"].toArray();
    QCOMPARE(cells.size(), 4);
    const QJsonObject c = cells[0].toObject();
    QCOMPARE(c["image_file_path"].toString(), QString::fromUtf8("C:\\Bilder\\Sonne ü.png"));
    QCOMPARE(c["handle_id"].toInt(), 42);
    QCOMPARE(c["fileSize"].toInteger(), qint64(INT_MAX));
    QCOMPARE(c["imageSize"].toInt(), -1);
    QCOMPARE(c["included"].toBool(), false);
    QCOMPARE(c["random_bits"].toInt(), -3);
    QCOMPARE(c["image_data_length"].toInt(), 3);
    QCOMPARE(c["image_data_sha256"].toString(),
             QString::fromLatin1(QCryptographicHash::hash("xyz", QCryptographicHash::Sha256).toHex()));
    QCOMPARE(cells[0].toObject()["random_stdev"].toString(), QString("Infinity"));
    QCOMPARE(cells[1].toObject()["random_stdev"].toString(), QString("-Infinity"));
    QCOMPARE(cells[2].toObject()["random_stdev"].toString(), QString("NaN"));
    QCOMPARE(cells[3].toObject()["random_stdev"].toDouble(), 4.9e-324);
}

void TestInfoJson::escapedTextGivesBackTheBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain text") << QByteArray("For servicing, call us.");
    QTest::newRow("UTF-8 kept as characters") << QByteArray("Kältemittel \xe2\x82\xac");
    QTest::newRow("backslash, and text that looks like an escape") << QByteArray("C:\\x41\\\\");
    QTest::newRow("byte that is no text") << QByteArray("a\xff\xfe b");
    QTest::newRow("overlong form") << QByteArray("\xc0\xaf/");
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80!");
    QTest::newRow("sequence cut by the field's end") << QByteArray(120, 'x') + QByteArray("\xe2\x82");
}

void TestInfoJson::escapedTextGivesBackTheBytes()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    FixtureProject p;
    setServiceBytes(p.rec, bytes);
    const QString path = dir.filePath("text.cvp");
    p.save(path);
    const QJsonObject rec = infoJson(path)["configuration"].toObject();
    QCOMPARE(unescaped(rec["service_info_text"].toString()), bytes);
}
