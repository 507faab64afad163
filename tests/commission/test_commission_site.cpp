// corvane-cli commission --site end to end: virtual controllers on
// pseudo-terminals, each given its own row of a site sheet; the memories, the
// log and the report checked afterwards, and a bad sheet seen to stop the run
// before any controller hears a byte.
#include "EventWait.h"
#include "ProgramRun.h"
#include "ProjectFixtures.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/commissioning/TSiteSheet.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "sim/lib/VirtualController.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <map>
#include <memory>

namespace {

constexpr uint32_t kImageStore = 0x80000;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString sha256Of(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::map<QString, TCommissioningRecord> recordsByPort(const QString& log)
{
    std::map<QString, TCommissioningRecord> out;
    for (const TCommissioningRecord& r : readCommissioningLog(log).records)
        out[r.port] = r;
    return out;
}

// Reads a running program's stdout until the text is in it count times.
bool waitForOutput(QProcess& p, QByteArray& seen, const QByteArray& text, int count = 1, int timeoutMs = 120000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (seen.count(text) < count && !deadline.hasExpired()) {
        p.waitForReadyRead(200);
        seen += p.readAllStandardOutput();
        if (p.state() == QProcess::NotRunning) {
            seen += p.readAllStandardOutput();
            break;
        }
    }
    return seen.count(text) >= count;
}

// The text with %1, %2, %3 replaced by the ports (an argument a text does not
// use is no mistake here).
QString withPorts(QString text, const QStringList& ports)
{
    for (int i = 0; i < ports.size(); ++i)
        text.replace(QStringLiteral("%%1").arg(i + 1), ports[i]);
    return text;
}

} // namespace

class TestCommissionSite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyControllerGetsItsRow();
    void controllerWithoutRow();
    void badSheetSendsNothing_data();
    void badSheetSendsNothing();
    void watchAppliesRowsInOrder();

private:
    // The block the project's record with the sheet's row for key gives:
    // built as every upload builds it, from the record.
    QByteArray expectedBlock(const QString& sheetPath, const QString& port, int order) const;

    QTemporaryDir m_dir;
    QString m_project;
    TDevice_Config_v2 m_projectRecord{};
    QByteArray m_imageBlock;
};

void TestCommissionSite::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_project = m_dir.filePath(QStringLiteral("site.cvp"));
    TDevice_Config_v2 rec = newProjectConfig();
    rec.theme_colour = 0x00AA55;
    rec.controller_type = 1;
    rec.unoccupied_max_temp = 250;
    writeServiceText(QStringLiteral("Floor 3"), rec);
    THandleList handles;
    createDefaultHandles(handles);
    THandle_object& logos = *handles[kLogosIdx];
    QImage logo(logos.width, logos.height, QImage::Format_ARGB32_Premultiplied);
    logo.fill(qRgb(200, 60, 20));
    addFixtureImage(logos, QStringLiteral("RED"), logo, TFixtureImage::Stored);
    Save_Project_File(m_project, rec, handles);

    THandleList loaded;
    QVERIFY(Load_Project_File(m_project, m_projectRecord, loaded));
    Build_Image_Data(m_imageBlock, loaded);
    QVERIFY(m_imageBlock.size() > 100);
}

QByteArray TestCommissionSite::expectedBlock(const QString& sheetPath, const QString& port, int order) const
{
    TSiteSheet sheet;
    if (!sheet.read(sheetPath))
        return {};
    TDevice_Config_v2 rec = m_projectRecord;
    if (const TSiteSheet::Row* row = sheet.rowFor(port, QString(), order))
        rec = TSiteSheet::applied(rec, *row);
    const TDeviceConfiguration block = buildUploadBlock(rec);
    return QByteArray(reinterpret_cast<const char*>(block.raw_bytes), sizeof block.raw_bytes);
}

