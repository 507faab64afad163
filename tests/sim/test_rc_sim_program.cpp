#include "test_sim.h"

#include "core/comms/TVrexComms.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/BLcomms.h"
#include "core/protocol/CommsSetup.h"
#include "core/protocol/DeviceIdentity.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {
constexpr int kGenerousMs = 30000;

// corvane-rc-sim for one test. However the test ends, the process is told to
// stop and waited for: none outlives its test.
struct SimRun {
    explicit SimRun(const QStringList& args)
    {
        p.start(QStringLiteral(CORVANE_RC_SIM), args);
        if (!p.waitForStarted(kGenerousMs))
            return;
        while (!p.canReadLine() && p.waitForReadyRead(kGenerousMs)) { }
        const QString line = QString::fromLocal8Bit(p.readLine()).trimmed();
        if (line.startsWith("PORT "))
            port = line.mid(5);
    }
    ~SimRun()
    {
        if (p.state() == QProcess::NotRunning)
            return;
        signal(SIGTERM);
        if (!p.waitForFinished(kGenerousMs)) {
            p.kill();
            p.waitForFinished(kGenerousMs);
        }
    }
    void signal(int number) { ::kill(static_cast<pid_t>(p.processId()), number); }

    QProcess p;
    QString port; // from its first line; empty when it did not start
};
} // namespace

void TestRcSimProgram::newProjectConfigCanBeRetrieved()
{
    SimRun sim({"--new-project-config"});
    QVERIFY(sim.port.startsWith("/dev/pts/"));
    TVrexComms comms;
    applyCommsSettings(comms);
    comms.portName = sim.port;
    QVERIFY(comms.OpenComm());
    TDeviceConfiguration block{};
    auto* raw = reinterpret_cast<uint8_t*>(&block);
    for (uint32_t a = 0; a < sizeof block; a += 128) {
        bool copied = false;
        QCOMPARE(BL_ReadBlock(comms, BL::kCmdReadMemory, a, nullptr, 0, raw, int(a), 128, 30, &copied), 1);
        QVERIFY(copied);
    }
    comms.CloseComm();
    TDevice_Config_v2 record{};
    QVERIFY(Validate_Device_Configuration(block, record));
    TDevice_Config_v2 expected = newProjectConfig();
    const TDeviceConfiguration expectedBlock = buildUploadBlock(expected);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&block), sizeof block),
             QByteArray(reinterpret_cast<const char*>(&expectedBlock), sizeof expectedBlock));
}

void TestRcSimProgram::printsPortFirstAndDumpsOnTerminate()
{
    QTemporaryDir dir;
    const QString link = dir.path() + "/rc";
    SimRun sim({"--model", "rtc", "--fw-version", "113", "--dump-dir", dir.path() + "/dump", "--link", link});
    const QString port = sim.port;
    QVERIFY(port.startsWith("/dev/pts/"));
    QTRY_COMPARE_WITH_TIMEOUT(QFile::symLinkTarget(link), port, kGenerousMs);

    TVrexComms comms;
    applyCommsSettings(comms);
    comms.portName = link; // through the link, as a user would give it
    QVERIFY(comms.OpenComm());
    uint16_t part = 0, ver = 0, blPart = 0, blVer = 0;
    QVERIFY(GetAppInfo(comms, part, ver, blPart, blVer));
    QCOMPARE(part, uint16_t(5827));
    QCOMPARE(ver, uint16_t(113));
    comms.CloseComm();

    sim.signal(SIGTERM);
    QVERIFY(sim.p.waitForFinished(kGenerousMs));
    QCOMPARE(sim.p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.p.exitCode(), 0);
    QVERIFY(!QFile::exists(link));
    QFile json(dir.path() + "/dump/frames.json");
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonArray frames = QJsonDocument::fromJson(json.readAll()).object()["frames"].toArray();
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].toObject()["command"].toInt(), 10);
    QCOMPARE(QFile(dir.path() + "/dump/images.bin").size(), qint64(3657728));
}

void TestRcSimProgram::stopSignalsEndCleanly_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP: its terminal window closed") << int(SIGHUP);
}

