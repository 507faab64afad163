#include "EventWait.h"
#include "ProjectFixtures.h"
#include "test_device.h"

#include "DeviceOpsRig.h"
#include "core/device/DeviceTexts.h"
#include "core/device/FirmwareWindowInfo.h"
#include "core/device/TConnectSteps.h"
#include "core/imaging/ImageDataBlock.h"
#include "core/imaging/PixelFormat.h"
#include "core/messaging/WindowMessages.h"
#include "core/model/Fletcher.h"
#include "core/protocol/DeviceIdentity.h"
#include "core/resources/CarriedData.h"
#include "sim/lib/SimPty.h"

#include <QtTest>

#include <cstddef>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kDeadline = 60000;

bool hasEnded(const DeviceOpsRig& rig)
{
    return rig.host.operationEnds > 0;
}

QList<SimFrame> framesOf(const VirtualController& sim, uint8_t command)
{
    QList<SimFrame> out;
    for (const SimFrame& f : sim.frames())
        if (f.command == command)
            out << f;
    return out;
}

QList<uint32_t> writeAddresses(const VirtualController& sim)
{
    QList<uint32_t> out;
    for (const SimFrame& f : framesOf(sim, 200))
        out << f.address;
    return out;
}

void addImage(THandle_object& h, const QString& name, int seed)
{
    addFixtureImage(h, name, gradientPicture(h.width, h.height, seed));
}

TDevice_Config_v2 distinctRecord()
{
    TDevice_Config_v2 r = newProjectConfig();
    r.theme_colour = 0x123456;
    writeServiceText(QStringLiteral("Call 555 0100"), r);
    return r;
}

} // namespace

void TestDeviceOperations::purposeByFirmware_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("bootLoader");
    QTest::addColumn<int>("fwVersion");
    QTest::addColumn<int>("purpose");
    QTest::addColumn<QString>("refusal"); // empty: accepted
    QTest::addColumn<bool>("blActive");

    const QString upgrade = DeviceText::needsUpgrade();
    const QString compat = DeviceText::notCompatible();
    const QString app = DeviceText::needsApplication();
    QTest::newRow("104 retrieve") << 0 << false << 104 << 1 << QString() << false;
    QTest::newRow("104 upload") << 0 << false << 104 << 2 << upgrade << false;
    QTest::newRow("104 firmware") << 0 << false << 104 << 3 << QString() << false;
    QTest::newRow("202 retrieve") << 0 << false << 202 << 1 << compat << false;
    QTest::newRow("202 upload") << 1 << false << 202 << 2 << compat << false;
    QTest::newRow("202 firmware") << 0 << false << 202 << 3 << compat << false;
    QTest::newRow("5819 retrieve") << 0 << true << 201 << 1 << app << true;
    QTest::newRow("5819 upload") << 0 << true << 201 << 2 << app << true;
    QTest::newRow("5819 firmware") << 0 << true << 201 << 3 << QString() << true;
    QTest::newRow("5831 upload") << 1 << true << 201 << 2 << app << false;
    QTest::newRow("5831 firmware") << 1 << true << 201 << 3 << QString() << false;
    QTest::newRow("RTC 113 upload") << 1 << false << 113 << 2 << QString() << false;
}

