// The site sheet reader: what a spreadsheet saves is read as the installer
// meant it, and every problem of a bad sheet is named by line and column
// before anything could be sent.
#include "core/commissioning/TSiteSheet.h"
#include "core/model/DeviceConfig.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

// The rows as "line key label {values}", one a line.
QString rowsText(const TSiteSheet& sheet)
{
    QStringList out;
    for (const TSiteSheet::Row& r : sheet.rows())
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(r.line)
                   .arg(r.key, r.label, QString::fromUtf8(QJsonDocument(r.values).toJson(QJsonDocument::Compact)));
    return out.join(QLatin1Char('\n'));
}

} // namespace

class TestSiteSheet : public QObject {
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void appliedRowChangesOnlyItsFields();
    void rowsCheckedAgainstTheProject();
    void rowForFindsTheController();
    void oversizedFileIsRefusedUnread();
};

void TestSiteSheet::reads_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QStringList>("problems");
    QTest::addColumn<QString>("rows");

    // Good sheets, as spreadsheets save them.
    QTest::newRow("comma") << QByteArray(
        "adapter_serial,service_info_text,controller_type\nFT1,Room 104,0\nFT2,Room 105,1\n")
                           << QStringList()
                           << QStringLiteral("2 FT1 FT1 {\"controller_type\":0,\"service_info_text\":\"Room 104\"}\n"
                                             "3 FT2 FT2 {\"controller_type\":1,\"service_info_text\":\"Room 105\"}");
    QTest::newRow("semicolon, BOM, CRLF, no final break")
        << QByteArray("\xEF\xBB\xBF"
                      "port;room;theme_colour\r\n/dev/ttyUSB0;Room 1,5;#00FF80\r\n/dev/ttyUSB1;;0x10")
        << QStringList()
        << QStringLiteral("2 /dev/ttyUSB0 Room 1,5 {\"theme_colour\":65408}\n"
                          "3 /dev/ttyUSB1 /dev/ttyUSB1 {\"theme_colour\":16}");
    QTest::newRow("quoted cells: separators, doubled quotes, three lines")
        << QByteArray(
               "order,name,service_info_text\n1,\"Unit \"\"A\"\", west\",\"Room 104\r\nCall 555 0100\nFloor 1\"\n"
               "2,B,\"x;y\"\n")
        << QStringList()
        << QStringLiteral("2 1 Unit \"A\", west {\"service_info_text\":\"Room 104\\nCall 555 0100\\nFloor 1\"}\n"
                          "5 2 B {\"service_info_text\":\"x;y\"}");
    QTest::newRow("empty cells keep the project, blank rows are skipped")
        << QByteArray("adapter_serial,controller_type,occupied_setpoint\n\nFT1,,\n,,\nFT2, 1 ,210\n") << QStringList()
        << QStringLiteral("3 FT1 FT1 {}\n5 FT2 FT2 {\"controller_type\":1,\"occupied_setpoint\":210}");
    QTest::newRow("flags, times, every kind of field")
        << QByteArray("order,rc_ctrl_enable,info_scr_slideshow_start_min,info_scr_slideshow_stop_min,show_setpoint_dp\n"
                      "01,\"[1, 0, 1, 1]\",07:30,1200,0\n")
        << QStringList()
        << QStringLiteral("2 1 1 {\"info_scr_slideshow_start_min\":450,\"info_scr_slideshow_stop_min\":1200,"
                          "\"rc_ctrl_enable\":[1,0,1,1],\"show_setpoint_dp\":0}");
    QTest::newRow("service text of three full lines")
        << (QByteArray("order,service_info_text\n1,\"") + QByteArray(40, 'a') + '\n' + QByteArray(40, 'b') + '\n'
            + QByteArray(40, 'c') + "\"\n")
        << QStringList()
        << (QStringLiteral("2 1 1 {\"service_info_text\":\"") + QString(40, 'a') + "\\n" + QString(40, 'b') + "\\n"
            + QString(40, 'c') + "\"}");

    // Bad sheets: every problem, by line and column.
    QTest::newRow("unknown column, not settable column")
        << QByteArray("adapter_serial,master_controller,checksum\nFT1,1,2\n")
        << QStringList{QStringLiteral(
                           "site.csv:1: column \"master_controller\": not a field of the record (columns are "
                           "named as corvane-cli info --json names the fields; adapter_serial, port, order, "
                           "name and room besides)"),
                       QStringLiteral("site.csv:1: column \"checksum\": cannot be set per controller: the checksum is "
                                      "computed for each controller")}
        << QString();
    QTest::newRow("problems of the header and of the rows, in one pass")
        << QByteArray("port,colour,controller_type\nA,red,5\n")
        << QStringList{QStringLiteral("site.csv:1: column \"colour\": not a field of the record (columns are named as "
                                      "corvane-cli info --json names the fields; adapter_serial, port, order, name and "
                                      "room besides)"),
                       QStringLiteral(
                           "site.csv:2: column \"controller_type\": \"5\" is not a value of this field: 0 or 1")}
        << QString();
    QTest::newRow("header only") << QByteArray("port,controller_type\r\n")
                                 << QStringList{QStringLiteral("site.csv: the sheet has a header but no rows")}
                                 << QString();
    QTest::newRow("no key column") << QByteArray("room,controller_type\nA,1\n")
                                   << QStringList{QStringLiteral(
                                          "site.csv:1: no key column: one of adapter_serial, port or order says which "
                                          "controller a row is for")}
                                   << QString();
    QTest::newRow("two key columns, a column named twice")
        << QByteArray("port,order,controller_type,controller_type\nA,1,1,1\n")
        << QStringList{QStringLiteral("site.csv:1: column \"controller_type\": named twice"),
                       QStringLiteral("site.csv:1: 2 key columns (port, order): give one")}
        << QString();
    QTest::newRow("duplicate keys, empty key, ragged rows")
        << QByteArray("adapter_serial,controller_type\nFT1,0\nft1,1\n,1\nFT3\nFT4,1,1\n")
        << QStringList{QStringLiteral("site.csv:3: column \"adapter_serial\": \"ft1\" is also the key of line 2: one "
                                      "row per controller"),
                       QStringLiteral("site.csv:4: column \"adapter_serial\": empty: every row needs its key"),
                       QStringLiteral("site.csv:5: 1 cell where the header has 2"),
                       QStringLiteral("site.csv:6: 3 cells where the header has 2")}
        << QString();
    QTest::newRow("bad values, each named")
        << QByteArray("order,controller_type,occupied_setpoint,theme_colour,occupied_mode,fs_ctrl_enable,language\n"
                      "1,2,21,#GG0000,0,1 1 1,1\n0,x,215,16777216,6,1 1 1 2,0\n")
        << QStringList{QStringLiteral(
                           "site.csv:2: column \"controller_type\": \"2\" is not a value of this field: 0 or 1"),
                       QStringLiteral("site.csv:2: column \"occupied_setpoint\": \"21\" is not a value of this field: "
                                      "180 to 290 in steps of 10"),
                       QStringLiteral("site.csv:2: column \"theme_colour\": \"#GG0000\" is not a colour: write it as "
                                      "#RRGGBB (or 0xRRGGBB, or a number up to 16777215)"),
                       QStringLiteral(
                           "site.csv:2: column \"occupied_mode\": \"0\" is not a value of this field: 1 to 5"),
                       QStringLiteral(
                           "site.csv:2: column \"fs_ctrl_enable\": \"1 1 1\" is not a row of 4 flags: write 4 "
                           "values 0 or 1, such as \"1 1 1 1\""),
                       QStringLiteral("site.csv:2: column \"language\": \"1\" is not a value of this field: only 0"),
                       QStringLiteral(
                           "site.csv:3: column \"order\": \"0\" is not a place in the order: 1 for the first "
                           "controller, 2 for the second, ..."),
                       QStringLiteral(
                           "site.csv:3: column \"controller_type\": \"x\" is not a value of this field: 0 or 1"),
                       QStringLiteral("site.csv:3: column \"occupied_setpoint\": \"215\" is not a value of this field: "
                                      "180 to 290 in steps of 10"),
                       QStringLiteral("site.csv:3: column \"theme_colour\": \"16777216\" is not a colour: write it as "
                                      "#RRGGBB (or 0xRRGGBB, or a number up to 16777215)"),
                       QStringLiteral(
                           "site.csv:3: column \"occupied_mode\": \"6\" is not a value of this field: 1 to 5"),
                       QStringLiteral(
                           "site.csv:3: column \"fs_ctrl_enable\": \"1 1 1 2\" is not a row of 4 flags: write 4 "
                           "values 0 or 1, such as \"1 1 1 1\"")}
        << QString();
    QTest::newRow("overlong service text: four lines, a long line, too many bytes, a control character")
        << (QByteArray("port,service_info_text\nA,\"1\n2\n3\n4\"\nB,") + QByteArray(41, 'x') + "\nC,\""
            + QByteArray(40, '\xC3').replace("\xC3", "\xC3\xA9") + "\n" + QByteArray(40, 'e') + "\nx\"\nD,a\tb\n")
        << QStringList{QStringLiteral("site.csv:2: column \"service_info_text\": the service text has 4 lines; the "
                                      "controller shows at most 3"),
                       QStringLiteral("site.csv:6: column \"service_info_text\": line 1 of the service text has 41 "
                                      "characters; at most 40 fit"),
                       QStringLiteral("site.csv:7: column \"service_info_text\": the service text takes 123 bytes in "
                                      "UTF-8; the field holds 122"),
                       QStringLiteral("site.csv:10: column \"service_info_text\": the service text holds a control "
                                      "character (U+0009)")}
        << QString();
    QTest::newRow("a cell with line breaks quoted in a problem stays on its line")
        << QByteArray("port,controller_type\nA,\"1\r\n2\"\n")
        << QStringList{QStringLiteral(
               "site.csv:2: column \"controller_type\": \"1\\r\\n2\" is not a value of this field: "
               "0 or 1")}
        << QString();
    QTest::newRow("quote never closed") << QByteArray("port,service_info_text\nA,\"Room\n")
                                        << QStringList{QStringLiteral("site.csv:2: a quoted cell is never closed")}
                                        << QString();
    QTest::newRow("text after a closing quote")
        << QByteArray("port,service_info_text\n\n\nA,\"Room\" 4\n")
        << QStringList{QStringLiteral("site.csv:4: text after the closing quote of a cell")} << QString();
    QTest::newRow("quote inside an unquoted cell")
        << QByteArray("port,service_info_text\nA,Ro\"om\n")
        << QStringList{QStringLiteral("site.csv:2: a quote inside a cell that does not start with one")} << QString();
    QTest::newRow("not UTF-8") << QByteArray("port,service_info_text\nA,Room\nB,Caf\xE9\n")
                               << QStringList{QStringLiteral(
                                      "site.csv:3: not UTF-8 text (save the sheet as CSV UTF-8)")}
                               << QString();
    QTest::newRow("empty") << QByteArray("\xEF\xBB\xBF\r\n;;\r\n")
                           << QStringList{QStringLiteral(
                                  "site.csv: the sheet is empty: it needs a header row and a row per controller")}
                           << QString();
}

