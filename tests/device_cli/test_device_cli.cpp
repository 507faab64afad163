// corvane-cli retrieve, upload and firmware against the virtual controller:
// exit status, stdout, stderr, the files left behind and what the
// controller's memory holds afterwards.
#include "ProgramRun.h"
#include "ProjectFixtures.h"

#include "SimFixtures.h"
#include "core/comms/PortOpenFailure.h"
#include "core/comms/TVrexComms.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "core/resources/CarriedData.h"
#include "core/storage/DiskIO.h"
#include "sim/lib/SimPty.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ProgramRun cliIn(const QString& folder, const QStringList& args)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral(CORVANE_CLI), args);
    ProgramRun run;
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished(10000);
        return run;
    }
    run.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

// The descriptions of the log lines, in order.
QStringList logged(const ProgramRun& r)
{
    static const QRegularExpression kLine(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ([ *!]) (.*) \\| (.*)$"));
    QStringList out;
    for (const QString& l : r.outLines()) {
        const auto m = kLine.match(l);
        if (m.hasMatch())
            out << m.captured(1) + m.captured(2);
    }
    return out;
}

} // namespace

class TestDeviceCli : public QObject {
    Q_OBJECT
private slots:
    void retrieveCreatesTheProject();
    void blankControllerHasNoConfiguration();
    void failedRetrieveLeavesTheFile();
    void uploadWritesEveryByte();
    void verifyCatchesALostWrite();
    void verifyTellsAFailedReadFromADifference_data();
    void verifyTellsAFailedReadFromADifference();
    void retriesThreeTimesThenFails_data();
    void retriesThreeTimesThenFails();
    void recoveredRunSaysNothingOnStderr();
    void firmwareBacksUpThenUpgrades_data();
    void firmwareBacksUpThenUpgrades();
    void placeholderFirmwareNeedsConsent();
    void unwritableBackupLeavesTheFirmwareAlone();
    void notFoundSaysWhyEachPortFailed();
    void permissionAdviceFitsTheDevice_data();
    void permissionAdviceFitsTheDevice();

private:
    QTemporaryDir m_dir;
};

void TestDeviceCli::retrieveCreatesTheProject()
{
    TDevice_Config_v2 onController = newProjectConfig();
    writeServiceText(QStringLiteral("From the wall"), onController);
    SimOptions o;
    o.initialConfig = controllerBlock(onController);
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    // A new project is named as "new" names it: the extension becomes .cvp.
    const QString path = m_dir.filePath(QStringLiteral("site.cvp"));
    const ProgramRun r = runCli({QStringLiteral("retrieve"), QStringLiteral("--port"), sim->portName(),
                                 m_dir.filePath(QStringLiteral("site"))});
    QCOMPARE(r.status, 0);
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("site"))));
    QCOMPARE(r.outLines().last(), QStringLiteral("Saved ") + path);
    QCOMPARE(logged(r),
             (QStringList{" Connecting to R/C", " Connected to R/C", " Configuration Retrieved Successfully",
                          " Comms link closed"}));
    QVERIFY(r.outText().contains(QStringLiteral("Connected to R/C | Firmware: 5813 v2.01")));
    TDevice_Config_v2 rec{};
    THandleList handles;
    QVERIFY(Load_Project_File(path, rec, handles));
    QCOMPARE(readServiceText(rec), QStringLiteral("From the wall"));
    QCOMPARE(int(handles.size()), int(kHandleCount));
}

void TestDeviceCli::blankControllerHasNoConfiguration()
{
    // As the README tells a newcomer: never configured, nothing to retrieve.
    VirtualController sim;
    QVERIFY(sim.start());
    const QString path = m_dir.filePath(QStringLiteral("blank.cvp"));
    const ProgramRun r = runCli({QStringLiteral("retrieve"), QStringLiteral("--port"), sim.portName(), path});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines(),
             QStringList{QStringLiteral("corvane-cli: Error retrieving configuration: Config data corrupt")});
    QVERIFY(!QFileInfo::exists(path));
}

