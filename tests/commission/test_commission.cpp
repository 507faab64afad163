// corvane-cli commission and report end to end: several virtual controllers
// on pseudo-terminals, the program run as an installer's script runs it, the
// controllers' memories and the commissioning log checked afterwards.
#include "EventWait.h"
#include "ProgramRun.h"
#include "ProjectFixtures.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "core/storage/DiskIO.h"
#include "sim/lib/VirtualController.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <map>
#include <memory>

namespace {

constexpr uint32_t kImageStore = 0x80000;

// A project with a configuration of its own and one logo, so both blocks
// carry something to compare.
void Write_Project(const QString& path)
{
    TDevice_Config_v2 rec = New_Project_Config();
    rec.theme_colour = 0x00AA55;
    Write_Service_Text(QStringLiteral("Floor 3"), rec);
    THandle_List handles;
    Create_Default_Handles(handles);
    THandle_object& logos = *handles[LOGOS_IDX];
    QImage logo(logos.width, logos.height, QImage::Format_ARGB32_Premultiplied);
    logo.fill(qRgb(200, 60, 20));
    Add_Fixture_Image(logos, QStringLiteral("RED"), logo, TFixtureImage::Stored);
    Save_Project_File(path, rec, handles);
}

struct Memory {
    QByteArray config;
    QByteArray images;
};

Memory Memory_Of(const VirtualController& sim, int imageBytes)
{
    return {sim.memory(0, 1408), sim.memory(kImageStore, imageBytes)};
}

QStringList Commission_Args(const QString& project, const std::vector<VirtualController*>& sims, const QString& log)
{
    QStringList args{QStringLiteral("commission"), project};
    for (const VirtualController* s : sims)
        args << QStringLiteral("--port") << s->portName();
    args << QStringLiteral("--verify") << QStringLiteral("--log") << log;
    return args;
}

std::map<QString, TCommissioningRecord> Records_By_Port(const QString& log)
{
    std::map<QString, TCommissioningRecord> out;
    for (const TCommissioningRecord& r : Read_Commissioning_Log(log).records)
        out[r.port] = r;
    return out;
}

QString Sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// Reads a running program's stdout until it holds the text.
bool Wait_For_Output(QProcess& p, QByteArray& seen, const QByteArray& text, int timeoutMs = 120000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!seen.contains(text) && !deadline.hasExpired()) {
        p.waitForReadyRead(200);
        seen += p.readAllStandardOutput();
        if (p.state() == QProcess::NotRunning) {
            seen += p.readAllStandardOutput();
            break;
        }
    }
    return seen.contains(text);
}

} // namespace

class TestCommission : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void threeControllersGetWhatOneUploadGives();
    void oneMisbehavingControllerFailsAlone_data();
    void oneMisbehavingControllerFailsAlone();
    void killedMidwayLeavesOnlyWholeLines();
    void watchCommissionsControllerAfterController();
    void reportSkipsMalformedLinesAndKeepsTheLatest();
    void usageErrors_data();
    void usageErrors();

private:
    QTemporaryDir dir;
    QString project;
    Memory reference;
};

void TestCommission::initTestCase()
{
    QVERIFY(dir.isValid());
    project = dir.filePath(QStringLiteral("site.cvp"));
    Write_Project(project);
    // What a single upload leaves in a controller: the measure for every
    // controller a commission touches.
    VirtualController single;
    QVERIFY(single.start());
    const ProgramRun r = Run_Cli({QStringLiteral("upload"), QStringLiteral("--port"), single.portName(), project,
                                  QStringLiteral("--verify")});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    TDevice_Config_v2 rec{};
    THandle_List handles;
    QVERIFY(Load_Project_File(project, rec, handles));
    QByteArray block;
    Build_Image_Data(block, handles);
    QVERIFY(block.size() > 100);
    reference = Memory_Of(single, int(block.size()));
    QCOMPARE(reference.images, block);
}