void TestSiteSheet::reads()
{
    QFETCH(QByteArray, sheet);
    QFETCH(QStringList, problems);
    QFETCH(QString, rows);
    TSiteSheet s;
    QCOMPARE(s.parse(sheet, QStringLiteral("site.csv")), problems.isEmpty());
    QCOMPARE(s.problems(), problems);
    QCOMPARE(rowsText(s), rows);
    QCOMPARE(s.isValid(), problems.isEmpty());
}

void TestSiteSheet::appliedRowChangesOnlyItsFields()
{
    TSiteSheet s;
    QVERIFY(s.parse("port,service_info_text,controller_type,theme_colour,ad_ctrl_enable,info_scr_slideshow_stop_min,"
                    "unoccupied_max_temp\n"
                    "A,\"Room 104\nCall 555\",1,#123456,1 0 1 0 1 0 1,23:00,250\n",
                    QStringLiteral("site.csv")));
    const TDevice_Config_v2 project = newProjectConfig();
    const TDevice_Config_v2 got = TSiteSheet::applied(project, s.rows().at(0));

    TDevice_Config_v2 want = project;
    writeServiceText(QStringLiteral("Room 104\r\nCall 555"), want);
    want.controller_type = 1;
    want.theme_colour = 0x123456;
    const uint8_t ad[7] = {1, 0, 1, 0, 1, 0, 1};
    std::memcpy(want.ad_ctrl_enable, ad, sizeof ad);
    want.info_scr_slideshow_stop_min = 1380;
    want.unoccupied_max_temp = 250;
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&got), sizeof got),
             QByteArray(reinterpret_cast<const char*>(&want), sizeof want));
    // Lines are stored separated by a carriage return alone.
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(got.service_info_text)), QByteArray("Room 104\rCall 555"));
}

