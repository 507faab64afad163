#include "test_model.h"

#include "core/model/DeviceConfig.h"
#include "core/model/Fletcher.h"

#include <QtTest>

#include <cstring>

void TestDeviceConfig::fletcherOfAbc()
{
    uint8_t bytes[5] = {'a', 'b', 'c', 0, 0};
    QCOMPARE(Fletcher_Sum(bytes, 0, 3), uint16_t(0x4C27));
    QCOMPARE(Fletcher_Sum(bytes, 0, 0), uint16_t(0));
    Fletcher_Check_Bytes(bytes, 0, 3);
    QCOMPARE(bytes[3], uint8_t(140));
    QCOMPARE(bytes[4], uint8_t(76));
    QCOMPARE(Fletcher_Sum(bytes, 0, 5), uint16_t(0));
}

void TestDeviceConfig::checkBytesNeverZero()
{
    // Long and varied ranges: check bytes stay in 1..255 and close the sum.
    QByteArray data(70000, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 7919) >> 3);
    for (int len : {0, 1, 254, 255, 4095, 4096, 4097, 69998}) {
        auto* p = reinterpret_cast<uint8_t*>(data.data());
        Fletcher_Check_Bytes(p, 0, len);
        QVERIFY(p[len] != 0 && p[len + 1] != 0);
        QCOMPARE(Fletcher_Sum(p, 0, len + 2), uint16_t(0));
    }
}

void TestDeviceConfig::uploadBlockValidates()
{
    TDevice_Config_v2 rec = newProjectConfig();
    rec.theme_colour = 0x123456;
    const TDeviceConfiguration block = buildUploadBlock(rec);
    QCOMPARE(block.cfg_ver, uint16_t(2));
    QCOMPARE(std::memcmp(block.cfg_rec, &rec, kConfigV2Size), 0);
    for (std::size_t i = 2 + kConfigV2Size; i < kConfigBlockSize; ++i)
        QCOMPARE(block.raw_bytes[i], uint8_t(0));
    TDevice_Config_v2 dest;
    std::memset(&dest, 0xAA, sizeof dest);
    QVERIFY(Validate_Device_Configuration(block, dest));
    QCOMPARE(std::memcmp(&dest, &rec, kConfigV2Size), 0);
}

void TestDeviceConfig::singleByteChangeIsDetected_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("newValue");
    QTest::addColumn<bool>("valid");
    // theme_colour's high byte is 0 in a new project; occupied_setpoint's low byte is 210.
    QTest::newRow("zero to 1") << 3 << 1 << false;
    QTest::newRow("210 to 211") << 12 << 211 << false;
    QTest::newRow("zero to 255 goes unseen") << 3 << 255 << true;
    QTest::newRow("check byte") << 1342 << 0 << false;
    QTest::newRow("last padding byte") << 1341 << 7 << false;
}

void TestDeviceConfig::singleByteChangeIsDetected()
{
    QFETCH(int, offset);
    QFETCH(int, newValue);
    QFETCH(bool, valid);
    TDevice_Config_v2 rec = newProjectConfig();
    TDeviceConfiguration block = buildUploadBlock(rec);
    block.raw_bytes[2 + offset] = uint8_t(newValue);
    TDevice_Config_v2 dest = newProjectConfig();
    const TDevice_Config_v2 before = dest;
    QCOMPARE(Validate_Device_Configuration(block, dest), valid);
    if (!valid)
        QCOMPARE(std::memcmp(&dest, &before, sizeof dest), 0);
}

