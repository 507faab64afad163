#include "EventWait.h"
#include "test_device.h"

#include "DeviceOpsRig.h"
#include "core/comms/PortOpenFailure.h"
#include "core/device/DeviceTexts.h"
#include "core/device/FirmwareWindowInfo.h"
#include "core/resources/CarriedData.h"
#include "sim/lib/SimPty.h"

#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kDeadline = 90000;
constexpr int kFirmwareBytes = 266240;

QList<SimFrame> framesOf(const VirtualController& sim, uint8_t command)
{
    QList<SimFrame> out;
    for (const SimFrame& f : sim.frames())
        if (f.command == command)
            out << f;
    return out;
}

QByteArray carried(int model)
{
    return readResourceData(model == 0 ? QStringLiteral("FIRMWARE_BINARY_5813")
                                       : QStringLiteral("FIRMWARE_BINARY_5827"));
}

// Runs as another user for as long as it lives, so that a device node
// without permission for others is refused as it would be for an installer.
class RunAsNobody {
public:
    RunAsNobody()
    {
        if (::geteuid() == 0)
            m_switched = ::seteuid(65534) == 0;
    }
    ~RunAsNobody()
    {
        if (m_switched)
            (void)::seteuid(0);
    }

private:
    bool m_switched = false;
};

} // namespace

void TestFirmwareOperations::windowLabels_data()
{
    QTest::addColumn<int>("partNo");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("modelText");
    QTest::addColumn<QString>("rcText");
    QTest::addColumn<QString>("availableText");
    QTest::newRow("first model 104") << 5813 << 104 << 0 << "Corvane (KTRA1)"
                                     << "PN5813 v1.04"
                                     << "PN5813 v2.01";
    QTest::newRow("first boot loader") << 5819 << 103 << 0 << "Corvane (KTRA1)"
                                       << "PN5819 v1.03"
                                       << "PN5813 v2.01";
    QTest::newRow("RTC boot loader") << 5831 << 100 << 1 << "Corvane-RTC (KTRA2)"
                                     << "PN5831 v1.00"
                                     << "PN5827 v2.01";
    QTest::newRow("unknown") << 1234 << 5 << -1 << ""
                             << "PN1234 v0.05"
                             << "PN5813 v2.01";
}

void TestFirmwareOperations::windowLabels()
{
    QFETCH(int, partNo);
    QFETCH(int, version);
    QFETCH(int, model);
    QFETCH(QString, modelText);
    QFETCH(QString, rcText);
    QFETCH(QString, availableText);
    TControllerLink s;
    s.RC_PartNo = quint16(partNo);
    s.RC_FW_Ver = quint16(version);
    s.PC_Cfg_PartNo = 5813;
    s.PC_Cfg_FW_Ver = 201;
    const TFirmwareWindowInfo info = prepareFirmwareWindow(s);
    QCOMPARE(info.model, model);
    QCOMPARE(info.modelInfo, modelText);
    QCOMPARE(info.rcFwver, rcText);
    QCOMPARE(info.availableFwver, availableText);
}

void TestFirmwareOperations::upgradeByModel_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootLoader");
    QTest::addColumn<int>("fwVersion");
    QTest::addColumn<int>("command");
    QTest::newRow("first model 104") << 0 << false << 104 << 20;
    QTest::newRow("first model boot loader 5819") << 0 << true << 201 << 14;
    QTest::newRow("RTC boot loader 5831") << 1 << true << 201 << 20;
}

void TestFirmwareOperations::upgradeByModel()
{
    QFETCH(int, model);
    QFETCH(bool, bootLoader);
    QFETCH(int, fwVersion);
    QFETCH(int, command);
    SimOptions o;
    o.model = model;
    o.bootLoader = bootLoader;
    o.fwVersion = quint16(fwVersion);
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    rig.host.upgradeOnShow = &rig.ops;
    rig.ops.fw_upg_ButtonClick();
    CORVANE_TRY_VERIFY(rig.host.operationEnds == 1, kDeadline);

    const QList<int> expected = command == 20 ? QList<int>{29, 12, 22, 23, 24, 13} : QList<int>{29, 12, 22, 23, 13};
    QCOMPARE(rig.host.codes(), expected);
    QCOMPARE(rig.host.log.at(0).info, QStringLiteral("Firmware upgrade"));
    const QList<SimFrame> writes = framesOf(*rig.sim, 200);
    QCOMPARE(writes.size(), 520);
    QCOMPARE(writes.first().address, 0x37000u);
    QCOMPARE(writes.at(1).address, 0x37000u + 512);
    QCOMPARE(rig.sim->memory(0x37000, kFirmwareBytes), carried(model));
    const QList<SimFrame> installs = framesOf(*rig.sim, uint8_t(command));
    QCOMPARE(installs.size(), 1);
    // Part number low, high, then version low, high.
    const quint16 part = model == 0 ? 5813 : 5827;
    QCOMPARE(installs.at(0).bytes.mid(2, 4),
             QByteArray::fromHex(QByteArray::number(part & 0xFF, 16).rightJustified(2, '0')
                                 + QByteArray::number(part >> 8, 16).rightJustified(2, '0') + "c900"));
    QCOMPARE(installs.at(0).index, rig.sim->frameCount());
    QCOMPARE(rig.host.progress[2].position, kFirmwareBytes);
    QVERIFY(!rig.host.progress[2].error);
    QVERIFY(!rig.link.comms().isOpen());
    QVERIFY(rig.host.deviceButtonsEnabled);
}

