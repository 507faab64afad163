// corvane-cli commission --firmware end to end: virtual controllers on
// pseudo-terminals, some with old firmware. An old one is backed up,
// upgraded, identified again and then gets the project; an up-to-date one
// beside it gets the project and not a byte of firmware; a failed or refused
// upgrade sends no data.
#include "ProgramRun.h"
#include "ProjectFixtures.h"
#include "SimFixtures.h"

#include "core/commissioning/CommissioningLog.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/model/DeviceConfig.h"
#include "core/protocol/BLcomms.h"
#include "core/resources/CarriedData.h"
#include "core/storage/DiskIO.h"
#include "sim/lib/VirtualController.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <memory>
#include <vector>

namespace {

constexpr uint32_t kStaging = 0x37000;
constexpr uint32_t kImageStore = 0x80000;

// Firmware blocks and 'firmware write' commands a controller received.
int firmwareFrames(const VirtualController& sim)
{
    int n = 0;
    for (const SimFrame& f : sim.frames()) {
        const bool block = f.command == BL::kCmdWriteMemory && f.address >= kStaging && f.address < kImageStore;
        n += block || f.command == BL::kCmdFirmwareWriteApp || f.command == BL::kCmdFirmwareWriteBoot ? 1 : 0;
    }
    return n;
}

// Data writes: the configuration block and the image store.
int dataWrites(const VirtualController& sim)
{
    int n = 0;
    for (const SimFrame& f : sim.frames())
        n += f.command == BL::kCmdWriteMemory && (f.address < kStaging || f.address >= kImageStore) ? 1 : 0;
    return n;
}

std::map<QString, TCommissioningRecord> recordsByPort(const QString& log)
{
    std::map<QString, TCommissioningRecord> out;
    for (const TCommissioningRecord& r : readCommissioningLog(log).records)
        out[r.port] = r;
    return out;
}

QString carriedVersion()
{
    const quint16 v = Read_Resource_Word(QStringLiteral("FW_VER"));
    return QString::asprintf("%d.%02d", v / 100, v % 100);
}

} // namespace

class TestCommissionFirmware : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void oldControllerIsUpgradedThenCommissioned_data();
    void oldControllerIsUpgradedThenCommissioned();
    void everyUpgradedControllerKeepsItsOwnBackup();
    void noDataWithoutASuccessfulUpgrade_data();
    void noDataWithoutASuccessfulUpgrade();

private:
    QStringList commission(const std::vector<VirtualController*>& sims, const QString& log) const;

    QTemporaryDir m_dir;
    QString m_project;
    QString m_backups;
    QByteArray m_config;
    QByteArray m_images;
};

void TestCommissionFirmware::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_project = m_dir.filePath(QStringLiteral("site.cvp"));
    TDevice_Config_v2 rec = newProjectConfig();
    writeServiceText(QStringLiteral("Plant room"), rec);
    THandleList handles;
    createDefaultHandles(handles);
    THandle_object& logos = *handles[kLogosIdx];
    QImage logo(logos.width, logos.height, QImage::Format_ARGB32_Premultiplied);
    logo.fill(qRgb(20, 90, 160));
    addFixtureImage(logos, QStringLiteral("BLUE"), logo, TFixtureImage::Stored);
    Save_Project_File(m_project, rec, handles);
    m_config = controllerBlock(rec);
    Build_Image_Data(m_images, handles);
    QVERIFY(m_images.size() > 100);
    m_backups = m_dir.filePath(QStringLiteral("backups"));
    QVERIFY(QDir().mkpath(m_backups));
}

QStringList TestCommissionFirmware::commission(const std::vector<VirtualController*>& sims, const QString& log) const
{
    QStringList args{QStringLiteral("commission"), m_project, QStringLiteral("--verify"), QStringLiteral("--log"), log};
    for (const VirtualController* s : sims)
        args << QStringLiteral("--port") << s->portName();
    return args;
}

void TestCommissionFirmware::oldControllerIsUpgradedThenCommissioned_data()
{
    QTest::addColumn<SimOptions>("old");
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("backedUp");
    // A controller from stock: a configuration of its own, which the backup keeps.
    TDevice_Config_v2 stock = newProjectConfig();
    writeServiceText(QStringLiteral("From stock"), stock);
    SimOptions v104;
    v104.initialConfig = controllerBlock(stock);
    v104.fwVersion = 104; // cannot take an upload
    QTest::newRow("1.04") << v104 << QStringLiteral("1.04") << true;
    SimOptions v200 = v104;
    v200.fwVersion = 200; // takes one, but is older than the carried firmware
    QTest::newRow("2.00") << v200 << QStringLiteral("2.00") << true;
    SimOptions bootLoader;
    bootLoader.bootLoader = true; // reports its boot loader's version; nothing to back up
    QTest::newRow("boot loader") << bootLoader << QStringLiteral("1.00") << false;
}