void TestCommission::threeControllersGetWhatOneUploadGives()
{
    VirtualController a, b, c;
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString log = dir.filePath(QStringLiteral("all.jsonl"));
    const ProgramRun r = Run_Cli(Commission_Args(project, {&a, &b, &c}, log));
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QVERIFY(r.err.isEmpty());
    for (VirtualController* s : {&a, &b, &c}) {
        const Memory m = Memory_Of(*s, int(reference.images.size()));
        QCOMPARE(m.config, reference.config);
        QCOMPARE(m.images, reference.images);
        QCOMPARE(s->resetCount(), 1);
    }
    // The table: a header, one row per port, the counts.
    const QStringList lines = r.outLines();
    QCOMPARE(lines.size(), 5);
    QVERIFY(lines[0].startsWith(QStringLiteral("port")));
    QVERIFY(lines[4].startsWith(QStringLiteral("3 ok, 0 failed")));

    const auto records = Records_By_Port(log);
    QCOMPARE(int(records.size()), 3);
    QFile project_file(project);
    QVERIFY(project_file.open(QIODevice::ReadOnly));
    const QString projectSha = Sha256(project_file.readAll());
    for (VirtualController* s : {&a, &b, &c}) {
        QVERIFY(records.count(s->portName()));
        const TCommissioningRecord& rec = records.at(s->portName());
        QVERIFY(rec.ok);
        QCOMPARE(rec.partNumber.value_or(0), 5813);
        QCOMPARE(rec.firmware, QStringLiteral("2.01"));
        QCOMPARE(rec.sent, (QStringList{"config", "images"}));
        QCOMPARE(rec.verify, TVerifyResult::Passed);
        QCOMPARE(rec.configChecksum.value_or(QByteArray()), reference.config.mid(2 + 1342, 2));
        QCOMPARE(rec.imageBlockBytes.value_or(0), qint64(reference.images.size()));
        QCOMPARE(rec.imageBlockSha256, Sha256(reference.images));
        QCOMPARE(rec.projectSha256, projectSha);
        QCOMPARE(rec.project, QFileInfo(project).absoluteFilePath());
        QVERIFY(rec.time.secsTo(QDateTime::currentDateTimeUtc()) < 600);
    }
}

void TestCommission::oneMisbehavingControllerFailsAlone_data()
{
    QTest::addColumn<SimOptions>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("sent");
    SimOptions silent;
    // Identified twice, configuration written and read back (14 frames):
    // the image write goes unanswered.
    silent.silentAfter = 16;
    QTest::newRow("silent mid-upload") << silent << QStringLiteral("Error uploading data: (1) Image data")
                                       << QStringList{"config"};
    SimOptions vanishing;
    vanishing.vanishAfter = 4; // the terminal closes during the configuration
    // The reason says the link went, and what that may have left behind.
    QTest::newRow("gone mid-upload")
        << vanishing
        << QStringLiteral("Error uploading data: (1) Configuration data: connection lost; the controller may hold a "
                          "partial upload")
        << QStringList{};
    SimOptions old;
    old.fwVersion = 104;
    QTest::newRow("firmware too old")
        << old << QStringLiteral("skipped: firmware 1.04 needs an upgrade before data can be uploaded")
        << QStringList{};
    SimOptions bootLoader;
    bootLoader.bootLoader = true;
    QTest::newRow("boot loader")
        << bootLoader
        << QStringLiteral("skipped: the boot loader runs (part number 5819); it needs application firmware")
        << QStringList{};
}

void TestCommission::oneMisbehavingControllerFailsAlone()
{
    QFETCH(SimOptions, fault);
    QFETCH(QString, message);
    QFETCH(QStringList, sent);
    VirtualController a, bad(fault), c;
    for (VirtualController* s : {&a, &bad, &c})
        QVERIFY(s->start());
    const QString log = dir.filePath(QStringLiteral("%1.jsonl").arg(QTest::currentDataTag()).replace(' ', '-'));
    const ProgramRun r = Run_Cli(Commission_Args(project, {&a, &bad, &c}, log));
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().last(),
             QStringLiteral("corvane-cli: 1 of 3 controllers failed: %1 (%2)").arg(bad.portName(), message));
    for (VirtualController* s : {&a, &c}) {
        const Memory m = Memory_Of(*s, int(reference.images.size()));
        QCOMPARE(m.config, reference.config);
        QCOMPARE(m.images, reference.images);
    }
    const auto records = Records_By_Port(log);
    QCOMPARE(int(records.size()), 3);
    QVERIFY(records.at(a.portName()).ok);
    QVERIFY(records.at(c.portName()).ok);
    const TCommissioningRecord& failed = records.at(bad.portName());
    QVERIFY(!failed.ok);
    QCOMPARE(failed.message, message);
    QCOMPARE(failed.sent, sent);
    if (message.startsWith(QLatin1String("skipped")))
        QCOMPARE(bad.writeCount(), 0);
}