void TestDeviceConfig::versionOneBlockIsConverted()
{
    TDevice_Config_v2 fresh = newProjectConfig();
    TDevice_Config_v1 v1;
    std::memcpy(&v1, &fresh, 178);
    v1.theme_colour = 0xABCDEF;
    Fletcher_Check_Bytes(reinterpret_cast<uint8_t*>(&v1), 0, 178);

    TDeviceConfiguration block;
    std::memset(&block, 0, sizeof block);
    block.cfg_ver = 1;
    std::memcpy(block.cfg_rec, &v1, kConfigV1Size);

    TDevice_Config_v2 dest;
    std::memset(&dest, 0x5A, sizeof dest); // an earlier project with frost protection on
    dest.frost_protection_enabled = 1;
    QVERIFY(Validate_Device_Configuration(block, dest));
    QCOMPARE(dest.frost_protection_enabled, uint8_t(0));
    QCOMPARE(dest._padding_end[0], uint8_t(0));
    QCOMPARE(dest._padding_end[1], uint8_t(0));
    QCOMPARE(std::memcmp(&dest, &v1, 178), 0);
    QCOMPARE(dest.scheduler_enabled, uint8_t(0));
    QCOMPARE(dest._padding1, uint8_t(0));
    for (const TSchedule_Day& day : dest.daily_schedule) {
        QCOMPARE(day.event_count, 0u);
        for (const TSchedule_Event& e : day.daily_event) {
            QCOMPARE(e.setpoint, 180u);
            QCOMPARE(e.in_use, uint8_t(0));
            QCOMPARE(e.mode, uint8_t(5));
            QCOMPARE(e.fanspeed, uint8_t(5));
            QCOMPARE(e.airdir, uint8_t(1));
        }
    }
    QCOMPARE(dest.info_scr_slideshow_enabled, uint8_t(0));
    QCOMPARE(dest.info_scr_slideshow_display_rate, uint16_t(10));
    QCOMPARE(dest.info_scr_slideshow_visible_time, uint16_t(1));
    QCOMPARE(dest.info_scr_slideshow_start_min, uint16_t(0));
    QCOMPARE(dest.info_scr_slideshow_stop_min, uint16_t(1439));

    block.raw_bytes[10] ^= 1;
    QVERIFY(!Validate_Device_Configuration(block, dest));
}

void TestDeviceConfig::unknownVersionIsRefused()
{
    TDevice_Config_v2 rec = newProjectConfig();
    TDeviceConfiguration block = buildUploadBlock(rec);
    for (uint16_t v : {uint16_t(0), uint16_t(3), uint16_t(0x0200)}) {
        block.cfg_ver = v;
        TDevice_Config_v2 dest{};
        QVERIFY(!Validate_Device_Configuration(block, dest));
    }
}

void TestDeviceConfig::newProjectDefaults()
{
    TDevice_Config_v2 rec;
    std::memset(&rec, 0xEE, sizeof rec); // stale bytes of an earlier project
    applyNewProjectDefaults(rec);
    QCOMPARE(rec.theme_colour, 0x00FFFFFFu);
    QCOMPARE(rec.unoccupied_min_temp, 100u);
    QCOMPARE(rec.unoccupied_max_temp, 290u);
    QCOMPARE(rec.occupied_setpoint, 210u);
    QCOMPARE(rec.occupied_mode, uint8_t(5));
    QCOMPARE(rec.occupied_fanspeed, uint8_t(5));
    QCOMPARE(rec.occupied_airdir, uint8_t(1));
    QCOMPARE(rec.ad_ctrl_enable[6], uint8_t(1));
    QCOMPARE(rec.info_scr_slideshow_visible_time, uint16_t(60));
    QCOMPARE(rec.frost_protection_enabled, uint8_t(0));
    QCOMPARE(rec.daily_schedule[6].daily_event[7].in_use, uint8_t(0));
    QCOMPARE(rec.daily_schedule[3].daily_event[2].setpoint, 0u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(rec.service_info_text)),
             QByteArray("For servicing, please contact your installer."));
    QCOMPARE(rec.service_info_text[45], uint8_t(0));
    QCOMPARE(rec.checksum[0], uint8_t(0));
}