void TestCommissionSite::everyControllerGetsItsRow()
{
    VirtualController a, b, c;
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString sheet = m_dir.filePath(QStringLiteral("rooms.csv"));
    // As a spreadsheet saves it where the decimal mark is a comma.
    writeFile(sheet,
              "\xEF\xBB\xBF"
                  + QStringLiteral("port;room;service_info_text;controller_type;theme_colour\r\n"
                                   "%1;Room 104;\"Room 104\r\nService: 0161 555 0100\";0;\r\n"
                                   "%2;Room 105;Room 105;;#102030\r\n"
                                   "%3;Room 106;\"Room 106; east\";1;\r\n")
                        .arg(a.portName(), b.portName(), c.portName())
                        .toUtf8());
    const QString log = m_dir.filePath(QStringLiteral("rooms.jsonl"));
    const ProgramRun r
        = runCli({QStringLiteral("commission"), m_project, QStringLiteral("--port"), a.portName(),
                  QStringLiteral("--port"), b.portName(), QStringLiteral("--port"), c.portName(),
                  QStringLiteral("--verify"), QStringLiteral("--site"), sheet, QStringLiteral("--log"), log});
    QVERIFY2(r.status == 0, qPrintable(r.errText() + r.outText()));

    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 3);
    const QString sheetSha = sha256Of(fileBytes(sheet));
    QSet<QByteArray> checksums;
    for (VirtualController* s : {&a, &b, &c}) {
        const QByteArray want = expectedBlock(sheet, s->portName(), 0);
        QCOMPARE(want.size(), 1408);
        QCOMPARE(s->memory(0, 1408), want);
        QCOMPARE(s->memory(kImageStore, int(m_imageBlock.size())), m_imageBlock);
        const TCommissioningRecord& rec = records.at(s->portName());
        QVERIFY(rec.ok);
        QCOMPARE(rec.siteSheet, QStringLiteral("rooms.csv"));
        QCOMPARE(rec.siteSheetSha256, sheetSha);
        QCOMPARE(rec.siteRow, s->portName());
        // Each controller's own checksum, as its block carries it.
        QCOMPARE(rec.configChecksum.value_or(QByteArray()), want.mid(2 + 1342, 2));
        checksums.insert(*rec.configChecksum);
    }
    QCOMPARE(checksums.size(), 3);
    // What each row set, and only that, is on record.
    QCOMPARE(records.at(a.portName()).siteValues,
             QJsonObject({{"service_info_text", "Room 104\nService: 0161 555 0100"}, {"controller_type", 0}}));
    QCOMPARE(records.at(b.portName()).siteValues,
             QJsonObject({{"service_info_text", "Room 105"}, {"theme_colour", 0x102030}}));
    // The master flag and the text as the controller holds them.
    QCOMPARE(uint8_t(a.memory(2 + 16, 1)[0]), uint8_t(0));
    QCOMPARE(uint8_t(b.memory(2 + 16, 1)[0]), uint8_t(1));
    QCOMPARE(a.memory(2 + 54, 32), QByteArray("Room 104\rService: 0161 555 0100", 32));
    QCOMPARE(c.memory(2 + 54, 16), QByteArray("Room 106; east\0\0", 16));

    const ProgramRun report = runCli({QStringLiteral("report"), log});
    QCOMPARE(report.status, 0);
    const QStringList lines = report.outLines();
    QVERIFY2(lines.value(0).startsWith(QStringLiteral("controller"))
                 && lines.value(0).contains(QStringLiteral("site row")),
             qPrintable(report.outText()));
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY2(report.outText().contains(s->portName() + QStringLiteral("  ")), qPrintable(report.outText()));
}

void TestCommissionSite::controllerWithoutRow()
{
    VirtualController a, b, c;
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString sheet = m_dir.filePath(QStringLiteral("one-row.csv"));
    writeFile(sheet, QStringLiteral("port,service_info_text\n%1,Room 1\n").arg(a.portName()).toUtf8());
    const QString log = m_dir.filePath(QStringLiteral("one-row.jsonl"));

    // Without --site-only a controller the sheet does not name gets the
    // project as it is.
    ProgramRun r = runCli({QStringLiteral("commission"), m_project, QStringLiteral("--port"), a.portName(),
                           QStringLiteral("--port"), b.portName(), QStringLiteral("--config"), QStringLiteral("--site"),
                           sheet, QStringLiteral("--log"), log});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QCOMPARE(a.memory(0, 1408), expectedBlock(sheet, a.portName(), 0));
    QCOMPARE(b.memory(0, 1408), expectedBlock(sheet, QStringLiteral("none"), 0));
    QVERIFY(a.memory(0, 1408) != b.memory(0, 1408));
    auto records = recordsByPort(log);
    QCOMPARE(records.at(b.portName()).siteRow, QString());
    QCOMPARE(records.at(b.portName()).siteSheet, QStringLiteral("one-row.csv"));

    // With it, that controller is skipped before a byte is written to it.
    r = runCli({QStringLiteral("commission"), m_project, QStringLiteral("--port"), c.portName(),
                QStringLiteral("--config"), QStringLiteral("--site"), sheet, QStringLiteral("--site-only"),
                QStringLiteral("--log"), log});
    QCOMPARE(r.status, 1);
    QVERIFY2(
        r.errText().contains(QStringLiteral("skipped: the site sheet has no row for it (port %1)").arg(c.portName())),
        qPrintable(r.errText()));
    QCOMPARE(c.frameCount(), 0);
    QCOMPARE(c.writeCount(), 0);
    records = recordsByPort(log);
    QVERIFY(!records.at(c.portName()).ok);
}