void TestFirmwareOperations::abortDuringBlock100()
{
    DeviceOpsRig rig;
    QVERIFY(rig.started);
    rig.host.upgradeOnShow = &rig.ops;
    bool asked = false;
    // Block 100 is queued once block 99 has been acknowledged: the user asks then.
    rig.host.onProgress = [&](TDeviceBar bar, qint64 position) {
        if (bar == TDeviceBar::Firmware && position == 99 * 512 && !asked) {
            asked = true;
            rig.ops.requestUpgradeAbort();
        }
    };
    rig.ops.fw_upg_ButtonClick();
    CORVANE_TRY_VERIFY(rig.host.operationEnds == 1, kDeadline);
    QVERIFY(asked);
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 22, 26, 13}));
    QCOMPARE(framesOf(*rig.sim, 200).size(), 100);
    QCOMPARE(framesOf(*rig.sim, 20).size() + framesOf(*rig.sim, 14).size(), 0);
    QVERIFY(!rig.link.comms().isOpen());
}

void TestFirmwareOperations::nakOnBlock3ThenUpgradeAgain()
{
    SimOptions o;
    o.nakWrite = 3;
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    rig.host.upgradeOnShow = &rig.ops;
    rig.ops.fw_upg_ButtonClick();
    CORVANE_TRY_VERIFY(rig.host.transferEnds == 1, kDeadline);
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 22, 11}));
    QCOMPARE(rig.host.infoOf(11), QStringLiteral("Ensure R/C is in Config mode!"));
    QVERIFY(rig.host.progress[2].error);
    QCOMPARE(rig.host.progress[2].position, rig.host.progress[2].maximum);
    QVERIFY(rig.host.boxes.isEmpty());
    // The link stays open and the operation is not over.
    QVERIFY(rig.link.comms().isOpen());
    QCOMPARE(rig.host.operationEnds, 0);
    QVERIFY(!rig.host.deviceButtonsEnabled);
    QCOMPARE(framesOf(*rig.sim, 200).size(), 3);

    // "Upgrade" again sends the whole image anew, from the first block.
    rig.sim->clearFrames();
    rig.ops.startFirmwareUpgrade();
    CORVANE_TRY_VERIFY(rig.host.operationEnds == 1, kDeadline);
    QCOMPARE(rig.host.codes().mid(4), (QList<int>{22, 23, 24, 13}));
    QCOMPARE(framesOf(*rig.sim, 200).size(), 520);
    QCOMPARE(framesOf(*rig.sim, 200).first().address, 0x37000u);
    QCOMPARE(rig.sim->memory(0x37000, kFirmwareBytes), carried(0));
    QVERIFY(!rig.host.progress[2].error);
}

void TestFirmwareOperations::placeholderRefusedOnOtherPorts()
{
    if (!carriedFirmwareIsPlaceholder())
        QSKIP("this build carries real firmware");
    DeviceOpsRig rig;
    QVERIFY(rig.started);
    rig.ops.allowPlaceholderFirmwareOn({});
    rig.host.upgradeOnShow = &rig.ops;
    rig.ops.fw_upg_ButtonClick();
    CORVANE_TRY_VERIFY(rig.host.transferEnds == 1, kDeadline);
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes.at(0).text, DeviceText::placeholderFirmware());
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 11}));
    QCOMPARE(framesOf(*rig.sim, 200).size(), 0);
    // Cancel closes the link as after any failed transfer.
    QVERIFY(rig.link.comms().isOpen());
    rig.ops.closeFirmwareWindow();
    CORVANE_TRY_VERIFY(rig.host.operationEnds == 1, kDeadline);
    QCOMPARE(rig.host.codes().last(), 13);
}

void TestFirmwareOperations::permissionDeniedNamedInLog14()
{
    // A port the user may not open, then one where nothing answers.
    SimPty denied;
    QVERIFY(denied.open());
    SimPty mute;
    QVERIFY(mute.open());
    const QByteArray deniedPath = denied.slavePath().toLocal8Bit();
    QCOMPARE(::chmod(deniedPath.constData(), 0600), 0);
    QCOMPARE(::chmod(mute.slavePath().toLocal8Bit().constData(), 0666), 0);

    DeviceOpsRig rig;
    QVERIFY(rig.started);
    rig.ports = {denied.slavePath(), mute.slavePath()};
    rig.ops.retrieve_cfg_ButtonClick();
    {
        RunAsNobody user;
        if (::geteuid() == 0)
            QSKIP("cannot give up root to meet a permission check");
        CORVANE_TRY_VERIFY(rig.host.operationEnds == 1, kDeadline);
    }
    QCOMPARE(rig.host.codes(), (QList<int>{29, 14}));
    const QString info = rig.host.infoOf(14);
    QVERIFY2(info.startsWith(denied.slavePath() + QStringLiteral(": permission denied")), qPrintable(info));
    QVERIFY2(info.contains(QLatin1String(kPortAccessRule)), qPrintable(info));
    QVERIFY2(info.endsWith(QStringLiteral("; ") + mute.slavePath() + QStringLiteral(": no answer")), qPrintable(info));
    QCOMPARE(rig.host.boxes.size(), 1);
    // The box begins as it always has, then names each port tried and why.
    const QString box = rig.host.boxes.at(0).text;
    QVERIFY2(box.startsWith(DeviceText::notFound() + QStringLiteral("\r\rPorts tried:      ")), qPrintable(box));
    QVERIFY2(box.contains(QStringLiteral("\r  ") + denied.slavePath() + QStringLiteral(": permission denied")),
             qPrintable(box));
    QVERIFY2(box.contains(QLatin1String(kPortAccessRule)), qPrintable(box));
    QVERIFY2(box.endsWith(mute.slavePath() + QStringLiteral(": no answer      ")), qPrintable(box));
    QCOMPARE(rig.host.scanMaximum, 2);
    QCOMPARE(rig.host.scanPosition, 2);
    QVERIFY(rig.host.deviceButtonsEnabled);
    QVERIFY(!rig.host.scanPanelVisible);
}