void TestCommission::killedMidwayLeavesOnlyWholeLines()
{
    // At the line's own pace the upload takes long enough to be cut.
    SimOptions paced;
    paced.lineRate = true;
    VirtualController a(paced), b(paced), c(paced);
    for (VirtualController* s : {&a, &b, &c})
        QVERIFY(s->start());
    const QString log = dir.filePath(QStringLiteral("killed.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI), Commission_Args(project, {&a, &b, &c}, log));
    QVERIFY(p.waitForStarted());
    // Killed once every controller has seen a write.
    CORVANE_TRY_VERIFY(a.writeCount() > 0 && b.writeCount() > 0 && c.writeCount() > 0, 60000);
    ::kill(pid_t(p.processId()), SIGKILL);
    QVERIFY(p.waitForFinished(30000));
    // Each port's process puts its attempt on record as it goes.
    CORVANE_TRY_COMPARE(int(Read_Commissioning_Log(log).records.size()), 3, 60000);
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    QCOMPARE(lines.size(), 4); // three lines, each ended
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 3; ++i) {
        QJsonParseError e{};
        QVERIFY(QJsonDocument::fromJson(lines[i], &e).isObject());
        QCOMPARE(QJsonDocument::fromJson(lines[i])["outcome"].toString(), QStringLiteral("failed"));
    }
}

void TestCommission::watchCommissionsControllerAfterController()
{
    const QString link = dir.filePath(QStringLiteral("adapter"));
    const QString log = dir.filePath(QStringLiteral("watch.jsonl"));
    QProcess p;
    p.start(QStringLiteral(CORVANE_CLI),
            {QStringLiteral("commission"), project, QStringLiteral("--watch"), QStringLiteral("--port"), link,
             QStringLiteral("--log"), log});
    QVERIFY(p.waitForStarted());
    const auto stopped = qScopeGuard([&p] {
        p.kill();
        p.waitForFinished(10000);
    });
    QByteArray seen;
    QVERIFY(Wait_For_Output(p, seen, "waiting for a controller"));

    auto first = std::make_unique<VirtualController>();
    QVERIFY(first->start());
    QVERIFY(first->makeLink(link));
    QVERIFY2(Wait_For_Output(p, seen, "\n#1 "), seen.constData());
    const Memory m1 = Memory_Of(*first, int(reference.images.size()));
    QCOMPARE(m1.config, reference.config);
    QCOMPARE(m1.images, reference.images);
    // Still attached, it goes on being asked who it is, and is not
    // commissioned a second time.
    const int writes = first->writeCount();
    first->clearFrames();
    QVERIFY(first->waitForFrames(3, 30000));
    QCOMPARE(first->writeCount(), writes);
    first.reset(); // the cable is pulled
    QVERIFY2(Wait_For_Output(p, seen, "controller removed"), seen.constData());

    SimOptions rtc;
    rtc.model = 1;
    VirtualController second(rtc);
    QVERIFY(second.start());
    QVERIFY(second.makeLink(link));
    QVERIFY2(Wait_For_Output(p, seen, "\n#2 "), seen.constData());
    const Memory m2 = Memory_Of(second, int(reference.images.size()));
    QCOMPARE(m2.config, reference.config);
    QCOMPARE(m2.images, reference.images);

    ::kill(pid_t(p.processId()), SIGINT);
    QVERIFY(p.waitForFinished(60000));
    seen += p.readAllStandardOutput();
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY2(seen.contains("2 ok, 0 failed"), seen.constData());
    const std::vector<TCommissioningRecord> records = Read_Commissioning_Log(log).records;
    QCOMPARE(int(records.size()), 2);
    QCOMPARE(records[0].partNumber.value_or(0), 5813);
    QCOMPARE(records[1].partNumber.value_or(0), 5827);
    QCOMPARE(records[0].watchIndex, 1);
    QCOMPARE(records[1].watchIndex, 2);
    QVERIFY(records[0].ok && records[1].ok);
    // Two controllers behind one adapter are two controllers in a report.
    QVERIFY(records[0].controllerKey() != records[1].controllerKey());
}

void TestCommission::reportSkipsMalformedLinesAndKeepsTheLatest()
{
    const QString log = dir.filePath(QStringLiteral("report.jsonl"));
    auto record = [](const QString& serial, const QString& time, bool ok, const QString& message) {
        TCommissioningRecord r;
        r.time = QDateTime::fromString(time, Qt::ISODate);
        r.port = QStringLiteral("/dev/ttyUSB0");
        r.adapterSerial = serial;
        r.partNumber = 5813;
        r.firmware = QStringLiteral("2.01");
        r.configChecksum = QByteArray("\x3f\x9c", 2);
        r.sent = QStringList{QStringLiteral("config")};
        r.ok = ok;
        r.message = message;
        return r;
    };
    // Later in the file but earlier in time: not the latest.
    QVERIFY(Append_Commissioning_Record(log, record("FT01", "2026-12-10T10:05:00Z", true, "fine")));
    QFile f(log);
    QVERIFY(f.open(QIODevice::Append));
    f.write("{\"time\": \"2026-12-10T10:06:00Z\", \"port\": \"/dev/ttyUSB1\", \"outc\n");
    f.write("[1, 2]\n");
    f.write("{\"time\": \"yesterday\", \"port\": \"x\", \"outcome\": \"ok\"}\n");
    f.close();
    QVERIFY(Append_Commissioning_Record(log, record("FT01", "2026-12-10T10:00:00Z", false, "first try")));
    QVERIFY(Append_Commissioning_Record(log, record("FT<2>", "2026-12-10T10:01:00Z", false, "=HYPERLINK(\"x\")")));
    const QString other = dir.filePath(QStringLiteral("report-2.jsonl"));
    QVERIFY(Append_Commissioning_Record(other, record("FT03", "2026-12-10T11:00:00Z", true, "fine")));

    const QString csv = dir.filePath(QStringLiteral("report.csv"));
    const QString html = dir.filePath(QStringLiteral("report.html"));
    ProgramRun r = Run_Cli({QStringLiteral("report"), log, other, QStringLiteral("--csv"), csv});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.errLines().size(), 3);
    QVERIFY2(r.errLines()[0].startsWith(QStringLiteral("corvane-cli report: %1:2: malformed line skipped").arg(log)),
             qPrintable(r.errText()));
    QVERIFY(r.errLines()[1].contains(QStringLiteral(":3: malformed line skipped (not a JSON object)")));
    QVERIFY(r.errLines()[2].contains(QStringLiteral(":4: malformed line skipped (\"time\" is not an ISO 8601 time)")));
    QVERIFY(r.outLines().last() == QStringLiteral("3 controllers: 2 ok, 1 failed"));

    QFile csvFile(csv);
    QVERIFY(csvFile.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(csvFile.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 4);
    QVERIFY(rows[0].startsWith(QStringLiteral("controller,port,part number,firmware,")));
    QVERIFY(rows[1].startsWith(QStringLiteral("FT01,/dev/ttyUSB0,5813,2.01,2026-12-10T10:05:00Z,config,not run,3f 9c")));
    QVERIFY(rows[1].contains(QStringLiteral(",2,ok,fine,"))); // two attempts, the later one counts
    QVERIFY2(rows[3].startsWith(QStringLiteral("FT<2>,")), qPrintable(rows[3]));
    QVERIFY2(rows[3].contains(QStringLiteral(",failed,\"'=HYPERLINK(\"\"x\"\")\",")), qPrintable(rows[3]));

    r = Run_Cli({QStringLiteral("report"), log, other, QStringLiteral("--html"), html});
    QCOMPARE(r.status, 0);
    QFile htmlFile(html);
    QVERIFY(htmlFile.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(htmlFile.readAll());
    QVERIFY(page.contains(QStringLiteral("FT&lt;2&gt;")));
    QVERIFY(!page.contains(QStringLiteral("FT<2>")));
    for (const char* external : {"src=", "href=", "@import", "url("})
        QVERIFY2(!page.contains(QLatin1String(external)), external);
    QVERIFY(page.contains(QStringLiteral("3 controllers: 2 ok, 1 failed")));
}

void TestCommission::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no port") << QStringList{} << "give the ports with --port NAME..., or --all (not both)";
    QTest::newRow("port and all") << QStringList{"--port", "/dev/null", "--all"}
                                  << "give the ports with --port NAME..., or --all (not both)";
    QTest::newRow("watch two ports") << QStringList{"--watch", "--port", "/tmp/a", "--port", "/tmp/b"}
                                     << "--watch takes exactly one --port and no --all or --jobs";
    QTest::newRow("jobs zero") << QStringList{"--port", "/tmp/a", "--jobs", "0"}
                               << "--jobs wants a number of 1 or more, not \"0\"";
    QTest::newRow("port twice") << QStringList{"--port", "/tmp/a", "--port", "/tmp/a"}
                                << "--port /tmp/a names a port already given";
    QTest::newRow("verify images only") << QStringList{"--port", "/tmp/a", "--images", "--verify"}
                                        << "--verify checks the configuration: give --config too";
}

void TestCommission::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, problem);
    const QString log = dir.filePath(QStringLiteral("usage.jsonl"));
    const ProgramRun r = Run_Cli(QStringList{QStringLiteral("commission"), project, QStringLiteral("--log"), log} + args);
    QCOMPARE(r.status, 2);
    QCOMPARE(r.errLines(), QStringList{QStringLiteral("corvane-cli commission: %1 (try corvane-cli commission --help)")
                                           .arg(problem)});
    QVERIFY(!QFile::exists(log));
}

QTEST_GUILESS_MAIN(TestCommission)
#include "test_commission.moc"