void TestCommissionSite::badSheetSendsNothing_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QStringList>("errors");
    // %1 %2 %3: the controllers' ports.
    QTest::newRow("unknown column and a bad value")
        << QByteArray("port,master,controller_type\n%1,1,0\n%2,1,2\n%3,0,1\n") << QStringList()
        << QStringList{
               QStringLiteral("bad.csv:1: column \"master\": not a field of the record"),
               QStringLiteral("bad.csv:3: column \"controller_type\": \"2\" is not a value of this field: 0 or 1")};
    QTest::newRow("two rows for one controller, a service text too long")
        << QByteArray("port,service_info_text\n%1,A\n%2,\"B\nB\nB\nB\"\n%1,C\n") << QStringList()
        << QStringList{QStringLiteral("bad.csv:3: column \"service_info_text\": the service text has 4 lines"),
                       QStringLiteral("bad.csv:7: column \"port\": \"%1\" is also the key of line 2")};
    QTest::newRow("order without --watch")
        << QByteArray("order,service_info_text\n1,A\n") << QStringList()
        << QStringList{QStringLiteral("bad.csv: column \"order\": the n-th controller is known only with --watch")};
    QTest::newRow("lower limit set too close to the project's upper limit")
        << QByteArray("port,unoccupied_min_temp\n%1,240\n") << QStringList()
        << QStringList{
               QStringLiteral("bad.csv:2: column \"unoccupied_min_temp\": the unoccupied lower limit (240) must "
                              "be at least 20 below the upper limit (250)")};
    QTest::newRow("images only") << QByteArray("port,service_info_text\n%1,A\n")
                                 << QStringList{QStringLiteral("--images")}
                                 << QStringList{
                                        QStringLiteral("--site sets fields of the configuration: give --config too")};
    QTest::newRow("--site-only without --site") << QByteArray() << QStringList{QStringLiteral("--site-only")}
                                                << QStringList{QStringLiteral("--site-only needs --site SHEET")};
}

void TestCommissionSite::badSheetSendsNothing()
{
    QFETCH(QByteArray, sheet);
    QFETCH(QStringList, extra);
    QFETCH(QStringList, errors);
    VirtualController a, b, c;
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString path = m_dir.filePath(QStringLiteral("bad.csv"));
    const QStringList ports{a.portName(), b.portName(), c.portName()};
    writeFile(path, withPorts(QString::fromUtf8(sheet), ports).toUtf8());
    const QString log = m_dir.filePath(QStringLiteral("bad.jsonl"));
    QFile::remove(log);
    QStringList args{QStringLiteral("commission"), m_project};
    for (VirtualController* s : {&a, &b, &c})
        args << QStringLiteral("--port") << s->portName();
    args << QStringLiteral("--log") << log << extra;
    if (!sheet.isEmpty())
        args << QStringLiteral("--site") << QStringLiteral("bad.csv");
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(QStringLiteral(CORVANE_CLI), args);
    QVERIFY(p.waitForFinished(120000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitCode(), 2);
    for (const QString& e : errors)
        QVERIFY2(err.contains(withPorts(e, ports)), qPrintable(err));
    // Not a byte reached any controller, and nothing was put on record.
    for (VirtualController* s : {&a, &b, &c})
        QCOMPARE(s->frameCount(), 0);
    QVERIFY(!QFileInfo::exists(log));
}

void TestCommissionSite::watchAppliesRowsInOrder()
{
    const QString link = m_dir.filePath(QStringLiteral("adapter"));
    const QString sheet = m_dir.filePath(QStringLiteral("order.csv"));
    writeFile(sheet, "order,name,service_info_text,controller_type\n2,Room 105,Room 105,1\n1,Room 104,Room 104,0\n");
    const QString log = m_dir.filePath(QStringLiteral("watch.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI),
            {QStringLiteral("commission"), m_project, QStringLiteral("--watch"), QStringLiteral("--port"), link,
             QStringLiteral("--config"), QStringLiteral("--site"), sheet, QStringLiteral("--log"), log});
    QVERIFY(p.waitForStarted());
    const auto stopped = qScopeGuard([&p] {
        p.kill();
        p.waitForFinished(10000);
    });
    QByteArray seen;
    QVERIFY(waitForOutput(p, seen, "waiting for a controller"));
    for (int order = 1; order <= 2; ++order) {
        auto sim = std::make_unique<VirtualController>();
        QVERIFY(sim->start());
        QVERIFY(sim->makeLink(link));
        QVERIFY2(waitForOutput(p, seen, QStringLiteral("\n#%1 ").arg(order).toUtf8()), seen.constData());
        QCOMPARE(sim->memory(0, 1408), expectedBlock(sheet, link, order));
        sim.reset(); // the cable is pulled
        QVERIFY2(waitForOutput(p, seen, "controller removed", order), seen.constData());
    }
    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const std::vector<TCommissioningRecord> records = readCommissioningLog(log).records;
    QCOMPARE(int(records.size()), 2);
    QCOMPARE(records[0].siteRow, QStringLiteral("1"));
    QCOMPARE(records[1].siteRow, QStringLiteral("2"));
    QCOMPARE(records[0].siteValues.value(QStringLiteral("service_info_text")).toString(), QStringLiteral("Room 104"));

    const ProgramRun report = runCli({QStringLiteral("report"), log});
    QCOMPARE(report.status, 0);
    const QStringList lines = report.outLines();
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines[1].contains(QRegularExpression(QStringLiteral("#1 \\(watch of [^)]*\\)  +1  "))),
             qPrintable(lines[1]));
    QVERIFY2(lines[2].contains(QRegularExpression(QStringLiteral("#2 \\(watch of [^)]*\\)  +2  "))),
             qPrintable(lines[2]));
}

QTEST_GUILESS_MAIN(TestCommissionSite)
#include "test_commission_site.moc"
