// How device operations end: the ports they may touch and the result they
// report.
#include "EventWait.h"
#include "test_device.h"

#include "DeviceOpsRig.h"
#include "ProjectFixtures.h"
#include "core/imaging/ImageDataBlock.h"
#include "sim/lib/SimPty.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kDeadline = 60000;

SimOptions fault(int SimOptions::*field, int value)
{
    SimOptions o;
    o.*field = value;
    return o;
}
} // namespace

Q_DECLARE_METATYPE(TDevicePhase)
Q_DECLARE_METATYPE(TTransferFault)
Q_DECLARE_METATYPE(TVerifyOutcome)

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
    rig.ops.setPortLister({});
    const QString other = rig.sim->portName();
    rig.ops.setAdapterLister([&] { return QStringList{silent.slavePath(), other}; });
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

// Frames on the wire: 1 the identification, 2-4 the configuration's three
// writes, then (with the check) 5-15 the eleven reads, then the images'
// writes, then the restart. Each fault is put where its phase runs; boxes
// are answered Cancel. What the result says was sent must be in the
// controller's memory, and nothing that failed may pass for a success.
void TestDeviceResults::faultsByPhase_data()
{
    QTest::addColumn<SimOptions>("fault");
    QTest::addColumn<bool>("config");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<TDevicePhase>("phase"); // None: the upload succeeds
    QTest::addColumn<TTransferFault>("why");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<TVerifyOutcome>("check");

    using P = TDevicePhase;
    using F = TTransferFault;
    using V = TVerifyOutcome;
    const QStringList none, config{"config"}, both{"config", "images"};
    QTest::newRow("clean") << SimOptions{} << true << true << P::None << F::None << both << V::Passed;
    QTest::newRow("config write NAK") << fault(&SimOptions::nakWrite, 1) << true << false << P::ConfigWrite
                                      << F::Refused << none << V::NotRun;
    QTest::newRow("config write silence")
        << fault(&SimOptions::silentAfter, 1) << true << false << P::ConfigWrite << F::NoAnswer << none << V::NotRun;
    QTest::newRow("config write port gone")
        << fault(&SimOptions::vanishAfter, 3) << true << false << P::ConfigWrite << F::PortGone << none << V::NotRun;
    QTest::newRow("read-back silence") << fault(&SimOptions::silentAfter, 6) << true << true << P::ConfigVerify
                                       << F::NoAnswer << config << V::NoReply;
    QTest::newRow("read-back spoilt") << fault(&SimOptions::corruptReadsAfter, 6) << true << true << P::ConfigVerify
                                      << F::None << config << V::BadReply;
    QTest::newRow("read-back port gone") << fault(&SimOptions::vanishAfter, 7) << true << true << P::ConfigVerify
                                         << F::PortGone << config << V::NoReply;
    QTest::newRow("image write NAK") << fault(&SimOptions::nakWrite, 5) << true << false << P::ImageWrite << F::Refused
                                     << config << V::NotRun;
    QTest::newRow("image write NAK, images only")
        << fault(&SimOptions::nakWrite, 2) << false << false << P::ImageWrite << F::Refused << none << V::NotRun;
    QTest::newRow("image write silence") << fault(&SimOptions::silentAfter, 5) << true << false << P::ImageWrite
                                         << F::NoAnswer << config << V::NotRun;
    // A stray byte before a write's answer is no answer of its own: the ACK
    // after it still counts, in either phase.
    QTest::newRow("config write, stray byte first")
        << fault(&SimOptions::strayBefore, 2) << true << false << P::None << F::None << both << V::NotRun;
    QTest::newRow("image write, stray byte first")
        << fault(&SimOptions::strayBefore, 6) << true << false << P::None << F::None << both << V::NotRun;
    QTest::newRow("image write port gone")
        << fault(&SimOptions::vanishAfter, 6) << true << false << P::ImageWrite << F::PortGone << config << V::NotRun;
    QTest::newRow("reset ignored") << fault(&SimOptions::ignoreResets, 100) << true << true << P::Reset << F::None
                                   << both << V::Passed;
}

void TestDeviceResults::faultsByPhase()
{
    QFETCH(SimOptions, fault);
    QFETCH(bool, config);
    QFETCH(bool, verify);
    QFETCH(TDevicePhase, phase);
    QFETCH(TTransferFault, why);
    QFETCH(QStringList, sent);
    QFETCH(TVerifyOutcome, check);

    DeviceOpsRig rig(fault);
    QVERIFY(rig.started);
    rig.setUp([](TDevice_Config_v2&, THandleList& images) {
        createDefaultHandles(images);
        THandle_object& logos = *images[kLogosIdx];
        // Two pictures: an image block of several writes.
        addFixtureImage(logos, QStringLiteral("SUN"), gradientPicture(logos.width, logos.height, 1));
        addFixtureImage(logos, QStringLiteral("MOON"), gradientPicture(logos.width, logos.height, 2));
    });
    QByteArray block;
    Build_Image_Data(block, rig.document.images());
    QVERIFY(block.size() > 512);
    rig.host.sendConfig = config;
    rig.host.sendImages = true;
    rig.ops.setVerifyUpload(verify);
    QSignalSpy finished(&rig.ops, &TDeviceOperations::finished);

    QVERIFY(rig.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(rig.host.operationEnds > 0, kDeadline);
    QCOMPARE(finished.count(), 1);
    const DeviceOperationResult result = finished.at(0).at(0).value<DeviceOperationResult>();
    QCOMPARE(result.operation, TDeviceOperationKind::Upload);
    QCOMPARE(result.sentParts(), sent);
    QCOMPARE(result.verify, check);
    QCOMPARE(result.fault, why);
    QVERIFY(result.identified);
    QCOMPARE(result.partNumber, quint16(5813));
    QCOMPARE(result.portsTried.size(), 1);
    QCOMPARE(result.portsTried[0].port, rig.sim->portName());

    const QByteArray configBlock = blockBytes(rig.document.record());
    if (result.configSent) {
        QCOMPARE(rig.sim->memory(0, 1408), configBlock);
        QCOMPARE(result.configChecksum, configBlock.mid(2 + 1342, 2));
    } else {
        QVERIFY(result.configChecksum.isEmpty());
    }
    if (result.imagesSent) {
        QCOMPARE(rig.sim->memory(0x80000, int(block.size())), block);
        QCOMPARE(result.imageBlockBytes, qint64(block.size()));
    } else {
        QVERIFY(rig.sim->memory(0x80000, int(block.size())) != block);
    }
    if (phase == TDevicePhase::None) {
        QVERIFY(result.ok());
        QCOMPARE(result.message, QStringLiteral("Data uploaded successfully"));
        return;
    }
    // No false success, whatever the log said on the way.
    QVERIFY(!result.ok());
    QCOMPARE(result.outcome, TOperationOutcome::Failed);
    QCOMPARE(result.failedPhase, phase);
    QVERIFY2(result.message.startsWith(QStringLiteral("Error uploading data: (")), qPrintable(result.message));
    if (why != TTransferFault::None && phase != TDevicePhase::ConfigVerify)
        QVERIFY2(result.message.endsWith(QStringLiteral(": ") + transferFaultText(why)), qPrintable(result.message));
}