void TestDeviceOperations::purposeByFirmware()
{
    QFETCH(int, model);
    QFETCH(bool, bootLoader);
    QFETCH(int, fwVersion);
    QFETCH(int, purpose);
    QFETCH(QString, refusal);
    QFETCH(bool, blActive);

    SimOptions o;
    o.model = model;
    o.bootLoader = bootLoader;
    o.fwVersion = quint16(fwVersion);
    o.blVersion = quint16(fwVersion);
    o.initialConfig = blockBytes(distinctRecord());
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    if (purpose == 1)
        rig.ops.retrieve_cfg_ButtonClick();
    else if (purpose == 2)
        QVERIFY(rig.ops.upload_data_BitBtnClick());
    else
        rig.ops.fw_upg_ButtonClick();
    QVERIFY(!rig.host.deviceButtonsEnabled || rig.ops.isBusy());

    if (purpose == 3 && refusal.isEmpty()) {
        // Accepted for an upgrade: the firmware window opens on the open link.
        CORVANE_TRY_VERIFY(rig.host.firmwareWindowShows == 1, kDeadline);
        QVERIFY(rig.link.comms().isOpen());
        QCOMPARE(rig.link.BL_Active_Flag, blActive);
        QVERIFY(!rig.host.deviceButtonsEnabled);
        QVERIFY(rig.host.projectAreaEnabled);
        QVERIFY(!rig.host.scanPanelVisible);
        rig.ops.closeFirmwareWindow();
    }
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QVERIFY(!rig.link.comms().isOpen());
    QVERIFY(rig.host.deviceButtonsEnabled);
    QVERIFY(rig.host.projectAreaEnabled);
    QVERIFY(!rig.host.scanPanelVisible);
    QCOMPARE(rig.link.BL_Active_Flag, blActive);
    QCOMPARE(rig.host.codes().mid(0, 2), (QList<int>{29, 12}));
    QCOMPARE(rig.host.log.at(1).info, firmwareVersionText(rig.link.RC_PartNo, rig.link.RC_FW_Ver));
    QCOMPARE(rig.host.codes().last(), 13);
    if (!refusal.isEmpty()) {
        QCOMPARE(rig.host.boxes.size(), 1);
        QCOMPARE(rig.host.boxes.at(0).text, refusal);
        QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 13}));
        QCOMPARE(framesOf(*rig.sim, 200).size() + framesOf(*rig.sim, 204).size(), 0);
    } else {
        QVERIFY(rig.host.boxes.isEmpty());
    }
}

void TestDeviceOperations::logSequences_data()
{
    QTest::addColumn<int>("purpose");
    QTest::addColumn<bool>("config");
    QTest::addColumn<bool>("images");
    QTest::addColumn<QList<int>>("codes");
    QTest::newRow("retrieve") << 1 << false << false << QList<int>{29, 12, 8, 13};
    QTest::newRow("upload configuration") << 2 << true << false << QList<int>{29, 12, 21, 15, 10, 20, 13};
    QTest::newRow("upload configuration and images") << 2 << true << true << QList<int>{29, 12, 21, 15, 16, 10, 20, 13};
    QTest::newRow("upload images") << 2 << false << true << QList<int>{29, 12, 21, 16, 10, 20, 13};
}

void TestDeviceOperations::logSequences()
{
    QFETCH(int, purpose);
    QFETCH(bool, config);
    QFETCH(bool, images);
    QFETCH(QList<int>, codes);

    const TDevice_Config_v2 onController = distinctRecord();
    SimOptions o;
    o.initialConfig = blockBytes(onController);
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    rig.setUp([](TDevice_Config_v2&, THandleList& images) {
        createDefaultHandles(images);
        addImage(*images[kBackgroundsIdx], QStringLiteral("SKY"), 1);
        addImage(*images[kLogosIdx], QStringLiteral("SUN"), 2);
        addImage(*images[kLogoThumbnailsIdx], QStringLiteral("SUN"), 3);
    });
    rig.host.sendConfig = config;
    rig.host.sendImages = images;
    rig.host.scriptedServiceText = QStringLiteral("Line one\nLine two");

    if (purpose == 1)
        rig.ops.retrieve_cfg_ButtonClick();
    else
        QVERIFY(rig.ops.upload_data_BitBtnClick());
    QVERIFY(!rig.host.uploadBoxesEnabled || purpose == 1);
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QCOMPARE(rig.host.codes(), codes);
    QVERIFY(rig.host.boxes.isEmpty());
    QVERIFY(rig.host.uploadBoxesEnabled);

    if (purpose == 1) {
        QCOMPARE(rig.host.log.at(0).info, QStringLiteral("Retrieve configuration"));
        TDevice_Config_v2 expected = onController; // with the check bytes it travelled with
        buildUploadBlock(expected);
        QCOMPARE(std::memcmp(&rig.document.record(), &expected, sizeof expected), 0);
        QCOMPARE(rig.host.shownConfigs, 1);
        QVERIFY(rig.document.isModified());
        QList<uint32_t> reads;
        for (const SimFrame& f : framesOf(*rig.sim, 204))
            reads << f.address;
        QCOMPARE(reads, (QList<uint32_t>{0, 128, 256, 384, 512, 640, 768, 896, 1024, 1152, 1280}));
        return;
    }
    QCOMPARE(rig.host.log.at(0).info, QStringLiteral("Upload data"));
    // The editor's service text went into the record, whatever was ticked.
    QCOMPARE(readServiceText(rig.document.record()), QStringLiteral("Line one\r\nLine two"));
    if (config) {
        const QByteArray expected = blockBytes(rig.document.record());
        QCOMPARE(rig.sim->memory(0, 1408), expected);
        QCOMPARE(rig.host.progress[0].position, 1408);
        QCOMPARE(rig.host.progress[0].maximum, 1408);
    }
    if (images) {
        QByteArray block;
        Build_Image_Data(block, rig.document.images());
        QVERIFY(block.size() > 512);
        QCOMPARE(rig.sim->memory(0x80000, int(block.size())), block);
        QCOMPARE(rig.host.progress[1].position, block.size());
        QVERIFY(!rig.host.progress[1].error);
        const QList<uint32_t> addresses = writeAddresses(*rig.sim);
        QCOMPARE(addresses.contains(0x80000 + 512), true);
    }
    QCOMPARE(framesOf(*rig.sim, 12).size(), 1);
    QCOMPARE(framesOf(*rig.sim, 12).last().index, rig.sim->frameCount());
}