void TestCommissionFirmware::oldControllerIsUpgradedThenCommissioned()
{
    QFETCH(SimOptions, old);
    QFETCH(QString, from);
    QFETCH(bool, backedUp);
    const auto outdatedSim = startVirtualController(old);
    const auto currentSim = startVirtualController();
    QVERIFY(outdatedSim && currentSim);
    VirtualController& outdated = *outdatedSim;
    VirtualController& current = *currentSim;
    const QString log = m_dir.filePath(QStringLiteral("%1.jsonl").arg(QTest::currentDataTag()).replace(' ', '-'));
    const QStringList before = QDir(m_backups).entryList(QDir::Files);
    const ProgramRun r = runCli(commission({&outdated, &current}, log)
                                << QStringLiteral("--firmware") << QStringLiteral("--allow-placeholder")
                                << QStringLiteral("--backup-dir") << m_backups);
    QVERIFY2(r.status == 0, qPrintable(r.errText() + r.outText()));

    // Upgraded: the carried image in its staging area, then the project.
    const QByteArray firmware = readResourceData(QStringLiteral("FIRMWARE_BINARY_5813"));
    QCOMPARE(outdated.memory(kStaging, int(firmware.size())), firmware);
    QCOMPARE(outdated.options().fwVersion, Read_Resource_Word(QStringLiteral("FW_VER")));
    // Beside it, the up-to-date controller: the project, not a byte of firmware.
    QCOMPARE(firmwareFrames(current), 0);
    for (VirtualController* s : {&outdated, &current}) {
        QCOMPARE(s->memory(0, 1408), m_config);
        QCOMPARE(s->memory(kImageStore, int(m_images.size())), m_images);
    }
    // The data went after the last firmware frame.
    const std::vector<SimFrame> frames = outdated.frames();
    int lastFirmware = -1, firstData = -1;
    for (int i = 0; i < int(frames.size()); ++i) {
        if (frames[size_t(i)].command == BL::kCmdFirmwareWriteApp
            || frames[size_t(i)].command == BL::kCmdFirmwareWriteBoot)
            lastFirmware = i;
        if (frames[size_t(i)].command == BL::kCmdWriteMemory && frames[size_t(i)].address < kStaging && firstData < 0)
            firstData = i;
    }
    QVERIFY(lastFirmware >= 0 && firstData > lastFirmware);

    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 2);
    const TCommissioningRecord& up = records.at(outdated.portName());
    QVERIFY2(up.ok, qPrintable(up.message));
    QCOMPARE(up.firmware, carriedVersion());
    QCOMPARE(up.sent, (QStringList{"config", "images"}));
    QCOMPARE(up.verify, TVerifyResult::Passed);
    QVERIFY(up.upgrade.has_value());
    QCOMPARE(up.upgrade->from, from);
    QCOMPARE(up.upgrade->to, carriedVersion());
    QVERIFY(up.upgrade->ok);
    const QStringList added = QDir(m_backups).entryList(QDir::Files);
    if (backedUp) {
        // The backup holds what the controller had: the configuration it started with.
        QCOMPARE(added.size(), before.size() + 1);
        QVERIFY2(QFileInfo(up.upgrade->backup).fileName().startsWith(QLatin1String("corvane-backup-")),
                 qPrintable(up.upgrade->backup));
        TDevice_Config_v2 saved{};
        THandleList handles;
        QVERIFY(Load_Project_File(up.upgrade->backup, saved, handles));
        QCOMPARE(controllerBlock(saved), old.initialConfig);
    } else {
        QVERIFY(up.upgrade->backup.isEmpty());
        QCOMPARE(added, before);
    }
    const TCommissioningRecord& same = records.at(current.portName());
    QVERIFY(same.ok);
    QVERIFY(!same.upgrade.has_value());
    QCOMPARE(same.firmware, carriedVersion());

    // The run's table and the report both show the step.
    const QString step = QStringLiteral("%1 -> %2").arg(from, carriedVersion());
    QVERIFY2(r.outText().contains(step), qPrintable(r.outText()));
    const ProgramRun report = runCli({QStringLiteral("report"), log});
    QCOMPARE(report.status, 0);
    QVERIFY2(report.outText().contains(step), qPrintable(report.outText()));
}

