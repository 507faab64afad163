// How device operations end: the ports they may touch and the result they
// report.
#include "EventWait.h"
#include "test_device.h"

#include "DeviceOpsRig.h"
#include "sim/lib/SimPty.h"

#include <QtTest>

namespace {
constexpr int kDeadline = 60000;
} // namespace

void TestDeviceResults::namedPortIsTheOnlyPort_data()
{
    QTest::addColumn<int>("purpose");
    QTest::addColumn<bool>("namedOnly");
    QTest::newRow("retrieve, named port only") << 1 << true;
    QTest::newRow("upload, named port only") << 2 << true;
    QTest::newRow("firmware, named port only") << 3 << true;
    // The same set-up without the rule reaches the other controller: the
    // adapter list of the test is really consulted.
    QTest::newRow("retrieve, offered first") << 1 << false;
}

// Two adapters: a named one where nothing answers, and another one with a
// controller behind it. The controller the user did not name gets no byte.
void TestDeviceResults::namedPortIsTheOnlyPort()
{
    QFETCH(int, purpose);
    QFETCH(bool, namedOnly);
    DeviceOpsRig rig;
    QVERIFY(rig.started);
    SimPty silent;
    QVERIFY(silent.open());
    rig.ops.Set_Port_Lister({});
    const QString other = rig.sim->portName();
    rig.ops.Set_Adapter_Lister([&] { return QStringList{silent.slavePath(), other}; });
    rig.link.explicitPorts = {silent.slavePath()};
    rig.link.namedPortsOnly = namedOnly;
    rig.host.upgradeOnShow = &rig.ops;

    if (purpose == 1)
        rig.ops.retrieve_cfg_ButtonClick();
    else if (purpose == 2)
        QVERIFY(rig.ops.upload_data_BitBtnClick());
    else
        rig.ops.fw_upg_ButtonClick();
    CORVANE_TRY_VERIFY(rig.host.operationEnds > 0, kDeadline);
    if (!namedOnly) {
        QVERIFY(rig.sim->frameCount() > 0);
        return;
    }
    QCOMPARE(rig.sim->frameCount(), 0);
    QCOMPARE(rig.host.infoOf(14), silent.slavePath() + QStringLiteral(": no answer"));
}