// Two controllers driven from one process at the same time, each through its
// own connection, queue and operations: the two uploads' steps interleave,
// and each controller ends with its own project's block, byte for byte.
void TestDeviceOperations::twoControllersUploadAtOnce()
{
    DeviceOpsRig first;
    DeviceOpsRig second;
    QVERIFY(first.started && second.started);
    first.setUp([](TDevice_Config_v2& record, THandleList&) { record.theme_colour = 0x0000FF; });
    second.setUp([](TDevice_Config_v2& record, THandleList&) { record = distinctRecord(); });
    first.host.scriptedServiceText = QStringLiteral("Hall A");
    second.host.scriptedServiceText = QStringLiteral("Hall B\nSecond floor");
    for (DeviceOpsRig* rig : {&first, &second}) {
        rig->setUp([](TDevice_Config_v2&, THandleList& images) { createDefaultHandles(images); });
        rig->ops.setVerifyUpload(true);
    }

    QVERIFY(first.ops.upload_data_BitBtnClick());
    QVERIFY(second.ops.upload_data_BitBtnClick());
    QVERIFY(first.ops.isBusy() && second.ops.isBusy());
    CORVANE_TRY_VERIFY(hasEnded(first) && hasEnded(second), kDeadline);

    for (DeviceOpsRig* rig : {&first, &second}) {
        QVERIFY(rig->host.boxes.isEmpty());
        QCOMPARE(rig->sim->memory(0, 1408), blockBytes(rig->document.record()));
        QCOMPARE(framesOf(*rig->sim, 12).size(), 1);
        for (const SimFrame& f : rig->sim->frames())
            QVERIFY2(f.headerOk && f.dataOk, qPrintable(f.bytes.toHex()));
    }
    QCOMPARE(readServiceText(first.document.record()), QStringLiteral("Hall A"));
    QCOMPARE(readServiceText(second.document.record()), QStringLiteral("Hall B\r\nSecond floor"));
    QVERIFY(first.sim->memory(0, 1408) != second.sim->memory(0, 1408));
}

void TestDeviceOperations::storedServiceTextIsSentAsStored()
{
    // A host that shows the record's own text (the window's editor, the CLI)
    // leaves the field as it was read: a byte that is not UTF-8 and the bytes
    // after the terminating zero reach the controller unchanged.
    DeviceOpsRig rig;
    QVERIFY(rig.started);
    const QByteArray field("Caf\xE9\r20\xB0\0old", 12);
    rig.setUp([&](TDevice_Config_v2& record, THandleList& images) {
        createDefaultHandles(images);
        std::memset(record.service_info_text, 0, sizeof record.service_info_text);
        std::memcpy(record.service_info_text, field.constData(), size_t(field.size()));
    });
    const TDevice_Config_v2& record = rig.document.record();
    const TDevice_Config_v2 before = record;
    rig.host.sendConfig = true;
    rig.host.sendImages = false;
    rig.host.scriptedServiceText = readServiceText(record);

    QVERIFY(rig.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);

    QVERIFY(rig.host.boxes.isEmpty());
    QCOMPARE(std::memcmp(record.service_info_text, before.service_info_text, sizeof record.service_info_text), 0);
    const int at = 2 + int(offsetof(TDevice_Config_v2, service_info_text));
    QCOMPARE(rig.sim->memory(at, int(field.size())), field);
}