// Workers upgrading at once back up within the same second: each backup
// gets a file of its own, none is written over another.
void TestCommissionFirmware::everyUpgradedControllerKeepsItsOwnBackup()
{
    std::vector<std::unique_ptr<VirtualController>> sims;
    std::vector<VirtualController*> ports;
    for (const char* text : {"Room 1", "Room 2", "Room 3"}) {
        TDevice_Config_v2 stock = newProjectConfig();
        writeServiceText(QString::fromLatin1(text), stock);
        SimOptions old;
        old.fwVersion = 104;
        old.initialConfig = controllerBlock(stock);
        sims.push_back(startVirtualController(old));
        QVERIFY(sims.back());
        ports.push_back(sims.back().get());
    }
    QTemporaryDir folder;
    const QString log = m_dir.filePath(QStringLiteral("three-m_backups.jsonl"));
    const ProgramRun r
        = runCli(commission(ports, log) << QStringLiteral("--firmware") << QStringLiteral("--allow-placeholder")
                                        << QStringLiteral("--backup-dir") << folder.path());
    QVERIFY2(r.status == 0, qPrintable(r.errText()));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 3);
    for (const VirtualController* sim : ports) {
        const TCommissioningRecord rec = recordsByPort(log).at(sim->portName());
        QVERIFY(rec.upgrade && rec.upgrade->ok);
        TDevice_Config_v2 saved{};
        THandleList handles;
        QVERIFY(Load_Project_File(rec.upgrade->backup, saved, handles));
        QCOMPARE(controllerBlock(saved), sim->options().initialConfig);
    }
}

void TestCommissionFirmware::noDataWithoutASuccessfulUpgrade_data()
{
    QTest::addColumn<SimOptions>("old");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message"); // the record's message starts so; empty: refused before any port
    QTest::addColumn<bool>("upgradeTried");
    SimOptions v104;
    v104.fwVersion = 104;
    QTest::newRow("without --firmware") << v104 << QStringList{}
                                        << QStringLiteral(
                                               "skipped: firmware 1.04 needs an upgrade before data can be uploaded")
                                        << false;
    SimOptions dying = v104;
    dying.initialConfig = controllerBlock(newProjectConfig());
    // Answers the probe and the backup's reads, then falls silent among the firmware blocks.
    dying.silentAfter = 40;
    const QStringList upgrade{"--firmware", "--allow-placeholder", "--backup-dir", m_backups};
    QTest::newRow("silent during the upgrade")
        << dying << upgrade << QStringLiteral("firmware upgrade failed, no data sent: ") << true;
    if (carriedFirmwareIsPlaceholder())
        QTest::newRow("stand-in firmware") << v104 << upgrade.mid(0, 1) << QString() << false;
}

void TestCommissionFirmware::noDataWithoutASuccessfulUpgrade()
{
    QFETCH(SimOptions, old);
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    QFETCH(bool, upgradeTried);
    const auto sim = startVirtualController(old);
    QVERIFY(sim);
    VirtualController& outdated = *sim;
    const QString log = m_dir.filePath(QStringLiteral("%1.jsonl").arg(QTest::currentDataTag()).replace(' ', '-'));
    const ProgramRun r = runCli(commission({&outdated}, log) << options);
    QCOMPARE(r.status, 1);
    QCOMPARE(dataWrites(outdated), 0);
    if (message.isEmpty()) {
        // Refused as the firmware command refuses it: before any port is opened.
        QCOMPARE(r.errLines().size(), 1);
        QVERIFY2(r.errText().contains(QLatin1String("--allow-placeholder")), qPrintable(r.errText()));
        QCOMPARE(outdated.frameCount(), 0);
        QVERIFY(!QFileInfo::exists(log));
        return;
    }
    const auto records = recordsByPort(log);
    QCOMPARE(int(records.size()), 1);
    const TCommissioningRecord& rec = records.at(outdated.portName());
    QVERIFY(!rec.ok);
    QVERIFY2(rec.message.startsWith(message), qPrintable(rec.message));
    QVERIFY(rec.sent.isEmpty());
    QCOMPARE(rec.firmware, QStringLiteral("1.04"));
    QCOMPARE(rec.upgrade.has_value(), upgradeTried);
    if (upgradeTried) {
        QVERIFY(firmwareFrames(outdated) > 0);
        QVERIFY(!rec.upgrade->ok);
        QCOMPARE(rec.upgrade->text(), QStringLiteral("1.04 -> %1 failed").arg(carriedVersion()));
    }
}

QTEST_GUILESS_MAIN(TestCommissionFirmware)
#include "test_commission_firmware.moc"
