// corvane-cli identify and ports against the virtual controller, as an
// installer's script would run them: exit status, stdout and stderr.
#include "core/comms/TVrexComms.h"
#include "sim/lib/SimPty.h"
#include "sim/lib/VirtualController.h"

#include "ProgramRun.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {
struct Run {
    int status;
    QStringList out;
    QStringList err;
};

Run cli(const QStringList& args)
{
    const ProgramRun r = runCli(args);
    return {r.status, r.outLines(), r.errLines()};
}
} // namespace

class TestCliDevice : public QObject {
    Q_OBJECT
private slots:
    void identifiesEachModel_data();
    void identifiesEachModel();
    void probesNamedPortsInOrder();
    void saysWhyNothingAnswered_data();
    void saysWhyNothingAnswered();
    void portsRuns();
    void saysWhatTheFirmwareAllows_data();
    void saysWhatTheFirmwareAllows();
    void refusesUnknownSerialBackend();
};

void TestCliDevice::identifiesEachModel_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootLoader");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("first model") << 0 << false
                                 << QStringList{"Model: first model", "Part number: 5813", "Firmware: 5813 v2.01"};
    QTest::newRow("first model, boot loader")
        << 0 << true << QStringList{"Model: first model", "Part number: 5819", "Firmware: 5819 v1.03"};
    QTest::newRow("RTC model") << 1 << false
                               << QStringList{"Model: RTC model", "Part number: 5827", "Firmware: 5827 v2.01"};
    QTest::newRow("RTC model, boot loader")
        << 1 << true << QStringList{"Model: RTC model", "Part number: 5831", "Firmware: 5831 v1.03"};
}

void TestCliDevice::identifiesEachModel()
{
    QFETCH(int, model);
    QFETCH(bool, bootLoader);
    QFETCH(QStringList, expected);
    SimOptions o;
    o.model = model;
    o.bootLoader = bootLoader;
    o.blVersion = 103;
    VirtualController sim(o);
    QVERIFY(sim.start());
    const Run r = cli({"identify", "--port", sim.portName()});
    QCOMPARE(r.status, 0);
    QVERIFY(r.err.isEmpty());
    QCOMPARE(r.out.value(0), QStringLiteral("Port: %1").arg(sim.portName()));
    for (const QString& line : expected)
        QVERIFY2(r.out.contains(line), qPrintable(r.out.join('|')));
    QCOMPARE(sim.frameCount(), 1);
}

void TestCliDevice::probesNamedPortsInOrder()
{
    // The first named port is held by another program, the second has nothing
    // behind it, the third is a controller: the controller is found.
    VirtualController held;
    QVERIFY(held.start());
    TVrexComms holder;
    holder.portName = held.portName();
    QVERIFY(holder.OpenComm());
    SimPty mute;
    QVERIFY(mute.open());
    VirtualController sim;
    QVERIFY(sim.start());
    const Run r = cli({"identify", "--port", held.portName(), "--port", mute.slavePath(), "--port", sim.portName()});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out.value(0), QStringLiteral("Port: %1").arg(sim.portName()));
    QCOMPARE(held.frameCount(), 0);
    QCOMPARE(sim.frameCount(), 1);
}

void TestCliDevice::saysWhyNothingAnswered_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing port") << "missing"
                                  << "no such port";
    QTest::newRow("not a serial port") << "not-serial"
                                       << "not a serial port";
    QTest::newRow("nothing behind it") << "mute"
                                       << "no answer";
    QTest::newRow("unknown device") << "unknown"
                                    << "part number 1234 is not a Corvane R/C";
    QTest::newRow("reply fails its check") << "corrupt"
                                           << "failed its length or check-sum test";
}

void TestCliDevice::saysWhyNothingAnswered()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    SimOptions o;
    o.partNumberOverride = fault == "unknown" ? 1234 : -1;
    o.corruptReadReplies = fault == "corrupt";
    VirtualController sim(o);
    SimPty mute;
    QString port;
    if (fault == "missing") {
        port = QStringLiteral("/dev/corvane-no-such-port");
    } else if (fault == "not-serial") {
        port = QStringLiteral("/dev/null");
    } else if (fault == "mute") {
        QVERIFY(mute.open());
        port = mute.slavePath();
    } else {
        QVERIFY(sim.start());
        port = sim.portName();
    }
    const Run r = cli({"identify", "--port", port});
    QCOMPARE(r.status, 1);
    QVERIFY(r.out.isEmpty());
    QCOMPARE(r.err.size(), 1); // one line, naming the port and the reason
    QVERIFY2(r.err[0].contains(port) && r.err[0].contains(reason), qPrintable(r.err[0]));
}