void TestDeviceCli::failedRetrieveLeavesTheFile()
{
    SimOptions o;
    o.initialConfig = controllerBlock(newProjectConfig());
    o.silentAfter = 7; // the seventh read goes unanswered
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    const QString path = m_dir.filePath(QStringLiteral("kept.cvp"));
    QCOMPARE(runCli({QStringLiteral("new"), path}).status, 0);
    const QByteArray before = fileBytes(path);
    const ProgramRun r = runCli({QStringLiteral("retrieve"), QStringLiteral("--port"), sim->portName(), path});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines(), QStringList{QStringLiteral("corvane-cli: Error retrieving configuration: Comms error")});
    QVERIFY(logged(r).contains(QStringLiteral("!Error retrieving configuration")));
    QCOMPARE(fileBytes(path), before);
}

void TestDeviceCli::uploadWritesEveryByte()
{
    const auto sim = startVirtualController();
    QVERIFY(sim);
    const QString path = m_dir.filePath(QStringLiteral("up.cvp"));
    TDevice_Config_v2 rec = newProjectConfig();
    rec.theme_colour = 0x00AA55;
    THandleList handles;
    createDefaultHandles(handles);
    THandle_object& logos = *handles[kLogosIdx];
    QImage logo(logos.width, logos.height, QImage::Format_ARGB32_Premultiplied);
    logo.fill(qRgb(30, 140, 220));
    addFixtureImage(logos, QStringLiteral("BLUE"), logo, TFixtureImage::Stored);
    Save_Project_File(path, rec, handles);

    const ProgramRun r = runCli(
        {QStringLiteral("upload"), QStringLiteral("--port"), sim->portName(), path, QStringLiteral("--verify")});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QCOMPARE(logged(r),
             (QStringList{" Connecting to R/C", " Connected to R/C", " Uploading data...", " Configuration uploaded",
                          " Images uploaded", " Data uploaded successfully", " Restarting R/C", " Comms link closed"}));
    TDevice_Config_v2 loaded{};
    THandleList read;
    QVERIFY(Load_Project_File(path, loaded, read));
    QCOMPARE(sim->memory(0, 1408), controllerBlock(loaded));
    QVERIFY(r.outText().contains(QStringLiteral("Configuration uploaded | verified: read back and identical")));
    QCOMPARE(r.outLines().last(),
             QStringLiteral("Uploaded the configuration and images of %1; the configuration "
                            "was read back and is identical")
                 .arg(path));
    QByteArray block;
    Build_Image_Data(block, read);
    QVERIFY(!block.isEmpty());
    QCOMPARE(sim->memory(0x80000, int(block.size())), block);
}

void TestDeviceCli::verifyCatchesALostWrite()
{
    SimOptions o;
    o.dropWrite = 2; // acknowledged, never stored
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    const QString path = m_dir.filePath(QStringLiteral("verify.cvp"));
    QCOMPARE(runCli({QStringLiteral("new"), path}).status, 0);
    const ProgramRun r = runCli({QStringLiteral("upload"), QStringLiteral("--port"), sim->portName(), path,
                                 QStringLiteral("--config"), QStringLiteral("--verify")});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().last(),
             QStringLiteral("corvane-cli: Error uploading data: (3) Configuration read back differs"));
    // Not restarted on a configuration it would not hold.
    QCOMPARE(sim->resetCount(), 0);
    QVERIFY(!logged(r).contains(QStringLiteral(" Configuration uploaded")));
}

void TestDeviceCli::verifyTellsAFailedReadFromADifference_data()
{
    QTest::addColumn<int>("silentAfter");
    QTest::addColumn<int>("corruptReadsAfter");
    QTest::addColumn<QString>("why");
    // Frame 1 identifies, frames 2 to 4 write the 1408 bytes, frame 5 reads.
    QTest::newRow("no reply") << 4 << 0 << QStringLiteral("(4) Configuration could not be read back: no reply");
    QTest::newRow("spoilt reply") << 0 << 4
                                  << QStringLiteral("(5) Configuration could not be read back: the reply failed its "
                                                    "length or check-sum test");
}

