#include "test_device.h"

#include "SimSession.h"
#include "core/device/CommPortList.h"
#include "core/device/ControllerProbe.h"
#include "core/protocol/DeviceIdentity.h"
#include "sim/lib/SimPty.h"

#include <QtTest>

void TestDiscovery::identification_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootLoader");
    QTest::addColumn<int>("partNo");
    QTest::addColumn<int>("version");
    QTest::newRow("first model, application") << 0 << false << 5813 << 201;
    QTest::newRow("first model, boot loader") << 0 << true << 5819 << 103;
    QTest::newRow("RTC model, application") << 1 << false << 5827 << 113;
    QTest::newRow("RTC model, boot loader") << 1 << true << 5831 << 103;
}

void TestDiscovery::identification()
{
    QFETCH(int, model);
    QFETCH(bool, bootLoader);
    QFETCH(int, partNo);
    QFETCH(int, version);
    SimOptions o;
    o.model = model;
    o.bootLoader = bootLoader;
    o.fwVersion = bootLoader ? 201 : static_cast<uint16_t>(version);
    o.blVersion = bootLoader ? static_cast<uint16_t>(version) : 77;
    SimSession s(o);
    QVERIFY(s.ok());
    uint16_t part = 0, ver = 0, blPart = 0, blVer = 0;
    QVERIFY(GetAppInfo(s.comms, part, ver, blPart, blVer));
    QCOMPARE(int(part), partNo);
    QCOMPARE(int(ver), version);
    QCOMPARE(int(blPart), int(RC_Model_Table[model].blPartNo));
    QCOMPARE(Model_Index(part), model);
    QCOMPARE(isBootLoaderPart(part), bootLoader);
    const SimFrame f = s.sim->frames().back();
    QCOMPARE(f.command, uint8_t(10));
    QCOMPARE(f.address, uint32_t(0x5A1C7B93));
    QCOMPARE(f.bytes.size(), 12);
}

void TestDiscovery::identificationFailsCleanly_data()
{
    QTest::addColumn<bool>("corrupt");
    QTest::addColumn<int>("extraBytes");
    QTest::newRow("bad check sum") << true << 0;
    QTest::newRow("one byte too many") << false << 1;
}

void TestDiscovery::identificationFailsCleanly()
{
    // A reply that fails its tests is a failure, not four zero words.
    QFETCH(bool, corrupt);
    QFETCH(int, extraBytes);
    SimOptions o;
    o.corruptReadReplies = corrupt;
    o.readReplyExtraBytes = extraBytes;
    SimSession s(o);
    QVERIFY(s.ok());
    uint16_t part = 1, ver = 1, blPart = 1, blVer = 1;
    bool badReply = false;
    QVERIFY(!GetAppInfo(s.comms, part, ver, blPart, blVer, &badReply));
    QVERIFY(badReply);
    QCOMPARE(part | ver | blPart | blVer, 0);

    s.comms.CloseComm();
    const TProbeResult probe = probeController(s.comms, s.sim->portName());
    QVERIFY(probe.opened);
    QVERIFY(!probe.answered);
    QVERIFY(probe.badReply);
    QVERIFY(!probe.isController());
    QVERIFY(!s.comms.isOpen());

    // An unknown device answers well but names no model.
    o.corruptReadReplies = false;
    o.readReplyExtraBytes = 0;
    o.partNumberOverride = 1234;
    s.sim->setOptions(o);
    QVERIFY(s.comms.OpenComm());
    QVERIFY(GetAppInfo(s.comms, part, ver, blPart, blVer, &badReply));
    QVERIFY(!badReply);
    QCOMPARE(part, uint16_t(1234));
    QCOMPARE(Model_Index(part), -1);
}

void TestDiscovery::silenceIsNoAnswer()
{
    SimPty mute;
    QVERIFY(mute.open());
    TVrexComms c;
    applyCommsSettings(c);
    c.portName = mute.slavePath();
    QVERIFY(c.OpenComm());
    uint16_t part = 1, ver = 1, blPart = 1, blVer = 1;
    bool badReply = true;
    QVERIFY(!GetAppInfo(c, part, ver, blPart, blVer, &badReply));
    QVERIFY(!badReply);
    QCOMPARE(part | ver | blPart | blVer, 0);
}

void TestDiscovery::modelIndex_data()
{
    QTest::addColumn<int>("partNo");
    QTest::addColumn<int>("index");
    QTest::newRow("5813") << 5813 << 0;
    QTest::newRow("5819") << 5819 << 0;
    QTest::newRow("5827") << 5827 << 1;
    QTest::newRow("5831") << 5831 << 1;
    QTest::newRow("0") << 0 << -1;
    QTest::newRow("5814") << 5814 << -1;
}