void TestCliDevice::portsRuns()
{
    // Which adapters this machine has is not ours to know: every line is a port
    // and its manufacturer, or the one line that says there are none.
    const Run r = cli({"ports"});
    QCOMPARE(r.status, 0);
    QVERIFY(!r.out.isEmpty());
    for (const QString& line : r.out)
        QVERIFY2(line.contains('\t') || line.startsWith("no serial ports"), qPrintable(line));
    for (const QString& line : r.out) {
        if (line.contains('\t'))
            QVERIFY2(line.section('\t', 1).contains("FTDI"), qPrintable(line));
    }
}

void TestCliDevice::saysWhatTheFirmwareAllows_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootLoader");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("verdicts");
    const QString all = "retrieve: yes, upload: yes, firmware upgrade: yes";
    const QString unknown = "no (firmware version unknown to this program)";
    QTest::newRow("2.01") << 0 << false << 201 << all;
    QTest::newRow("1.05, the first with configuration format 2") << 1 << false << 105 << all;
    QTest::newRow("1.04: configuration format 1")
        << 0 << false << 104 << "retrieve: yes, upload: needs firmware upgrade, firmware upgrade: yes";
    QTest::newRow("2.02: not in the table")
        << 0 << false << 202 << QStringLiteral("retrieve: %1, upload: %1, firmware upgrade: %1").arg(unknown);
    QTest::newRow("0.07") << 1 << false << 7
                          << QStringLiteral("retrieve: %1, upload: %1, firmware upgrade: %1").arg(unknown);
    QTest::newRow("655.35") << 0 << false << 65535
                            << QStringLiteral("retrieve: %1, upload: %1, firmware upgrade: %1").arg(unknown);
    QTest::newRow("boot loader running")
        << 0 << true << 100
        << "retrieve: needs application firmware, upload: needs application firmware, firmware upgrade: yes";
}

void TestCliDevice::saysWhatTheFirmwareAllows()
{
    QFETCH(int, model);
    QFETCH(bool, bootLoader);
    QFETCH(int, version);
    QFETCH(QString, verdicts);
    SimOptions o;
    o.model = model;
    o.bootLoader = bootLoader;
    o.fwVersion = uint16_t(version);
    o.blVersion = uint16_t(version);
    VirtualController sim(o);
    QVERIFY(sim.start());
    const Run text = cli({"identify", "--port", sim.portName()});
    QCOMPARE(text.status, 0);
    QVERIFY2(text.out.contains(verdicts), qPrintable(text.out.join('|')));

    const ProgramRun json = runCli({"identify", "--port", sim.portName(), "--json"});
    QCOMPARE(json.status, 0);
    const QJsonObject o2 = QJsonDocument::fromJson(json.out).object();
    QCOMPARE(o2["port"].toString(), sim.portName());
    QCOMPARE(o2["fw_version"].toInt(), version);
    QCOMPARE(o2["boot_loader_running"].toBool(), bootLoader);
    const QJsonObject v = o2["verdicts"].toObject();
    QCOMPARE(QStringLiteral("retrieve: %1, upload: %2, firmware upgrade: %3")
                 .arg(v["retrieve"].toString(), v["upload"].toString(), v["firmware_upgrade"].toString()),
             verdicts);
}

void TestCliDevice::refusesUnknownSerialBackend()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVANE_SERIAL_BACKEND"), QStringLiteral("serialx"));
    VirtualController sim;
    QVERIFY(sim.start());
    const ProgramRun r = runProgram(QStringLiteral(CORVANE_CLI), {"identify", "--port", sim.portName()}, env);
    QCOMPARE(r.status, 2);
    QVERIFY(r.outText().isEmpty());
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY2(r.errText().contains(QStringLiteral("CORVANE_SERIAL_BACKEND=serialx")), qPrintable(r.errText()));
}

QTEST_GUILESS_MAIN(TestCliDevice)
#include "test_cli_device.moc"