void TestDeviceCli::verifyTellsAFailedReadFromADifference()
{
    QFETCH(int, silentAfter);
    QFETCH(int, corruptReadsAfter);
    QFETCH(QString, why);
    SimOptions o;
    o.silentAfter = silentAfter;
    o.corruptReadsAfter = corruptReadsAfter;
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    const QString path = m_dir.filePath(QStringLiteral("unread.cvp"));
    QCOMPARE(runCli({QStringLiteral("new"), path, QStringLiteral("--force")}).status, 0);
    const ProgramRun r = runCli({QStringLiteral("upload"), QStringLiteral("--port"), sim->portName(), path,
                                 QStringLiteral("--config"), QStringLiteral("--verify")});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines(), QStringList{QStringLiteral("corvane-cli: Error uploading data: ") + why});
    // It was written whole; only the check could not be made.
    TDevice_Config_v2 loaded{};
    THandleList read;
    QVERIFY(Load_Project_File(path, loaded, read));
    QCOMPARE(sim->memory(0, 1408), controllerBlock(loaded));
    QCOMPARE(sim->resetCount(), 0);
}

void TestDeviceCli::retriesThreeTimesThenFails_data()
{
    QTest::addColumn<bool>("verbose");
    QTest::newRow("quiet") << false;
    QTest::newRow("--verbose") << true;
}