void TestDiscovery::modelIndex()
{
    QFETCH(int, partNo);
    QFETCH(int, index);
    QCOMPARE(Model_Index(static_cast<uint16_t>(partNo)), index);
}

void TestDiscovery::fwCompatIndex_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("cfgFormat");
    QTest::newRow("101") << 101 << 0 << 1;
    QTest::newRow("104") << 104 << 3 << 1;
    QTest::newRow("105") << 105 << 4 << 2;
    QTest::newRow("113") << 113 << 12 << 2;
    QTest::newRow("200") << 200 << 13 << 2;
    QTest::newRow("201") << 201 << 14 << 2;
    QTest::newRow("100") << 100 << -1 << 0;
    QTest::newRow("114") << 114 << -1 << 0;
    QTest::newRow("202") << 202 << -1 << 0;
}

void TestDiscovery::fwCompatIndex()
{
    QFETCH(int, version);
    QFETCH(int, index);
    QFETCH(int, cfgFormat);
    QCOMPARE(FW_Compat_Index(static_cast<uint16_t>(version)), index);
    if (index >= 0) {
        for (const auto& table : FW_Compat_Table) {
            QCOMPARE(int(table[index].cfgFormat), cfgFormat);
            QCOMPARE(int(table[index].dataFormat), 4);
        }
    }
}

void TestDiscovery::firmwareText()
{
    QCOMPARE(firmwareVersionText(5813, 201), QStringLiteral("Firmware: 5813 v2.01"));
    QCOMPARE(firmwareVersionText(5831, 5), QStringLiteral("Firmware: 5831 v0.05"));
    QCOMPARE(firmwareVersionText(42, 1310), QStringLiteral("Firmware: 0042 v13.10"));
}

void TestDiscovery::namedPortsComeFirst()
{
    SimPty a, b;
    QVERIFY(a.open());
    QVERIFY(b.open());
    // Pseudo-terminals have no manufacturer: named ones are still candidates, in the given order.
    const QStringList list = Get_CommPort_List(QStringLiteral("FTDI"), {b.slavePath(), a.slavePath()});
    QVERIFY(list.size() >= 2);
    QCOMPARE(list.mid(0, 2), QStringList({b.slavePath(), a.slavePath()}));
    for (const TCandidatePort& c : getCommPortCandidates(QStringLiteral("FTDI"))) {
        QVERIFY(c.manufacturer.contains(QStringLiteral("FTDI")));
        QVERIFY(!c.named);
    }
}

void TestDiscovery::probeReportsWhyAPortFailed()
{
    SimSession s;
    QVERIFY(s.ok());
    s.comms.CloseComm();
    const TProbeResult good = probeController(s.comms, s.sim->portName());
    QVERIFY(good.isController());
    QCOMPARE(good.partNo, uint16_t(5813));
    QVERIFY(s.comms.isOpen()); // left open for the operation that follows

    TVrexComms other;
    const TProbeResult busy = probeController(other, s.sim->portName());
    QVERIFY(!busy.opened);
    QCOMPARE(busy.failure, TPortOpenFailure::Busy);
    QVERIFY(busy.failureText.contains(QStringLiteral("in use")));

    const TProbeResult missing = probeController(other, QStringLiteral("/dev/corvane-missing"));
    QCOMPARE(missing.failure, TPortOpenFailure::Missing);
    QVERIFY(!other.isOpen());

    QCOMPARE(portOpenFailureText(TPortOpenFailure::PermissionDenied, QStringLiteral("/dev/ttyUSB0")),
             QStringLiteral("/dev/ttyUSB0: permission denied"));
    // No node to read a group from: the rule is the advice, never a group.
    QVERIFY(portOpenFailureFix(TPortOpenFailure::PermissionDenied, QStringLiteral("/dev/corvane-missing"))
                .contains(QLatin1String(kPortAccessRule)));
}

void TestDiscovery::commsSettings()
{
    QObject owner;
    TVrexComms* c = Initialise_Comms_Vars(&owner);
    QCOMPARE(c->parent(), &owner);
    QCOMPARE(c->BaudRate, 230400u);
    QCOMPARE(c->DataBits, uint8_t(8));
    QVERIFY(c->Parity == TParity::None);
    QVERIFY(c->StopBits == TStopBits::OneStopBit);
    QCOMPARE(c->RxBufferSize, uint16_t(1024));
    QCOMPARE(c->InterCharTimeOut, 0u);
}