void TestSiteSheet::rowsCheckedAgainstTheProject()
{
    TSiteSheet s;
    QVERIFY(s.parse("order,unoccupied_min_temp,unoccupied_max_temp\n1,190,\n2,,150\n3,250,270\n4,,\n",
                    QStringLiteral("site.csv")));
    TDevice_Config_v2 project = newProjectConfig();
    project.unoccupied_min_temp = 140;
    project.unoccupied_max_temp = 210;
    QCOMPARE(s.checkAgainst(project),
             QStringList({QStringLiteral("site.csv:3: column \"unoccupied_max_temp\": the unoccupied lower limit (140) "
                                         "must be at least 20 below the upper limit (150)")}));
    project.unoccupied_max_temp = 200;
    QCOMPARE(s.checkAgainst(project).size(), 2);
}

void TestSiteSheet::rowForFindsTheController()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("ttyA"));
    QFile f(target);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("alias"))));

    TSiteSheet byPort;
    QVERIFY(byPort.parse(QStringLiteral("port,room\n%1,A\nCOM9,B\n").arg(target).toUtf8(), QStringLiteral("s.csv")));
    QCOMPARE(byPort.rowFor(dir.filePath(QStringLiteral("alias")), QString(), 0)->label, QStringLiteral("A"));
    QCOMPARE(byPort.rowFor(QStringLiteral("COM9"), QString(), 0)->label, QStringLiteral("B"));
    QVERIFY(!byPort.rowFor(QStringLiteral("COM1"), QString(), 0));

    TSiteSheet bySerial;
    QVERIFY(bySerial.parse("adapter_serial,room\nft4xk1a,A\n", QStringLiteral("s.csv")));
    QCOMPARE(bySerial.rowFor(QStringLiteral("COM1"), QStringLiteral("FT4XK1A"), 0)->label, QStringLiteral("A"));
    QVERIFY(!bySerial.rowFor(QStringLiteral("COM1"), QString(), 0));

    TSiteSheet byOrder;
    QVERIFY(byOrder.parse("order,room\n2,Second\n1,First\n", QStringLiteral("s.csv")));
    QCOMPARE(byOrder.rowFor(QStringLiteral("COM1"), QString(), 1)->label, QStringLiteral("First"));
    QCOMPARE(byOrder.rowFor(QStringLiteral("COM1"), QString(), 2)->label, QStringLiteral("Second"));
    QVERIFY(!byOrder.rowFor(QStringLiteral("COM1"), QString(), 3));
    QVERIFY(!byOrder.rowFor(QStringLiteral("COM1"), QString(), 0));
}

void TestSiteSheet::oversizedFileIsRefusedUnread()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.csv"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray sheet("order,service_info_text\n");
    while (sheet.size() <= TSiteSheet::kMaxBytes)
        sheet += "1,x\n";
    f.write(sheet);
    f.close();
    TSiteSheet s;
    QVERIFY(!s.read(path));
    QCOMPARE(s.problems(),
             QStringList({path + QStringLiteral(": larger than a site sheet may be (1048576 bytes at most)")}));
    QVERIFY(!s.read(dir.filePath(QStringLiteral("missing.csv"))));
    QCOMPARE(s.problems().size(), 1);
}

QTEST_GUILESS_MAIN(TestSiteSheet)
#include "test_site_sheet.moc"