void TestDeviceOperations::nakToSecondWriteRetriedFromZero()
{
    SimOptions o;
    o.nakWrite = 2;
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    rig.host.answers << TDeviceAnswer::Retry;
    QVERIFY(rig.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes.at(0).text, DeviceText::configWriteError());
    QCOMPARE(rig.host.boxes.at(0).buttons, TDeviceButtons::RetryCancel);
    QCOMPARE(writeAddresses(*rig.sim), (QList<uint32_t>{0, 512, 0, 512, 1024}));
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 21, 15, 10, 20, 13}));
    QCOMPARE(rig.sim->memory(0, 1408), blockBytes(rig.document.record()));

    // Cancel instead: log 11 names the configuration data, the bar shows the error.
    DeviceOpsRig cancelled(o);
    QVERIFY(cancelled.started);
    QVERIFY(cancelled.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(hasEnded(cancelled), kDeadline);
    QCOMPARE(cancelled.host.codes(), (QList<int>{29, 12, 21, 11, 13}));
    QCOMPARE(cancelled.host.infoOf(11), QStringLiteral("(1) Configuration data"));
    QVERIFY(cancelled.host.progress[0].error);
    QCOMPARE(framesOf(*cancelled.sim, 12).size(), 0);
}

void TestDeviceOperations::ignoredResets_data()
{
    QTest::addColumn<int>("ignored");
    QTest::addColumn<bool>("images");
    QTest::addColumn<int>("answer"); // for the box after five attempts; -1: no box expected
    QTest::addColumn<QList<int>>("tail");
    QTest::newRow("twice ignored, configuration") << 2 << false << -1 << QList<int>{15, 10, 20, 13};
    QTest::newRow("twice ignored, images") << 2 << true << -1 << QList<int>{16, 10, 20, 13};
    QTest::newRow("five ignored, retry") << 5 << false << int(TDeviceAnswer::Retry) << QList<int>{15, 10, 20, 13};
    QTest::newRow("five ignored, cancel") << 5 << true << int(TDeviceAnswer::Cancel) << QList<int>{16, 11, 13};
}

void TestDeviceOperations::ignoredResets()
{
    QFETCH(int, ignored);
    QFETCH(bool, images);
    QFETCH(int, answer);
    QFETCH(QList<int>, tail);
    SimOptions o;
    o.ignoreResets = ignored;
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    rig.setUp([](TDevice_Config_v2&, THandleList& images) { createDefaultHandles(images); });
    rig.host.sendConfig = !images;
    rig.host.sendImages = images;
    if (answer >= 0)
        rig.host.answers << TDeviceAnswer(answer);
    QVERIFY(rig.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    const QList<int> codes = rig.host.codes();
    QCOMPARE(codes.mid(codes.size() - tail.size()), tail);
    if (answer < 0) {
        QVERIFY(rig.host.boxes.isEmpty());
        QCOMPARE(framesOf(*rig.sim, 12).size(), ignored + 1);
    } else {
        QCOMPARE(rig.host.boxes.size(), 1);
        QCOMPARE(rig.host.boxes.at(0).text, DeviceText::resetError());
        // Five attempts before the box; Retry makes a sixth, acknowledged one.
        QCOMPARE(framesOf(*rig.sim, 12).size(), answer == int(TDeviceAnswer::Retry) ? 6 : 5);
        if (answer == int(TDeviceAnswer::Cancel))
            QCOMPARE(rig.host.infoOf(11), QStringLiteral("(2) Reset command"));
    }
}

void TestDeviceOperations::retrieveFailuresLeaveTheRecord_data()
{
    QTest::addColumn<int>("silentAfter");
    QTest::addColumn<bool>("spoilt");
    QTest::addColumn<QString>("info");
    // Frame 1 is the identification; the seventh read is frame 8.
    QTest::newRow("seventh read times out") << 7 << false << QStringLiteral("Comms error");
    QTest::newRow("block fails its check") << 0 << true << QStringLiteral("Config data corrupt");
}

void TestDeviceOperations::retrieveFailuresLeaveTheRecord()
{
    QFETCH(int, silentAfter);
    QFETCH(bool, spoilt);
    QFETCH(QString, info);
    SimOptions o;
    o.initialConfig = blockBytes(distinctRecord());
    if (spoilt)
        o.initialConfig[700] = char(o.initialConfig.at(700) ^ 0x40);
    o.silentAfter = silentAfter;
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    const TDevice_Config_v2 before = rig.document.record();
    rig.ops.retrieve_cfg_ButtonClick();
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 9, 13}));
    QCOMPARE(rig.host.infoOf(9), info);
    QCOMPARE(std::memcmp(&rig.document.record(), &before, sizeof before), 0);
    QVERIFY(!rig.document.isModified());
    QCOMPARE(rig.host.shownConfigs, 0);
    QCOMPARE(framesOf(*rig.sim, 204).size(), silentAfter ? 7 : 11);
}