void TestDeviceCli::retriesThreeTimesThenFails()
{
    QFETCH(bool, verbose);
    SimOptions o;
    o.silentAfter = 1; // identifies, then answers nothing
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    const QString path = m_dir.filePath(QStringLiteral("silent.cvp"));
    QCOMPARE(runCli({QStringLiteral("new"), path, QStringLiteral("--force")}).status, 0);
    QStringList args{QStringLiteral("upload"), QStringLiteral("--port"), sim->portName(), path,
                     QStringLiteral("--images")};
    if (verbose)
        args << QStringLiteral("--verbose");
    const ProgramRun r = runCli(args);
    QCOMPARE(r.status, 1);
    // However many retries, the failure is one line, saying why.
    QCOMPARE(r.errLines(), QStringList{QStringLiteral("corvane-cli: Error uploading data: (1) Image data: no answer")});
    QStringList retries;
    for (const QString& kLine : r.outLines())
        if (kLine.startsWith(QStringLiteral("  retry ")))
            retries << kLine;
    if (verbose) {
        QCOMPARE(retries.size(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(retries[i].startsWith(QStringLiteral("  retry %1 of 3: Error sending image data").arg(i + 1)),
                     qPrintable(retries[i]));
    } else {
        QCOMPARE(retries, QStringList{}); // not a terminal
    }
    int writes = 0;
    for (const SimFrame& f : sim->frames())
        writes += f.command == 200 ? 1 : 0;
    QCOMPARE(writes, 4); // the first attempt and three retries
}

void TestDeviceCli::recoveredRunSaysNothingOnStderr()
{
    SimOptions o;
    o.nakWrite = 1; // the first write is refused, its retry goes through
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    const QString path = m_dir.filePath(QStringLiteral("recovers.cvp"));
    QCOMPARE(runCli({QStringLiteral("new"), path}).status, 0);
    const ProgramRun r = runCli(
        {QStringLiteral("upload"), QStringLiteral("--port"), sim->portName(), path, QStringLiteral("--verbose")});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QCOMPARE(r.errText(), QString());
    // The retry happened, and was progress.
    QVERIFY2(r.outText().contains(QStringLiteral("\n  retry 1 of 3: Error sending configuration data.")),
             qPrintable(r.outText()));
}

void TestDeviceCli::firmwareBacksUpThenUpgrades_data()
{
    QTest::addColumn<bool>("bootLoader");
    QTest::addColumn<int>("command");
    QTest::newRow("application 104") << false << 20;
    QTest::newRow("boot loader 5819") << true << 14;
}

void TestDeviceCli::firmwareBacksUpThenUpgrades()
{
    QFETCH(bool, bootLoader);
    QFETCH(int, command);
    TDevice_Config_v2 onController = newProjectConfig();
    writeServiceText(QStringLiteral("Keep me"), onController);
    SimOptions o;
    o.bootLoader = bootLoader;
    o.fwVersion = 104;
    o.initialConfig = controllerBlock(onController);
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    QTemporaryDir work;
    const ProgramRun r = cliIn(
        work.path(),
        {QStringLiteral("firmware"), QStringLiteral("--port"), sim->portName(), QStringLiteral("--allow-placeholder")});
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    const QStringList backups = QDir(work.path()).entryList({QStringLiteral("corvane-backup-*.cvp")});
    if (bootLoader) {
        QVERIFY(r.outText().contains(QStringLiteral("boot loader: no configuration to back up")));
        QVERIFY(backups.isEmpty());
    } else {
        QCOMPARE(backups.size(), 1);
        QVERIFY(r.outText().contains(QStringLiteral("Configuration backed up to ") + work.filePath(backups[0])));
        TDevice_Config_v2 rec{};
        THandleList handles;
        QVERIFY(Load_Project_File(work.filePath(backups[0]), rec, handles));
        QCOMPARE(readServiceText(rec), QStringLiteral("Keep me"));
    }
    QCOMPARE(sim->memory(0x37000, 266240), readResourceData(QStringLiteral("FIRMWARE_BINARY_5813")));
    int installs = 0;
    for (const SimFrame& f : sim->frames())
        installs += f.command == command ? 1 : 0;
    QCOMPARE(installs, 1);
    QVERIFY(r.outText().contains(QStringLiteral("Available Firmware Version: PN5813 v2.01")));
    // The run ends on the line that says it worked, naming port and version.
    QVERIFY2(
        r.outText().trimmed().endsWith(QStringLiteral("Firmware upgraded on %1 to version 2.01").arg(sim->portName())),
        qPrintable(r.outText()));
}

void TestDeviceCli::placeholderFirmwareNeedsConsent()
{
    if (!carriedFirmwareIsPlaceholder())
        QSKIP("this build carries real firmware");
    SimOptions o;
    o.initialConfig = controllerBlock(newProjectConfig());
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    QTemporaryDir work;
    const QString backup = work.filePath(QStringLiteral("before-upgrade.cvp"));
    for (const QStringList& extra : {QStringList{QStringLiteral("--backup"), backup}, QStringList{}}) {
        const ProgramRun r = cliIn(
            work.path(), QStringList{QStringLiteral("firmware"), QStringLiteral("--port"), sim->portName()} + extra);
        QCOMPARE(r.status, 1);
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY(r.errLines().last().contains(QStringLiteral("This build carries no real firmware for this model")));
        QVERIFY(r.errLines().last().contains(QStringLiteral("--allow-placeholder")));
        // Refused before the port was opened: nothing asked, nothing written.
        QVERIFY(sim->frames().empty());
        QCOMPARE(QDir(work.path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList{});
    }
}

void TestDeviceCli::unwritableBackupLeavesTheFirmwareAlone()
{
    SimOptions o;
    o.initialConfig = controllerBlock(newProjectConfig());
    const auto sim = startVirtualController(o);
    QVERIFY(sim);
    const QString backup = m_dir.filePath(QStringLiteral("no-such-folder/backup.cvp"));
    const ProgramRun r = runCli({QStringLiteral("firmware"), QStringLiteral("--port"), sim->portName(),
                                 QStringLiteral("--backup"), backup, QStringLiteral("--allow-placeholder")});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().size(), 1);
    QVERIFY2(r.errLines().last().startsWith(QStringLiteral(
                 "corvane-cli: the configuration could not be backed up, so the firmware was left alone: ")),
             qPrintable(r.errText()));
    QVERIFY(!QFileInfo::exists(backup));
    for (const SimFrame& f : sim->frames())
        QVERIFY(f.command != 200);
    QCOMPARE(sim->memory(0x37000, 256), QByteArray(256, char(0xFF)));
}

void TestDeviceCli::notFoundSaysWhyEachPortFailed()
{
    // One port another program holds, one that is not there, one where
    // nothing answers: each needs something else done about it.
    const auto sim = startVirtualController();
    QVERIFY(sim);
    TVrexComms holder;
    holder.portName = sim->portName();
    QVERIFY(holder.OpenComm());
    SimPty mute;
    QVERIFY(mute.open());
    const QString missing = QStringLiteral("/dev/corvane-no-such-port");
    const QString path = m_dir.filePath(QStringLiteral("never.cvp"));
    const ProgramRun r = runCli({QStringLiteral("retrieve"), QStringLiteral("--port"), sim->portName(),
                                 QStringLiteral("--port"), missing, QStringLiteral("--port"), mute.slavePath(), path});
    QCOMPARE(r.status, 1);
    const QString reasons = sim->portName() + QStringLiteral(": port is in use by another program; ") + missing
        + QStringLiteral(": no such port; ") + mute.slavePath() + QStringLiteral(": no answer");
    QCOMPARE(r.errLines(), QStringList{QStringLiteral("corvane-cli: R/C not found: ") + reasons});
    QVERIFY2(r.outText().contains(QStringLiteral("! R/C not found | ") + reasons), qPrintable(r.outText()));
    QVERIFY(!QFileInfo::exists(path));
}

void TestDeviceCli::permissionAdviceFitsTheDevice_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("joinGroup");
    QTest::newRow("root:root 0660") << QStringLiteral("root") << 0660 << false;
    QTest::newRow("dialout 0600") << QStringLiteral("dialout") << 0600 << false;
    QTest::newRow("dialout 0660") << QStringLiteral("dialout") << 0660 << true;
}

void TestDeviceCli::permissionAdviceFitsTheDevice()
{
    QFETCH(QString, group);
    QFETCH(int, mode);
    QFETCH(bool, joinGroup);
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (::geteuid() != 0 || setpriv.isEmpty())
        QSKIP("needs root and setpriv to run the program as an ordinary user");
    const struct group* g = ::getgrnam(group.toLocal8Bit().constData());
    if (!g)
        QSKIP("no such group on this system");
    SimPty port;
    QVERIFY(port.open());
    const QByteArray node = port.slavePath().toLocal8Bit();
    QCOMPARE(::chown(node.constData(), 0, g->gr_gid), 0);
    QCOMPARE(::chmod(node.constData(), mode_t(mode)), 0);
    const ProgramRun r = runProgram(setpriv,
                                    {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                     QStringLiteral("--clear-groups"), QStringLiteral(CORVANE_CLI),
                                     QStringLiteral("identify"), QStringLiteral("--port"), port.slavePath()});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.errLines().size(), 1);
    const QString err = r.errLines().at(0);
    QVERIFY2(err.contains(port.slavePath() + QStringLiteral(": permission denied")), qPrintable(err));
    if (joinGroup) {
        QVERIFY2(err.contains(QStringLiteral("usermod -aG %1 $USER").arg(group)), qPrintable(err));
    } else {
        QVERIFY2(!err.contains(QStringLiteral("usermod")), qPrintable(err));
        QVERIFY2(err.contains(QLatin1String(kPortAccessRule)), qPrintable(err));
    }
}

QTEST_GUILESS_MAIN(TestDeviceCli)
#include "test_device_cli.moc"