void TestRcSimProgram::stopSignalsEndCleanly()
{
    // However it is told to stop, it removes its link and leaves its dump.
    QFETCH(int, signalNumber);
    QTemporaryDir dir;
    const QString link = dir.path() + "/rc";
    SimRun sim({"--dump-dir", dir.path() + "/dump", "--link", link});
    QVERIFY(!sim.port.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(QFile::symLinkTarget(link), sim.port, kGenerousMs);
    sim.signal(signalNumber);
    QVERIFY(sim.p.waitForFinished(kGenerousMs));
    QCOMPARE(sim.p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.p.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(QFile::exists(dir.path() + "/dump/frames.json"));
}

void TestRcSimProgram::vanishesOnItsOwn()
{
    SimRun sim({"--vanish-after", "1"});
    QVERIFY(!sim.port.isEmpty());
    TVrexComms comms;
    applyCommsSettings(comms);
    comms.portName = sim.port;
    QVERIFY(comms.OpenComm());
    uint16_t a, b, c, d;
    bool badReply = true;
    QVERIFY(!GetAppInfo(comms, a, b, c, d, &badReply));
    QVERIFY(!badReply); // no reply at all
    // It may already have ended while the identification waited.
    if (sim.p.state() != QProcess::NotRunning)
        QVERIFY(sim.p.waitForFinished(kGenerousMs));
    QVERIFY(sim.p.readAllStandardError().contains("terminal closed"));
    QCOMPARE(sim.p.exitCode(), 0);
    comms.CloseComm();
    QVERIFY(!comms.OpenComm());
}

void TestRcSimProgram::numbersAreDecimalOrHex_data()
{
    QTest::addColumn<QString>("partNumber");
    QTest::addColumn<int>("reported");
    // Part numbers are printed with four digits: a leading zero stays decimal.
    QTest::newRow("as printed, 0042") << "0042" << 42;
    QTest::newRow("decimal") << "5813" << 5813;
    QTest::newRow("hexadecimal") << "0x16B5" << 5813;
}

void TestRcSimProgram::numbersAreDecimalOrHex()
{
    QFETCH(QString, partNumber);
    QFETCH(int, reported);
    SimRun sim({"--part-number", partNumber});
    QVERIFY(!sim.port.isEmpty());
    TVrexComms comms;
    applyCommsSettings(comms);
    comms.portName = sim.port;
    QVERIFY(comms.OpenComm());
    uint16_t part = 0, ver = 0, blPart = 0, blVer = 0;
    QVERIFY(GetAppInfo(comms, part, ver, blPart, blVer));
    QCOMPARE(int(part), reported);
}

void TestRcSimProgram::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown model") << QStringList{"--model", "third"};
    QTest::newRow("not a number") << QStringList{"--nak-write", "two"};
    QTest::newRow("negative") << QStringList{"--vanish-after", "-1"};
    QTest::newRow("missing start block") << QStringList{"--config", "/nonexistent/cfg.bin"};
    QTest::newRow("endless start block") << QStringList{"--config", "/dev/zero"};
    QTest::newRow("unknown option") << QStringList{"--frobnicate"};
}

void TestRcSimProgram::refusesBadOptions()
{
    QFETCH(QStringList, args);
    QProcess p;
    p.start(QStringLiteral(CORVANE_RC_SIM), args);
    QVERIFY(p.waitForFinished(kGenerousMs));
    QVERIFY(p.exitCode() != 0);
    QVERIFY(p.readAllStandardOutput().isEmpty()); // no PORT line for a run that cannot serve
    QVERIFY(!p.readAllStandardError().isEmpty());
}

void TestRcSimProgram::helpNamesEveryOption()
{
    QProcess p;
    p.start(QStringLiteral(CORVANE_RC_SIM), {"--help"});
    QVERIFY(p.waitForFinished(kGenerousMs));
    const QString help = QString::fromLocal8Bit(p.readAllStandardOutput());
    for (const char* option :
         {"--model", "--fw-version", "--bootloader", "--bl-version", "--part-number", "--config", "--link",
          "--dump-dir", "--line-rate", "--nak-write", "--silent-after", "--stray-before", "--stray-every",
          "--ignore-resets", "--vanish-after", "--extra-reply-bytes", "--corrupt-reads"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
}
