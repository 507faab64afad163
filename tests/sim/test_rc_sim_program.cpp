#include "test_sim.h"

#include "core/comms/TVrexComms.h"
#include "core/device/CommsSetup.h"
#include "core/device/DeviceIdentity.h"

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
QString startSim(QProcess& p, const QStringList& args)
{
    p.start(QStringLiteral(CORVANE_RC_SIM), args);
    if (!p.waitForStarted(5000) || !p.waitForReadyRead(5000))
        return {};
    const QString line = QString::fromLocal8Bit(p.readLine()).trimmed();
    return line.startsWith("PORT ") ? line.mid(5) : QString();
}
} // namespace

void TestRcSimProgram::printsPortFirstAndDumpsOnTerminate()
{
    QTemporaryDir dir;
    const QString link = dir.path() + "/rc";
    QProcess p;
    const QString port
        = startSim(p, {"--model", "rtc", "--fw-version", "113", "--dump-dir", dir.path() + "/dump", "--link", link});
    QVERIFY(port.startsWith("/dev/pts/"));
    QTRY_COMPARE(QFile::symLinkTarget(link), port);

    TVrexComms comms;
    Apply_Comms_Settings(comms);
    comms.PortName = link; // through the link, as a user would give it
    QVERIFY(comms.OpenComm());
    uint16_t part = 0, ver = 0, blPart = 0, blVer = 0;
    QVERIFY(GetAppInfo(comms, part, ver, blPart, blVer));
    QCOMPARE(part, uint16_t(5827));
    QCOMPARE(ver, uint16_t(113));
    comms.CloseComm();

    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
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
    QProcess p;
    const QString port = startSim(p, {"--dump-dir", dir.path() + "/dump", "--link", link});
    QVERIFY(!port.isEmpty());
    QTRY_COMPARE(QFile::symLinkTarget(link), port);
    ::kill(static_cast<pid_t>(p.processId()), signalNumber);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(QFile::exists(dir.path() + "/dump/frames.json"));
}

void TestRcSimProgram::vanishesOnItsOwn()
{
    QProcess p;
    const QString port = startSim(p, {"--vanish-after", "1"});
    QVERIFY(!port.isEmpty());
    TVrexComms comms;
    Apply_Comms_Settings(comms);
    comms.PortName = port;
    QVERIFY(comms.OpenComm());
    uint16_t a, b, c, d;
    QVERIFY(!GetAppInfo(comms, a, b, c, d));
    // It may already have ended while the identification waited.
    if (p.state() != QProcess::NotRunning)
        QVERIFY(p.waitForFinished(5000));
    QVERIFY(p.readAllStandardError().contains("terminal closed"));
    QCOMPARE(p.exitCode(), 0);
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
    QProcess p;
    const QString port = startSim(p, {"--part-number", partNumber});
    QVERIFY(!port.isEmpty());
    TVrexComms comms;
    Apply_Comms_Settings(comms);
    comms.PortName = port;
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
    QVERIFY(p.waitForFinished(5000));
    QVERIFY(p.exitCode() != 0);
    QVERIFY(p.readAllStandardOutput().isEmpty()); // no PORT line for a run that cannot serve
    QVERIFY(!p.readAllStandardError().isEmpty());
}

void TestRcSimProgram::helpNamesEveryOption()
{
    QProcess p;
    p.start(QStringLiteral(CORVANE_RC_SIM), {"--help"});
    QVERIFY(p.waitForFinished(5000));
    const QString help = QString::fromLocal8Bit(p.readAllStandardOutput());
    for (const char* option :
         {"--model", "--fw-version", "--bootloader", "--bl-version", "--part-number", "--config", "--link",
          "--dump-dir", "--line-rate", "--nak-write", "--silent-after", "--stray-before", "--stray-every",
          "--ignore-resets", "--vanish-after", "--extra-reply-bytes", "--corrupt-reads"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
}