void TestDeviceOperations::versionOneBlockIsConverted()
{
    const TDevice_Config_v2 fresh = newProjectConfig();
    TDevice_Config_v1 v1;
    std::memcpy(&v1, &fresh, 178);
    v1.theme_colour = 0xABCDEF;
    Fletcher_Check_Bytes(reinterpret_cast<uint8_t*>(&v1), 0, 178);
    TDeviceConfiguration block{};
    block.cfg_ver = 1;
    std::memcpy(block.cfg_rec, &v1, kConfigV1Size);
    SimOptions o;
    o.fwVersion = 104;
    o.initialConfig = QByteArray(reinterpret_cast<const char*>(&block), sizeof block);
    DeviceOpsRig rig(o);
    QVERIFY(rig.started);
    rig.ops.retrieve_cfg_ButtonClick();
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 8, 13}));
    QCOMPARE(rig.document.record().theme_colour, 0xABCDEFu);
    TDevice_Config_v2 expected{};
    Convert_Config_v1(v1, expected);
    QCOMPARE(std::memcmp(&rig.document.record(), &expected, 178), 0);
    QCOMPARE(rig.document.record().scheduler_enabled, uint8_t(0));
}

void TestDeviceOperations::uploadRefusedBeforeConnecting()
{
    DeviceOpsRig rig;
    QVERIFY(rig.started);
    // Four lines: refused only when the configuration goes too.
    rig.host.scriptedServiceText = QStringLiteral("a\nb\nc\nd");
    QVERIFY(!rig.ops.upload_data_BitBtnClick());
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes.at(0).text, DeviceText::tooManyLines());
    // Unsaved: asked, No is the default and stops.
    rig.host.scriptedServiceText = QStringLiteral("a\nb\nc");
    rig.document.Set_Modified(true);
    QVERIFY(!rig.ops.upload_data_BitBtnClick());
    QCOMPARE(rig.host.boxes.size(), 2);
    QCOMPARE(rig.host.boxes.at(1).text, DeviceText::unsavedUpload());
    QCOMPARE(rig.host.boxes.at(1).buttons, TDeviceButtons::YesNo);
    QVERIFY(rig.host.log.isEmpty());
    QVERIFY(!rig.ops.isBusy());
    QCOMPARE(rig.sim->frameCount(), 0);
    // Yes goes ahead; the project stays modified.
    rig.host.answers << TDeviceAnswer::Yes;
    QVERIFY(rig.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 21, 15, 10, 20, 13}));
    QVERIFY(rig.document.isModified());
}

void TestDeviceOperations::emptyImageBlockGoesStraightToReset()
{
    DeviceOpsRig rig;
    QVERIFY(rig.started);
    rig.setUp([](TDevice_Config_v2&, THandleList& images) {
        createDefaultHandles(images);
        for (auto& h : images)
            h->included = false;
    });
    rig.host.sendConfig = false;
    rig.host.sendImages = true;
    QVERIFY(rig.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 21, 16, 10, 20, 13}));
    QCOMPARE(framesOf(*rig.sim, 200).size(), 0);
}

void TestDeviceOperations::unbuildableImageBlockEndsTheUpload()
{
    DeviceOpsRig rig;
    QVERIFY(rig.started);
    rig.setUp([](TDevice_Config_v2&, THandleList& images) {
        createDefaultHandles(images);
        addImage(*images[kLogosIdx], QStringLiteral("BROKEN"), 1);
        images[kLogosIdx]->cells[0]->fmxbmp = QImage();
    });
    rig.host.sendConfig = false;
    rig.host.sendImages = true;
    QVERIFY(rig.ops.upload_data_BitBtnClick());
    CORVANE_TRY_VERIFY(hasEnded(rig), kDeadline);
    QCOMPARE(rig.host.codes(), (QList<int>{29, 12, 21, 11, 13}));
    QVERIFY(rig.host.infoOf(11).startsWith(QStringLiteral("(1) Image data: ")));
    QVERIFY(rig.host.progress[1].error);
    QCOMPARE(framesOf(*rig.sim, 200).size(), 0);
    QVERIFY(!rig.link.comms().isOpen());
}