void TestDeviceConfig::serviceText_data()
{
    QTest::addColumn<QString>("editorText");
    QTest::addColumn<QByteArray>("fieldStart");
    QTest::addColumn<QString>("readBack");

    const QString line40 = QString(40, QChar('x'));
    const QString threeLines = line40 + "\r\n" + line40 + "\r\n" + line40;
    // 122 bytes and no zero after them: read whole, the last character too.
    QTest::newRow("three full lines fill the field")
        << threeLines << (QByteArray(40, 'x') + '\r' + QByteArray(40, 'x') + '\r' + QByteArray(40, 'x')) << threeLines;
    QTest::newRow("a 122nd byte that is not a break")
        << (line40 + "\r\n" + line40 + "\r\n" + QString(39, QChar('x')) + "Z")
        << (QByteArray(40, 'x') + '\r' + QByteArray(40, 'x') + '\r' + QByteArray(39, 'x') + 'Z')
        << (line40 + "\r\n" + line40 + "\r\n" + QString(39, QChar('x')) + "Z");
    QTest::newRow("line feeds removed, CR kept") << QString("a\r\nb\nc") << QByteArray("a\rbc") << QString("a\r\nbc");
    QTest::newRow("non-ASCII stored as UTF-8, read back unchanged")
        << QString::fromUtf8("Caf\xC3\xA9 20\xC2\xB0") << QByteArray("Caf\xC3\xA9 20\xC2\xB0")
        << QString::fromUtf8("Caf\xC3\xA9 20\xC2\xB0");
    // A character cut in two by the field's end is dropped; the rest stays UTF-8.
    const QString cut = QString(40, QChar('x')) + "\r\n" + QString(40, QChar('x')) + "\r\n" + QString(39, QChar('x'))
        + QString::fromUtf8("\xC3\xA9");
    QTest::newRow("UTF-8 character cut by the field's end")
        << cut << (QByteArray(40, 'x') + '\r' + QByteArray(40, 'x') + '\r' + QByteArray(39, 'x') + "\xC3")
        << (QString(40, QChar('x')) + "\r\n" + QString(40, QChar('x')) + "\r\n" + QString(39, QChar('x')));
    QTest::newRow("UTF-8 character ending the field")
        << (QString(40, QChar('x')) + "\r\n" + QString(40, QChar('x')) + "\r\n" + QString(38, QChar('x'))
            + QString::fromUtf8("\xC3\xA9"))
        << (QByteArray(40, 'x') + '\r' + QByteArray(40, 'x') + '\r' + QByteArray(38, 'x') + "\xC3\xA9")
        << (QString(40, QChar('x')) + "\r\n" + QString(40, QChar('x')) + "\r\n" + QString(38, QChar('x'))
            + QString::fromUtf8("\xC3\xA9"));
    QTest::newRow("empty") << QString() << QByteArray() << QString();
}

void TestDeviceConfig::serviceText()
{
    QFETCH(QString, editorText);
    QFETCH(QByteArray, fieldStart);
    QFETCH(QString, readBack);
    TDevice_Config_v2 rec = newProjectConfig();
    rec.info_screen_time_to_show = 77;
    writeServiceText(editorText, rec);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(rec.service_info_text), fieldStart.size()), fieldStart);
    for (int i = fieldStart.size(); i < kServiceTextBytes; ++i)
        QCOMPARE(rec.service_info_text[i], uint8_t(0));
    QCOMPARE(rec.info_screen_time_to_show, uint8_t(77)); // nothing outside the field touched
    QCOMPARE(readServiceText(rec), readBack);
}

void TestDeviceConfig::serviceTextLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("one line") << QStringLiteral("Desk 4") << 1;
    QTest::newRow("final break opens no line") << QStringLiteral("Desk 4\n") << 1;
    QTest::newRow("editor breaks") << QStringLiteral("a\nb\nc") << 3;
    QTest::newRow("record breaks") << QStringLiteral("a\rb\rc\rd") << 4;
    QTest::newRow("CR LF is one break") << QStringLiteral("a\r\nb\r\n") << 2;
    QTest::newRow("empty line counts") << QStringLiteral("a\n\nb") << 3;
}

void TestDeviceConfig::serviceTextLines()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    QCOMPARE(serviceTextLineCount(text), lines);
}
